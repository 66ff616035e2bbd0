vambrio_core_test(test_pc_volume ${CMAKE_CURRENT_LIST_DIR}/pc_volume_test.cpp)
