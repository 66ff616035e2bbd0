# vambrio-cli voices, info's "voices", and the --voices options of assemble and arrange;
# mido (Debian's python3-mido) reads the General-MIDI-ready files.
vambrio_cli_test(test_cli_voices ${CMAKE_CURRENT_LIST_DIR}/voices_test.cpp)
target_link_libraries(test_cli_voices PRIVATE nlohmann_json::nlohmann_json)
target_compile_definitions(test_cli_voices PRIVATE VOICES_CHECK="${CMAKE_CURRENT_LIST_DIR}/voices_check.py")
