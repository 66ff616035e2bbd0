# Recording what was played live: the recorder in the audio callback, the
# performance written as a MIDI file and as a chord chart.
target_sources(vambrio_recording PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/performance_recorder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/performance_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/performance_chart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/performance_map.cpp
  ${CMAKE_CURRENT_LIST_DIR}/recording_files.cpp)
