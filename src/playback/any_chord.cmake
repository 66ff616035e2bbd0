target_sources(vambrio_playback PRIVATE ${CMAKE_CURRENT_LIST_DIR}/any_chord_assembly.cpp)
