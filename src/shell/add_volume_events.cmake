# frmAddVolumeEvents (Qt): the dialog of the "Add Vol Events" menu command.
if(VAMBRIO_GUI)
  set(_dir ${CMAKE_CURRENT_LIST_DIR}/add_volume_events)
  add_library(vambrio_add_volume_events STATIC
    ${_dir}/frm_add_volume_events.cpp ${_dir}/frm_add_volume_events.h ${_dir}/frm_add_volume_events.ui)
  set_target_properties(vambrio_add_volume_events PROPERTIES AUTOMOC ON AUTOUIC ON)
  target_link_libraries(vambrio_add_volume_events PUBLIC vambrio_core Qt6::Widgets)
  vambrio_room(vambrio_add_volume_events shell/add_volume_events)
endif()
