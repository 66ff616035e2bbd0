vambrio_core_test(test_midi
  ${CMAKE_CURRENT_LIST_DIR}/midi_bytes_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/smf_writer_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/midi_length_test.cpp)
