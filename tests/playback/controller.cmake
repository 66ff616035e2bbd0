vambrio_core_test(test_playback_controller
  ${CMAKE_CURRENT_LIST_DIR}/controller_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controller_sections_test.cpp)
