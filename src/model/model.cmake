target_sources(vambrio_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shown_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/style_model.cpp
  ${CMAKE_CURRENT_LIST_DIR}/whole_file.cpp)
