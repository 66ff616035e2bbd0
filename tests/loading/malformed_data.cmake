# Styles with data bytes of 128 or more: loading, assembly and editing.
vambrio_core_test(test_malformed_data ${CMAKE_CURRENT_LIST_DIR}/malformed_data_test.cpp)
