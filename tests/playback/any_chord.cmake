vambrio_core_test(test_any_chord_assembly ${CMAKE_CURRENT_LIST_DIR}/any_chord_test.cpp)
