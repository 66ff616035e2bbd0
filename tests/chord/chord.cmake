vambrio_core_test(test_chord
  ${CMAKE_CURRENT_LIST_DIR}/get_channels_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/store_test.cpp)
