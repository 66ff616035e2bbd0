# The real-time output's headless side: the lock-free command queue, the
# client interface of the audio callback, block splitting, underrun counting
# and the latency choices.
target_sources(vambrio_realtime PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/audio_latency.cpp
  ${CMAKE_CURRENT_LIST_DIR}/block_renderer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/live_midi_client.cpp
  ${CMAKE_CURRENT_LIST_DIR}/underrun_detector.cpp
  ${CMAKE_CURRENT_LIST_DIR}/voice_mapping_client.cpp)
find_package(Threads REQUIRED)
target_link_libraries(vambrio_realtime PUBLIC Threads::Threads)
