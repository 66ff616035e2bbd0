# vambrio --help and --version answer without a display.
if(VAMBRIO_GUI)
  set(_check ${CMAKE_CURRENT_LIST_DIR}/command_line/check_help.cmake)
  add_test(NAME vambrio_help_without_display COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:vambrio> -DARG=--help
    "-DEXPECTED=^usage: vambrio \\[--arranger \\| --library \\| --songs \\[SETLIST\\.vset\\]\\] \\[STYLE\\]\n.*--arranger.*--library.*--songs.*--version" -P ${_check})
  add_test(NAME vambrio_version_without_display COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:vambrio>
    -DARG=--version "-DEXPECTED=^vambrio ${PROJECT_VERSION}\n$" -P ${_check})
  set_tests_properties(vambrio_help_without_display vambrio_version_without_display PROPERTIES LABELS gui)
endif()
