# The arranger played live: the tick clock on the audio clock, the keyboard's
# section buttons and the real-time client that runs the arranger.
target_sources(vambrio_live PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/live_arranger.cpp
  ${CMAKE_CURRENT_LIST_DIR}/live_session.cpp
  ${CMAKE_CURRENT_LIST_DIR}/metronome.cpp
  ${CMAKE_CURRENT_LIST_DIR}/section_buttons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tap_tempo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tick_clock.cpp)
