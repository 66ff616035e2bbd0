# "Any chord" in the main window, offscreen.
if(VAMBRIO_GUI)
  set(_dir ${CMAKE_CURRENT_LIST_DIR}/main_window_chord)
  add_executable(test_main_window_chord ${_dir}/chord_choice_test.cpp)
  set_target_properties(test_main_window_chord PROPERTIES AUTOMOC ON)
  target_include_directories(test_main_window_chord PRIVATE ${CMAKE_CURRENT_LIST_DIR}/main_window)
  target_link_libraries(test_main_window_chord PRIVATE vambrio_main_window vambrio_test_support Qt6::Test)
  add_test(NAME test_main_window_chord COMMAND test_main_window_chord)
  set_tests_properties(test_main_window_chord PROPERTIES LABELS gui
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/main_window_chord_config")
endif()
