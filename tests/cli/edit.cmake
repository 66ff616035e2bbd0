vambrio_cli_test(test_cli_edit ${CMAKE_CURRENT_LIST_DIR}/edit_test.cpp)
