# (This piece sorts before cli.cmake, so it spells out what vambrio_cli_test does.)
vambrio_core_test(test_cli_any_chord ${CMAKE_CURRENT_LIST_DIR}/any_chord_cli_test.cpp)
target_link_libraries(test_cli_any_chord PRIVATE nlohmann_json::nlohmann_json)
add_dependencies(test_cli_any_chord vambrio-cli)
target_compile_definitions(test_cli_any_chord PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")

# Every section of the demo style over a spread of chords, read with mido and
# midicsv and compared with the classic assembly (Debian's python3, where
# python3-mido is installed).
if(EXISTS /usr/bin/python3)
  set(_vambrio_python3 /usr/bin/python3)
else()
  set(_vambrio_python3 python3)
endif()
add_test(NAME assemble_any_chord_independent_readers
  COMMAND ${_vambrio_python3} ${CMAKE_CURRENT_LIST_DIR}/any_chord_check.py $<TARGET_FILE:vambrio-cli>
          ${PROJECT_SOURCE_DIR}/examples/Demo.sty)
set_tests_properties(assemble_any_chord_independent_readers PROPERTIES LABELS core)
