# vambrio-cli library: runs the program, so it is labelled with the index ("library").
if(TARGET vambrio_library)
  add_executable(test_cli_library ${CMAKE_CURRENT_LIST_DIR}/library_test.cpp)
  target_link_libraries(test_cli_library PRIVATE vambrio_test_support GTest::gtest GTest::gtest_main
    nlohmann_json::nlohmann_json)
  target_include_directories(test_cli_library PRIVATE ${PROJECT_SOURCE_DIR}/tests/library)
  add_dependencies(test_cli_library vambrio-cli)
  target_compile_definitions(test_cli_library PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
  gtest_discover_tests(test_cli_library PROPERTIES LABELS library DISCOVERY_TIMEOUT 120)
endif()
