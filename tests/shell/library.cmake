# The library window's tests, offscreen, with the main window for opening.
if(VAMBRIO_GUI)
  set(_dir ${CMAKE_CURRENT_LIST_DIR}/library)
  add_executable(test_library_window ${_dir}/library_window_test.cpp)
  set_target_properties(test_library_window PROPERTIES AUTOMOC ON)
  target_include_directories(test_library_window PRIVATE ${CMAKE_CURRENT_LIST_DIR}/main_window
    ${PROJECT_SOURCE_DIR}/tests/library)
  target_link_libraries(test_library_window PRIVATE vambrio_library_window vambrio_main_window vambrio_test_support
    Qt6::Test)
  add_test(NAME test_library_window COMMAND test_library_window)

  # The preview on the live arranger, against a fake arranger service: plain C++.
  add_executable(test_library_preview ${_dir}/arranger_preview_test.cpp)
  target_include_directories(test_library_preview PRIVATE ${CMAKE_CURRENT_LIST_DIR}/arranger)
  target_link_libraries(test_library_preview PRIVATE vambrio_library_preview vambrio_test_support GTest::gtest
    GTest::gtest_main)
  gtest_discover_tests(test_library_preview PROPERTIES LABELS gui DISCOVERY_TIMEOUT 120)
  set_tests_properties(test_library_window PROPERTIES LABELS gui
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/library_config")
endif()
