# The voice map: the SoundFont catalog, the resolution, the mapper and the mapped files.
vambrio_core_test(test_voices
  ${CMAKE_CURRENT_LIST_DIR}/soundfont_catalog_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/voice_map_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/voice_mapper_test.cpp)
# Its own program: it replaces operator new to count allocations.
vambrio_core_test(test_voices_no_allocation ${CMAKE_CURRENT_LIST_DIR}/no_allocation_test.cpp)
target_compile_options(test_voices_no_allocation PRIVATE -Wno-mismatched-new-delete)
