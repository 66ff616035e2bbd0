# The player's keyboard at "Vambrio In" driving the live arranger of the demo
# style, which plays through a port to a recording synthesizer, on the
# private JACK server of midi_ports.cmake (included before this piece), and
# again over the ALSA sequencer where /dev/snd/seq exists.
if(VAMBRIO_GUI)
  add_executable(test_keyboard_ports ${CMAKE_CURRENT_LIST_DIR}/keyboard_ports_test.cpp)
  target_link_libraries(test_keyboard_ports PRIVATE vambrio_midi_ports vambrio_test_support PkgConfig::RTMIDI
    GTest::gtest GTest::gtest_main)
  add_test(NAME keyboard_ports_jack COMMAND test_keyboard_ports)
  set_tests_properties(keyboard_ports_jack PROPERTIES LABELS midi FIXTURES_REQUIRED jack_server
    RESOURCE_LOCK vambrio_midi_ports TIMEOUT 300
    ENVIRONMENT "JACK_DEFAULT_SERVER=${_jack_name};JACK_NO_START_SERVER=1;VAMBRIO_MIDI_API=jack")
  add_test(NAME keyboard_ports_alsa COMMAND test_keyboard_ports)
  set_tests_properties(keyboard_ports_alsa PROPERTIES LABELS midi RESOURCE_LOCK vambrio_midi_ports TIMEOUT 300
    ENVIRONMENT "VAMBRIO_MIDI_API=alsa" SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endif()
