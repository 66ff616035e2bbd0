vambrio_core_test(test_songs
  ${CMAKE_CURRENT_LIST_DIR}/ireal_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/set_list_play_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/set_list_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sheets_test.cpp)
target_link_libraries(test_songs PRIVATE vambrio_songs PkgConfig::LIBZIP)
add_dependencies(test_songs vambrio-cli)
target_compile_definitions(test_songs PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
# The importers' fuzz seeds and kept inputs, through the fuzzers' path.
vambrio_core_test(test_import_fuzz_inputs ${PROJECT_SOURCE_DIR}/tests/fuzz/import_fuzz_test.cpp)
target_link_libraries(test_import_fuzz_inputs PRIVATE vambrio_songs PkgConfig::LIBZIP)
