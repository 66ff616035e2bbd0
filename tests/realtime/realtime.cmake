vambrio_core_test(test_realtime
  ${CMAKE_CURRENT_LIST_DIR}/spsc_queue_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/block_renderer_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/underrun_detector_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/voice_mapping_client_test.cpp)
