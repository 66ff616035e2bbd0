target_sources(vambrio_midi PRIVATE ${CMAKE_CURRENT_LIST_DIR}/midi_file_events.cpp)
