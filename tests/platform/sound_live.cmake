# Real sound of the live output: a real-time client on the FluidSynth engine
# through the private PulseAudio server of sound.cmake.
if(VAMBRIO_GUI)
  add_executable(test_sound_live ${CMAKE_CURRENT_LIST_DIR}/sound_live_test.cpp)
  target_link_libraries(test_sound_live PRIVATE vambrio_sound vambrio_test_support GTest::gtest GTest::gtest_main)
  target_compile_definitions(test_sound_live PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
  add_test(NAME sound_SoundLive COMMAND test_sound_live)
  set_tests_properties(sound_SoundLive PROPERTIES LABELS sound FIXTURES_REQUIRED pulse_server
    RESOURCE_LOCK vambrio_sound_sink ENVIRONMENT "${_sound_env}" TIMEOUT 300)
endif()
