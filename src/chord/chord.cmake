target_sources(vambrio_chord PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/get_channels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/store.cpp)
