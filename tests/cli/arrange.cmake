# (This piece sorts before cli.cmake, so it spells out what vambrio_cli_test does.)
vambrio_core_test(test_cli_arrange ${CMAKE_CURRENT_LIST_DIR}/arrange_test.cpp)
add_dependencies(test_cli_arrange vambrio-cli)
target_compile_definitions(test_cli_arrange PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")

# The demo chart's song read back with mido and midicsv.
add_test(NAME arrange_demo_chart_independent_readers
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/arrange_check.py $<TARGET_FILE:vambrio-cli>
          ${PROJECT_SOURCE_DIR}/examples/Demo.sty ${PROJECT_SOURCE_DIR}/examples/Demo.chart)
set_tests_properties(arrange_demo_chart_independent_readers PROPERTIES LABELS core)

# The WAV output: FluidSynth renders offline, so no sound server is needed,
# but the SoundFont is: label "sound", in builds with the sound platform.
if(VAMBRIO_GUI)
  add_executable(test_arrange_wav ${CMAKE_CURRENT_LIST_DIR}/arrange_wav_test.cpp)
  target_link_libraries(test_arrange_wav PRIVATE vambrio_test_support GTest::gtest GTest::gtest_main)
  add_dependencies(test_arrange_wav vambrio-cli)
  target_compile_definitions(test_arrange_wav PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
  add_test(NAME arrange_wav COMMAND test_arrange_wav)
  set_tests_properties(arrange_wav PROPERTIES LABELS sound TIMEOUT 300)
endif()
