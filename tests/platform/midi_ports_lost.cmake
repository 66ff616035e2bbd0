# The private JACK server of midi_ports.cmake killed while vambrio-cli plays
# through one of its ports; the test starts the server again when it is done.
if(VAMBRIO_GUI)
  add_executable(test_midi_ports_lost ${CMAKE_CURRENT_LIST_DIR}/midi_ports_lost_test.cpp)
  target_link_libraries(test_midi_ports_lost PRIVATE vambrio_platform_midi_ports vambrio_midi_ports vambrio_test_support
    GTest::gtest GTest::gtest_main)
  add_dependencies(test_midi_ports_lost vambrio-cli)
  target_compile_definitions(test_midi_ports_lost PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>"
    VAMBRIO_JACK_SCRIPT="${_jack}" VAMBRIO_JACK_NAME="${_jack_name}" VAMBRIO_JACK_RUN="${_jack_run}")
  add_test(NAME midi_ports_lost COMMAND test_midi_ports_lost)
  set_tests_properties(midi_ports_lost PROPERTIES LABELS midi FIXTURES_REQUIRED jack_server
    RESOURCE_LOCK vambrio_midi_ports TIMEOUT 300
    ENVIRONMENT "JACK_DEFAULT_SERVER=${_jack_name};JACK_NO_START_SERVER=1;VAMBRIO_MIDI_API=jack")
endif()
