# vambrio-cli arrange played live into the private server's null sink.
if(VAMBRIO_GUI)
  add_executable(test_sound_arrange_live ${CMAKE_CURRENT_LIST_DIR}/sound_arrange_live_test.cpp)
  target_link_libraries(test_sound_arrange_live PRIVATE vambrio_test_support GTest::gtest GTest::gtest_main)
  add_dependencies(test_sound_arrange_live vambrio-cli)
  target_compile_definitions(test_sound_arrange_live PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
  add_test(NAME sound_ArrangeLive COMMAND test_sound_arrange_live)
  set_tests_properties(sound_ArrangeLive PROPERTIES LABELS sound FIXTURES_REQUIRED pulse_server
    RESOURCE_LOCK vambrio_sound_sink ENVIRONMENT "${_sound_env}" TIMEOUT 300)
endif()
