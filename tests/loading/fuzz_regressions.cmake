# The fuzzer's regression inputs and seeds, run in the ordinary and the sanitizer builds.
vambrio_core_test(test_fuzz_regressions ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz_regression_test.cpp)
target_include_directories(test_fuzz_regressions PRIVATE ${PROJECT_SOURCE_DIR}/tests/fuzz)
