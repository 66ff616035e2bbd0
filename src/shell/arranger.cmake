# frmArranger, the Arranger window, on the service that plays the style live.
if(VAMBRIO_GUI)
  set(_dir ${CMAKE_CURRENT_LIST_DIR}/arranger)
  add_library(vambrio_arranger_window STATIC
    ${_dir}/frm_arranger.h ${_dir}/frm_arranger.ui ${_dir}/frm_arranger.cpp ${_dir}/frm_arranger_chart.cpp
    ${_dir}/frm_arranger_keyboard.cpp ${_dir}/record_panel.h ${_dir}/record_panel.cpp
    ${_dir}/chart_editor.h ${_dir}/chart_editor.cpp
    ${_dir}/ots_panel.h ${_dir}/ots_panel.cpp ${_dir}/parts_panel.h ${_dir}/parts_panel.cpp
    ${_dir}/frm_arranger_stage.cpp ${_dir}/frm_arranger_registration.cpp
    ${_dir}/registration_panel.h ${_dir}/registration_panel.cpp
    ${_dir}/frm_arranger_voices.cpp ${_dir}/frm_arranger_song.cpp
    ${_dir}/arranger_service.h ${_dir}/kept_chord.h ${_dir}/kept_chord.cpp)
  set_target_properties(vambrio_arranger_window PROPERTIES AUTOMOC ON AUTOUIC ON)
  target_link_libraries(vambrio_arranger_window PUBLIC vambrio_core vambrio_platform_desktop vambrio_voice_options vambrio_shell_common Qt6::Widgets)
  vambrio_room(vambrio_arranger_window shell/arranger)
endif()

# The window's service on the built-in synthesizer.
if(VAMBRIO_GUI)
  add_library(vambrio_arranger_sound STATIC ${CMAKE_CURRENT_LIST_DIR}/arranger/fluid_arranger_service.h
    ${CMAKE_CURRENT_LIST_DIR}/arranger/fluid_arranger_service.cpp ${CMAKE_CURRENT_LIST_DIR}/arranger/fluid_arranger_recording.cpp)
  target_link_libraries(vambrio_arranger_sound PUBLIC vambrio_arranger_window vambrio_platform_fluidsynth)
endif()
