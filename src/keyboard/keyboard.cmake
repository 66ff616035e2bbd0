# The player's MIDI keyboard: split, chords from the left hand, the right
# hand played through, MIDI learn for the arranger's controls.
target_sources(vambrio_keyboard PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/keyboard_router.cpp
  ${CMAKE_CURRENT_LIST_DIR}/keyboard_client.cpp
  ${CMAKE_CURRENT_LIST_DIR}/live_keyboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/player_parts.cpp)
