# What one style contributes to the library, and finding style files: plain
# C++, part of the core. The content hash is xxHash's XXH3 (header only).
find_path(XXHASH_INCLUDE_DIR xxhash.h REQUIRED)
target_include_directories(vambrio_library PRIVATE ${XXHASH_INCLUDE_DIR})
target_sources(vambrio_library PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/style_summary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_walk.cpp)
