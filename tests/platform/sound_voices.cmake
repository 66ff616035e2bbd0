# Real sound of the voice map through the private PulseAudio server of sound.cmake.
if(VAMBRIO_GUI)
  add_executable(test_sound_voices ${CMAKE_CURRENT_LIST_DIR}/sound_voices_test.cpp)
  target_link_libraries(test_sound_voices PRIVATE vambrio_sound vambrio_test_support PkgConfig::FLUIDSYNTH
    GTest::gtest GTest::gtest_main)
  target_compile_definitions(test_sound_voices PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
  add_test(NAME sound_SoundVoices COMMAND test_sound_voices)
  set_tests_properties(sound_SoundVoices PROPERTIES LABELS sound FIXTURES_REQUIRED pulse_server
    RESOURCE_LOCK vambrio_sound_sink ENVIRONMENT "${_sound_env}" TIMEOUT 300)
endif()
