# Timed MIDI output on the ports: the sending thread, the reconnecting ports,
# the sequencer and the sound source on a port. Plain C++ on the interfaces of
# midi/midi_ports.h, part of the core.
target_sources(vambrio_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/midi_sender.cpp
  ${CMAKE_CURRENT_LIST_DIR}/midi_file_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/kept_midi_ports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/port_sequencer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/realtime_port_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/port_output.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chosen_midi_input.cpp)
find_package(Threads REQUIRED)
target_link_libraries(vambrio_core PUBLIC Threads::Threads)
