target_sources(vambrio_loading PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/load_style.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/entry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/load_failure.cpp)
target_sources(vambrio_loading PRIVATE ${CMAKE_CURRENT_LIST_DIR}/stage_settings.cpp)
