vambrio_core_test(test_songs
  ${CMAKE_CURRENT_LIST_DIR}/ireal_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sheets_test.cpp)
target_link_libraries(test_songs PRIVATE vambrio_songs PkgConfig::LIBZIP)
add_dependencies(test_songs vambrio-cli)
target_compile_definitions(test_songs PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
