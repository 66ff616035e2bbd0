vambrio_core_test(test_loading ${CMAKE_CURRENT_LIST_DIR}/scan_test.cpp ${CMAKE_CURRENT_LIST_DIR}/entry_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stage_settings_test.cpp)
