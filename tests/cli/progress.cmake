# The progress line of long batches, on its own.
vambrio_core_test(test_cli_progress ${CMAKE_CURRENT_LIST_DIR}/progress_test.cpp ${PROJECT_SOURCE_DIR}/src/cli/progress.cpp)
vambrio_room(test_cli_progress cli)
