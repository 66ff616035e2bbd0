# Playback control and the length of a MIDI file: plain C++, part of the core.
target_sources(vambrio_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/playback_controller.cpp
  ${CMAKE_CURRENT_LIST_DIR}/midi_length.cpp)
