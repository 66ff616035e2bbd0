# The Arranger window's WAV files, rendered offline by the built-in synthesizer.
if(VAMBRIO_GUI)
  add_executable(test_sound_arranger_wav ${CMAKE_CURRENT_LIST_DIR}/sound_arranger_wav_test.cpp)
  target_link_libraries(test_sound_arranger_wav PRIVATE vambrio_arranger_sound vambrio_sound vambrio_test_support
    GTest::gtest GTest::gtest_main)
  target_compile_definitions(test_sound_arranger_wav PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
  add_test(NAME sound_ArrangerWav COMMAND test_sound_arranger_wav)
  set_tests_properties(sound_ArrangerWav PROPERTIES LABELS sound ENVIRONMENT "${_sound_env}" TIMEOUT 300)
endif()
