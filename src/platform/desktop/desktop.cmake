# The desktop on Qt: message boxes, file, folder and chart dialogs, the input
# box, the playback loop's timer, and the desktop shell (opening documents,
# finding and starting programs).
if(VAMBRIO_GUI)
  add_library(vambrio_qt_services STATIC
    ${CMAKE_CURRENT_LIST_DIR}/qt_message_boxes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_file_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_chart_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_song_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_input_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_timer.cpp)
  target_link_libraries(vambrio_qt_services PUBLIC vambrio_core Qt6::Widgets)

  add_library(vambrio_qt_folder_dialog STATIC ${CMAKE_CURRENT_LIST_DIR}/qt_folder_dialog.cpp)
  target_link_libraries(vambrio_qt_folder_dialog PUBLIC vambrio_core Qt6::Widgets)

  add_library(vambrio_desktop_shell STATIC ${CMAKE_CURRENT_LIST_DIR}/qt_desktop_shell.cpp)
  target_include_directories(vambrio_desktop_shell PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(vambrio_desktop_shell PUBLIC Qt6::Core Qt6::Gui)
endif()
