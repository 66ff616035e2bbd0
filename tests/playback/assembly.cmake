vambrio_core_test(test_assembly
  ${CMAKE_CURRENT_LIST_DIR}/assembly_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/assembly_fuzz_test.cpp)
