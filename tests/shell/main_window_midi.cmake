# The main window's "MIDI Input" and "Sound Source", offscreen, on fake ports.
if(VAMBRIO_GUI)
  add_executable(test_main_window_midi ${CMAKE_CURRENT_LIST_DIR}/main_window/midi_settings_test.cpp)
  set_target_properties(test_main_window_midi PROPERTIES AUTOMOC ON)
  target_include_directories(test_main_window_midi PRIVATE ${CMAKE_CURRENT_LIST_DIR}/main_window)
  target_link_libraries(test_main_window_midi PRIVATE vambrio_main_window vambrio_test_support Qt6::Test)
  add_test(NAME test_main_window_midi COMMAND test_main_window_midi)
  set_tests_properties(test_main_window_midi PROPERTIES LABELS gui
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/main_window_midi_config")
endif()
