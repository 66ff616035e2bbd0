# The library's preview on the built-in synthesizer, heard at the private
# server's null sink, beside the Arranger window's accompaniment.
if(VAMBRIO_GUI)
  add_executable(test_sound_library_preview ${CMAKE_CURRENT_LIST_DIR}/sound_library_preview_test.cpp)
  target_link_libraries(test_sound_library_preview PRIVATE vambrio_library_preview vambrio_arranger_sound vambrio_sound
    vambrio_test_support GTest::gtest GTest::gtest_main)
  target_compile_definitions(test_sound_library_preview PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
  add_test(NAME sound_LibraryPreview COMMAND test_sound_library_preview)
  set_tests_properties(sound_LibraryPreview PROPERTIES LABELS sound FIXTURES_REQUIRED pulse_server
    RESOURCE_LOCK vambrio_sound_sink ENVIRONMENT "${_sound_env}" TIMEOUT 300)
endif()
