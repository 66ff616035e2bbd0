# The index tests need Qt Core and SQL but no display: label "library", which
# the sanitizer build runs beside "core".
if(TARGET vambrio_library)
  add_executable(test_library_index ${CMAKE_CURRENT_LIST_DIR}/library_index_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/library_filter_test.cpp ${CMAKE_CURRENT_LIST_DIR}/library_songs_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/index_main.cpp)
  target_link_libraries(test_library_index PRIVATE vambrio_library vambrio_test_support GTest::gtest GTest::gmock)
  gtest_discover_tests(test_library_index PROPERTIES LABELS library DISCOVERY_TIMEOUT 120)
endif()
