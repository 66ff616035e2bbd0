# The Songs window's tests, offscreen, on a fake stage and fake dialogs.
if(VAMBRIO_GUI)
  add_executable(test_songs_window ${CMAKE_CURRENT_LIST_DIR}/songs/songs_window_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/songs/fake_song_stage.h)
  set_target_properties(test_songs_window PROPERTIES AUTOMOC ON)
  target_link_libraries(test_songs_window PRIVATE vambrio_songs_window vambrio_test_support Qt6::Test)
  add_test(NAME test_songs_window COMMAND test_songs_window)
  set_tests_properties(test_songs_window PROPERTIES LABELS gui
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/songs_config")
endif()
