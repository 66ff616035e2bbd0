# Where the window's music goes and the keyboard comes from, on fake MIDI
# ports and a fake built-in synthesizer (Qt Core only, no display).
if(VAMBRIO_GUI)
  add_executable(test_sound_routing ${CMAKE_CURRENT_LIST_DIR}/midi/sound_routing_test.cpp)
  set_target_properties(test_sound_routing PROPERTIES AUTOMOC ON)
  target_link_libraries(test_sound_routing PRIVATE vambrio_sound_routing vambrio_test_support Qt6::Test)
  add_test(NAME test_sound_routing COMMAND test_sound_routing)
  set_tests_properties(test_sound_routing PROPERTIES LABELS gui ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
