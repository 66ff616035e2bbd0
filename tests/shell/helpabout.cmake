# The Help and About windows (offscreen, with a fake desktop shell) and the
# desktop shell on Qt.
if(VAMBRIO_GUI)
  add_executable(test_helpabout
    ${CMAKE_CURRENT_LIST_DIR}/helpabout_about_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/helpabout_manual_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/helpabout_shell_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/helpabout_main.cpp)
  set_target_properties(test_helpabout PROPERTIES AUTOMOC ON)
  target_link_libraries(test_helpabout PRIVATE vambrio_helpabout vambrio_desktop_shell vambrio_test_support Qt6::Test)
  add_test(NAME test_helpabout COMMAND test_helpabout)
  set_tests_properties(test_helpabout PROPERTIES LABELS gui
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()

# The manual that "Info/&Help" opens.
add_subdirectory(${PROJECT_SOURCE_DIR}/tests/docs ${PROJECT_BINARY_DIR}/tests/docs)
