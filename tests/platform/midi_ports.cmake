# The MIDI port tests (label "midi") on real ports: a private JACK server with
# the dummy backend, started and stopped by a fixture, and a test client on
# RtMidi at the other end. The same tests run again over the ALSA sequencer
# (skipped, saying why, where /dev/snd/seq is missing, as on CI).
if(VAMBRIO_GUI)
  string(MD5 _jack_id "${PROJECT_BINARY_DIR}")
  string(SUBSTRING "${_jack_id}" 0 10 _jack_id)
  set(_jack_name "vambrio-test-${_jack_id}")
  set(_jack_run ${PROJECT_BINARY_DIR}/jack-run)
  set(_jack ${CMAKE_CURRENT_LIST_DIR}/jack_server.sh)

  add_test(NAME jack_server_start COMMAND ${_jack} start ${_jack_name} ${_jack_run})
  add_test(NAME jack_server_stop COMMAND ${_jack} stop ${_jack_name} ${_jack_run})
  set_tests_properties(jack_server_start PROPERTIES FIXTURES_SETUP jack_server LABELS midi)
  set_tests_properties(jack_server_stop PROPERTIES FIXTURES_CLEANUP jack_server LABELS midi)

  add_executable(test_midi_ports ${CMAKE_CURRENT_LIST_DIR}/midi_ports_test.cpp)
  target_link_libraries(test_midi_ports PRIVATE vambrio_midi_ports vambrio_test_support PkgConfig::RTMIDI
    GTest::gtest GTest::gtest_main)
  add_dependencies(test_midi_ports vambrio-cli)
  target_compile_definitions(test_midi_ports PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")

  add_test(NAME midi_ports_jack COMMAND test_midi_ports)
  set_tests_properties(midi_ports_jack PROPERTIES LABELS midi FIXTURES_REQUIRED jack_server
    RESOURCE_LOCK vambrio_midi_ports TIMEOUT 300
    ENVIRONMENT "JACK_DEFAULT_SERVER=${_jack_name};JACK_NO_START_SERVER=1;VAMBRIO_MIDI_API=jack")
  add_test(NAME midi_ports_alsa COMMAND test_midi_ports)
  set_tests_properties(midi_ports_alsa PROPERTIES LABELS midi RESOURCE_LOCK vambrio_midi_ports TIMEOUT 300
    ENVIRONMENT "VAMBRIO_MIDI_API=alsa" SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endif()
