# The library's index on SQLite through Qt SQL.
target_sources(vambrio_library PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/library_row.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_list_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/library_database.cpp
  ${CMAKE_CURRENT_LIST_DIR}/library_database_open.cpp
  ${CMAKE_CURRENT_LIST_DIR}/library_songs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/library_indexer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/library_filter.cpp)
target_link_libraries(vambrio_library PUBLIC Qt6::Core Qt6::Sql)
find_package(Threads REQUIRED)
target_link_libraries(vambrio_library PRIVATE Threads::Threads)
