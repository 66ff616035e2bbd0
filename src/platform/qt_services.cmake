# The window's platform services on Qt: message boxes, file dialogs, input box, and
# the playback loop's timer.
if(VAMBRIO_GUI)
  add_library(vambrio_qt_services STATIC
    ${CMAKE_CURRENT_LIST_DIR}/qt_message_boxes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_file_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_chart_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_song_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_input_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_timer.cpp)
  target_link_libraries(vambrio_qt_services PUBLIC vambrio_core Qt6::Widgets)
endif()
