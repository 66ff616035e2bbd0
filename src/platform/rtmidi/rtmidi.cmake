# The one implementation of the MIDI ports, on RtMidi (ALSA sequencer and JACK).
if(VAMBRIO_GUI)
  pkg_check_modules(RTMIDI REQUIRED IMPORTED_TARGET GLOBAL rtmidi>=4)
  pkg_check_modules(JACK REQUIRED IMPORTED_TARGET jack)
  add_library(vambrio_midi_ports STATIC ${CMAKE_CURRENT_LIST_DIR}/rtmidi_system.cpp)
  target_link_libraries(vambrio_midi_ports PUBLIC vambrio_core PRIVATE PkgConfig::RTMIDI PkgConfig::JACK)
endif()
