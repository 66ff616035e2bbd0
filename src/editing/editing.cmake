# Style editing and saving: master volume, initial volume events, tempo, save.
target_sources(vambrio_editing PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/master_volume.cpp
  ${CMAKE_CURRENT_LIST_DIR}/volume_events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tempo_edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/style_file_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/edit_handlers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/save_style.cpp)
