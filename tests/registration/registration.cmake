vambrio_core_test(test_registration ${CMAKE_CURRENT_LIST_DIR}/registration_test.cpp)
