vambrio_core_test(test_port_output ${CMAKE_CURRENT_LIST_DIR}/port_output_test.cpp)
