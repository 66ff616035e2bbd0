# (This piece sorts before cli.cmake, so it spells out what vambrio_cli_test does.)
vambrio_core_test(test_cli_assemble ${CMAKE_CURRENT_LIST_DIR}/assemble_test.cpp)
target_link_libraries(test_cli_assemble PRIVATE nlohmann_json::nlohmann_json)
add_dependencies(test_cli_assemble vambrio-cli make-demo-style)
target_compile_definitions(test_cli_assemble PRIVATE
  VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>"
  MAKE_DEMO_STYLE="$<TARGET_FILE:make-demo-style>")

# Every section of the demo style, assembled under several option
# combinations, read back with mido and midicsv, its notes checked against
# the chord rules computed from the style's own bytes.
# Debian's python3, where python3-mido is installed.
if(EXISTS /usr/bin/python3)
  set(_vambrio_python3 /usr/bin/python3)
else()
  set(_vambrio_python3 python3)
endif()
add_test(NAME assemble_demo_style_independent_readers
  COMMAND ${_vambrio_python3} ${CMAKE_CURRENT_LIST_DIR}/assemble_check.py $<TARGET_FILE:vambrio-cli>
          ${PROJECT_SOURCE_DIR}/examples/Demo.sty)
set_tests_properties(assemble_demo_style_independent_readers PROPERTIES LABELS core)
