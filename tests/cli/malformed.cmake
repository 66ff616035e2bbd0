# vambrio-cli on a style with data bytes of 128 or more; mido (Debian's
# python3-mido) reads the assembled files.
vambrio_cli_test(test_cli_malformed ${CMAKE_CURRENT_LIST_DIR}/malformed_test.cpp)
target_link_libraries(test_cli_malformed PRIVATE nlohmann_json::nlohmann_json)
find_program(VAMBRIO_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(VAMBRIO_PYTHON3 NAMES python3)
target_compile_definitions(test_cli_malformed PRIVATE VAMBRIO_PYTHON3="${VAMBRIO_PYTHON3}")
