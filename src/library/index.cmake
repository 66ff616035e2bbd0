# The library's index on SQLite through Qt SQL (Qt Core and Sql only, no
# widgets): built whenever Qt's SQL module is there, also without the window.
if(TARGET Qt6::Sql)
  add_library(vambrio_library STATIC
    ${CMAKE_CURRENT_LIST_DIR}/library_row.cpp
    ${CMAKE_CURRENT_LIST_DIR}/library_database.cpp
    ${CMAKE_CURRENT_LIST_DIR}/library_songs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/library_indexer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/library_filter.cpp)
  target_link_libraries(vambrio_library PUBLIC vambrio_core Qt6::Core Qt6::Sql)
  find_package(Threads REQUIRED)
  target_link_libraries(vambrio_library PRIVATE Threads::Threads)
endif()
