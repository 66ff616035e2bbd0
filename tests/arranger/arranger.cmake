vambrio_core_test(test_arranger
  ${CMAKE_CURRENT_LIST_DIR}/arranger_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chart_test.cpp)
# Its own program: it replaces operator new to count allocations.
vambrio_core_test(test_arranger_no_allocation ${CMAKE_CURRENT_LIST_DIR}/no_allocation_test.cpp)
target_compile_options(test_arranger_no_allocation PRIVATE -Wno-mismatched-new-delete)
