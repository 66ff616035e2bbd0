# Fingered chord detection from the keys of a MIDI keyboard's left hand.
target_sources(vambrio_chord PRIVATE ${CMAKE_CURRENT_LIST_DIR}/chord_detect.cpp)
