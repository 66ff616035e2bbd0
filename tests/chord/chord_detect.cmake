vambrio_core_test(test_chord_detect ${CMAKE_CURRENT_LIST_DIR}/chord_detect_test.cpp)
