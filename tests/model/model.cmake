vambrio_core_test(test_shown_text ${CMAKE_CURRENT_LIST_DIR}/shown_text_test.cpp)
