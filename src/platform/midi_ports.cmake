# MIDI ports and timed MIDI output. The interfaces, the sending thread, the
# reconnecting ports and the sequencer on a port are plain C++ and belong to
# the core; vambrio_midi_ports holds the one implementation on RtMidi (ALSA
# sequencer and JACK).
target_sources(vambrio_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/midi_ports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mono_clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/midi_sender.cpp
  ${CMAKE_CURRENT_LIST_DIR}/midi_file_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/kept_midi_ports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/port_sequencer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/realtime_port_source.cpp)
find_package(Threads REQUIRED)
target_link_libraries(vambrio_core PUBLIC Threads::Threads)

if(VAMBRIO_GUI)
  pkg_check_modules(RTMIDI REQUIRED IMPORTED_TARGET GLOBAL rtmidi>=4)
  pkg_check_modules(JACK REQUIRED IMPORTED_TARGET jack)
  add_library(vambrio_midi_ports STATIC ${CMAKE_CURRENT_LIST_DIR}/rtmidi_system.cpp)
  target_link_libraries(vambrio_midi_ports PUBLIC vambrio_core PRIVATE PkgConfig::RTMIDI PkgConfig::JACK)
endif()
