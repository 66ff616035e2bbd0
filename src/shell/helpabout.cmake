# The Help and About windows (Qt): the manual lookup, frmAbout and the program icon.
if(VAMBRIO_GUI)
  include(${PROJECT_SOURCE_DIR}/cmake/install_dirs.cmake)
  set(_dir ${CMAKE_CURRENT_LIST_DIR}/helpabout)
  add_library(vambrio_helpabout STATIC
    ${_dir}/frm_about.cpp ${_dir}/frm_about.h ${_dir}/frm_about.ui
    ${_dir}/manual.cpp ${_dir}/manual.h
    ${_dir}/program_icon.cpp ${_dir}/program_icon.h
    ${_dir}/helpabout.qrc)
  set_target_properties(vambrio_helpabout PROPERTIES AUTOMOC ON AUTOUIC ON AUTORCC ON)
  target_link_libraries(vambrio_helpabout PUBLIC vambrio_core vambrio_platform_desktop Qt6::Widgets)
  vambrio_room(vambrio_helpabout shell/helpabout)
  target_compile_definitions(vambrio_helpabout PRIVATE
    VAMBRIO_BIN_TO_DOCDIR="${VAMBRIO_BIN_TO_DOCDIR}"
    VAMBRIO_BIN_TO_DATADIR="${VAMBRIO_BIN_TO_DATADIR}")
endif()
