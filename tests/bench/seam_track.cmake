# The benchmarks' own measuring: the Repeat seam found in a recording.
vambrio_core_test(test_seam_track ${CMAKE_CURRENT_LIST_DIR}/seam_track_test.cpp
  ${PROJECT_SOURCE_DIR}/bench/main_play/seam_track.cpp)
target_include_directories(test_seam_track PRIVATE ${PROJECT_SOURCE_DIR}/bench/main_play)
