# FluidSynth's messages collected and summed up; vambrio-cli render of a style
# with XG voices (offline: no sound server needed, only the GM SoundFont).
if(VAMBRIO_GUI)
  add_executable(test_fluid_messages ${CMAKE_CURRENT_LIST_DIR}/fluid_messages_test.cpp)
  target_link_libraries(test_fluid_messages PRIVATE vambrio_sound vambrio_test_support PkgConfig::FLUIDSYNTH
    GTest::gtest GTest::gmock GTest::gtest_main)
  add_dependencies(test_fluid_messages vambrio-cli)
  target_compile_definitions(test_fluid_messages PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
  gtest_discover_tests(test_fluid_messages PROPERTIES LABELS sound DISCOVERY_TIMEOUT 120)
endif()
