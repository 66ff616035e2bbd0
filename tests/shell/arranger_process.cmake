# vambrio --arranger as the user starts it: the real program under a private
# X server (Xvfb), its Arranger window closed as a window manager closes it.
# Without Xvfb the test says so and is skipped.
if(VAMBRIO_GUI)
  pkg_check_modules(X11 IMPORTED_TARGET x11)
  if(X11_FOUND)
    add_executable(test_arranger_process ${CMAKE_CURRENT_LIST_DIR}/arranger_process_test.cpp)
    target_link_libraries(test_arranger_process PRIVATE vambrio_test_support PkgConfig::X11 GTest::gtest GTest::gtest_main)
    add_dependencies(test_arranger_process vambrio)
    target_compile_definitions(test_arranger_process PRIVATE VAMBRIO_PROGRAM="$<TARGET_FILE:vambrio>")
    add_test(NAME test_arranger_process COMMAND test_arranger_process)
    set_tests_properties(test_arranger_process PROPERTIES LABELS gui TIMEOUT 120)
  endif()
endif()
