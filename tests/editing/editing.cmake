vambrio_core_test(test_editing
  ${CMAKE_CURRENT_LIST_DIR}/master_volume_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/volume_events_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tempo_edit_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/save_style_test.cpp)
