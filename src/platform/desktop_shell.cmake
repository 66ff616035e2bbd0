# The desktop shell on Qt (opening documents, finding and starting programs).
if(VAMBRIO_GUI)
  add_library(vambrio_desktop_shell STATIC ${CMAKE_CURRENT_LIST_DIR}/qt_desktop_shell.cpp)
  target_include_directories(vambrio_desktop_shell PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(vambrio_desktop_shell PUBLIC Qt6::Core Qt6::Gui)
endif()
