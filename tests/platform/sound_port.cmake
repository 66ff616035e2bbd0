# A software synthesizer on a MIDI port, heard: FluidSynth's own program with
# its JACK MIDI driver on the private JACK server and its PulseAudio output on
# the private null sink, played by vambrio-cli through the port. Comes after
# midi_ports.cmake and sound.cmake (the pieces are included in name order),
# whose servers it uses.
if(VAMBRIO_GUI)
  add_executable(test_sound_port ${CMAKE_CURRENT_LIST_DIR}/sound_port_test.cpp)
  target_link_libraries(test_sound_port PRIVATE vambrio_test_support GTest::gtest GTest::gtest_main)
  add_dependencies(test_sound_port vambrio-cli)
  target_compile_definitions(test_sound_port PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
  add_test(NAME sound_Port COMMAND test_sound_port)
  set_tests_properties(sound_Port PROPERTIES LABELS "sound;midi" FIXTURES_REQUIRED "pulse_server;jack_server"
    RESOURCE_LOCK "vambrio_sound_sink;vambrio_midi_ports" TIMEOUT 300
    ENVIRONMENT "${_sound_env};JACK_DEFAULT_SERVER=${_jack_name};JACK_NO_START_SERVER=1;VAMBRIO_MIDI_API=jack")
endif()
