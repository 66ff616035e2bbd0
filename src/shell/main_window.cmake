# frmVambrio, the main window, and the program vambrio.
if(VAMBRIO_GUI)
  set(_dir ${CMAKE_CURRENT_LIST_DIR}/main_window)
  add_library(vambrio_main_window STATIC
    ${_dir}/frm_vambrio.h ${_dir}/frm_vambrio.ui ${_dir}/frm_vambrio.cpp
    ${_dir}/frm_vambrio_startup.cpp ${_dir}/frm_vambrio_open.cpp ${_dir}/frm_vambrio_controllers.cpp
    ${_dir}/play_controls.h ${_dir}/play_controls.cpp ${_dir}/style_editing.h ${_dir}/style_editing.cpp
    ${_dir}/seamless_play.h ${_dir}/seamless_play.cpp ${_dir}/recent_styles.h ${_dir}/recent_styles.cpp ${_dir}/midi_port_menus.h ${_dir}/midi_port_menus.cpp
    ${_dir}/sound_settings.h ${_dir}/sound_settings.cpp ${_dir}/part_voices.h ${_dir}/part_voices.cpp
    ${_dir}/pc_volume_slider.h ${_dir}/pc_volume_slider.cpp
    ${_dir}/sound_source.h
    ${_dir}/section_combo.h ${_dir}/section_combo.cpp)
  set_target_properties(vambrio_main_window PROPERTIES AUTOMOC ON AUTOUIC ON)
  target_link_libraries(vambrio_main_window PUBLIC vambrio_core vambrio_platform_desktop vambrio_helpabout
    vambrio_add_volume_events vambrio_voice_options vambrio_sound_routing vambrio_arranger_window vambrio_shell_common Qt6::Widgets)
  vambrio_room(vambrio_main_window shell/main_window)

  # The window's sound source on the built-in synthesizer.
  add_library(vambrio_window_sound STATIC ${_dir}/fluid_sound.h ${_dir}/fluid_sound.cpp)
  target_link_libraries(vambrio_window_sound PUBLIC vambrio_main_window vambrio_platform_fluidsynth PRIVATE PkgConfig::FLUIDSYNTH)

  # The program: the window on the real sound, mixer and desktop.
  add_executable(vambrio ${_dir}/main.cpp)
  target_link_libraries(vambrio PRIVATE vambrio_window_sound vambrio_desktop_shell vambrio_arranger_sound vambrio_library_host
    vambrio_sound_routing vambrio_platform_rtmidi vambrio_platform_alsa_mixer vambrio_songs_stage)
  vambrio_room(vambrio shell/main_window)
  set_target_properties(vambrio PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VAMBRIO_BIN_DIR})
endif()
