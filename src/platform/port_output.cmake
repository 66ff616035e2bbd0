# The sound source on a MIDI port: the classic Play and the live arranger on
# one port's timed output, and the keyboard's input port that can be changed.
target_sources(vambrio_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/port_output.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chosen_midi_input.cpp)
