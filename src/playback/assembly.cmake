target_sources(vambrio_playback PRIVATE ${CMAKE_CURRENT_LIST_DIR}/assembly.cpp)
