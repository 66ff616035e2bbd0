# frmSongs, the set-list window, and the stage it plays on: the Arranger window.
if(VAMBRIO_GUI)
  set(_dir ${CMAKE_CURRENT_LIST_DIR}/songs)
  add_library(vambrio_songs_window STATIC
    ${_dir}/frm_songs.h ${_dir}/frm_songs.cpp ${_dir}/frm_songs_file.cpp ${_dir}/frm_songs_layout.cpp ${_dir}/frm_songs_play.cpp
    ${_dir}/frm_songs_import.cpp ${_dir}/song_stage.h)
  set_target_properties(vambrio_songs_window PROPERTIES AUTOMOC ON)
  target_link_libraries(vambrio_songs_window PUBLIC vambrio_core vambrio_songs vambrio_platform_desktop vambrio_shell_common Qt6::Widgets)
  vambrio_room(vambrio_songs_window shell/songs)

  add_library(vambrio_songs_stage STATIC ${_dir}/arranger_stage.h ${_dir}/arranger_stage.cpp ${_dir}/songs_host.h
    ${_dir}/songs_host.cpp)
  target_link_libraries(vambrio_songs_stage PUBLIC vambrio_songs_window vambrio_arranger_window)
endif()
