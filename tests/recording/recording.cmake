vambrio_core_test(test_recording ${CMAKE_CURRENT_LIST_DIR}/recording_test.cpp)
