# The folder dialog on Qt (the library window's "Add Folder...").
if(VAMBRIO_GUI)
  add_library(vambrio_qt_folder_dialog STATIC ${CMAKE_CURRENT_LIST_DIR}/qt_folder_dialog.cpp)
  target_link_libraries(vambrio_qt_folder_dialog PUBLIC vambrio_core Qt6::Widgets)
endif()
