vambrio_core_test(test_midi_length ${CMAKE_CURRENT_LIST_DIR}/midi_length_test.cpp)
