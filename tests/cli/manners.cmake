# vambrio-cli's help, version, usage errors, folder walking and progress line.
vambrio_cli_test(test_cli_manners ${CMAKE_CURRENT_LIST_DIR}/manners_test.cpp)
target_link_libraries(test_cli_manners PRIVATE nlohmann_json::nlohmann_json util)
