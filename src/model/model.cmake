target_sources(vambrio_model PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shown_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/style_model.cpp
  ${CMAKE_CURRENT_LIST_DIR}/whole_file.cpp)
# The error reporter and the settings file "Vambrio.ini".
target_sources(vambrio_model PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/error_reporter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_file.cpp)
