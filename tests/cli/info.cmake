vambrio_cli_test(test_cli_info ${CMAKE_CURRENT_LIST_DIR}/info_test.cpp)
target_link_libraries(test_cli_info PRIVATE nlohmann_json::nlohmann_json)
