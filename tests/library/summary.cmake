if(TARGET vambrio_library)
  vambrio_core_test(test_library_summary ${CMAKE_CURRENT_LIST_DIR}/style_summary_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/folder_walk_test.cpp)
  target_link_libraries(test_library_summary PRIVATE vambrio_library)
endif()
