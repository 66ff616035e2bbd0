# The arranger: plain C++, part of the core.
target_sources(vambrio_arranger PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/arranger.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/song.cpp
  ${CMAKE_CURRENT_LIST_DIR}/style_patterns.cpp)
