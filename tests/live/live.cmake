vambrio_core_test(test_live
  ${CMAKE_CURRENT_LIST_DIR}/live_arranger_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/live_song_controls_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/section_buttons_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tick_clock_test.cpp)
