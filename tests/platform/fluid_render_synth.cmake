# The audio callback's rendering of the synthesizer against a file render's
# (offline: no sound server needed, only the GM SoundFont).
if(VAMBRIO_GUI)
  add_executable(test_fluid_render_synth ${CMAKE_CURRENT_LIST_DIR}/fluid_render_synth_test.cpp)
  target_link_libraries(test_fluid_render_synth PRIVATE vambrio_sound vambrio_test_support PkgConfig::FLUIDSYNTH
    GTest::gtest GTest::gtest_main)
  gtest_discover_tests(test_fluid_render_synth PROPERTIES LABELS sound DISCOVERY_TIMEOUT 120)
endif()
