# Where the window's music goes and where the player's keyboard comes from:
# the built-in synthesizer or a MIDI port, and the chosen input.
if(VAMBRIO_GUI)
  add_library(vambrio_sound_routing STATIC
    ${CMAKE_CURRENT_LIST_DIR}/midi/sound_routing.h ${CMAKE_CURRENT_LIST_DIR}/midi/sound_routing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/midi/midi_routing.h)
  target_link_libraries(vambrio_sound_routing PUBLIC vambrio_core Qt6::Core)
  vambrio_room(vambrio_sound_routing shell/midi)
endif()
