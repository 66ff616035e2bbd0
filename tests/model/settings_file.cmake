vambrio_core_test(test_settings_file ${CMAKE_CURRENT_LIST_DIR}/settings_file_test.cpp)
