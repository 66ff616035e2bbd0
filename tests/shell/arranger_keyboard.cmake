# The Arranger window with the player's keyboard (fake MIDI ports) in front
# of the real live arranger, on a sound source the test runs block by block.
if(VAMBRIO_GUI)
  add_executable(test_arranger_keyboard ${CMAKE_CURRENT_LIST_DIR}/arranger/arranger_keyboard_test.cpp)
  set_target_properties(test_arranger_keyboard PROPERTIES AUTOMOC ON)
  target_link_libraries(test_arranger_keyboard PRIVATE vambrio_arranger_sound vambrio_test_support Qt6::Test)
  add_test(NAME test_arranger_keyboard COMMAND test_arranger_keyboard)
  set_tests_properties(test_arranger_keyboard PROPERTIES LABELS gui
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/arranger_keyboard_config")
endif()
