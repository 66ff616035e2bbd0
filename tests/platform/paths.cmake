vambrio_core_test(test_user_paths ${CMAKE_CURRENT_LIST_DIR}/user_paths_test.cpp)
vambrio_core_test(test_soundfont_lookup ${CMAKE_CURRENT_LIST_DIR}/soundfont_test.cpp)
vambrio_core_test(test_poll_loop ${CMAKE_CURRENT_LIST_DIR}/poll_loop_test.cpp)
