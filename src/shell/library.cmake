# frmLibrary, the style library window.
if(VAMBRIO_GUI)
  set(_dir ${CMAKE_CURRENT_LIST_DIR}/library)
  add_library(vambrio_library_window STATIC
    ${_dir}/frm_library.h ${_dir}/frm_library.ui ${_dir}/frm_library.cpp ${_dir}/frm_library_index.cpp
    ${_dir}/library_table_model.h ${_dir}/library_table_model.cpp ${_dir}/style_preview.h)
  set_target_properties(vambrio_library_window PROPERTIES AUTOMOC ON AUTOUIC ON)
  target_link_libraries(vambrio_library_window PUBLIC vambrio_library vambrio_core vambrio_platform_desktop vambrio_shell_common Qt6::Widgets)
  vambrio_room(vambrio_library_window shell/library)

  # The preview on the live arranger.
  add_library(vambrio_library_preview STATIC ${_dir}/arranger_preview.h ${_dir}/arranger_preview.cpp)
  target_link_libraries(vambrio_library_preview PUBLIC vambrio_core vambrio_arranger_window)
  vambrio_room(vambrio_library_preview shell/library)

  # The program's library window beside the main window.
  add_library(vambrio_library_host STATIC ${_dir}/library_host.h ${_dir}/library_host.cpp)
  target_link_libraries(vambrio_library_host PUBLIC vambrio_library_window vambrio_library_preview
    vambrio_platform_desktop)
  vambrio_room(vambrio_library_host shell/library)
endif()
