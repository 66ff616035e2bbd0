# The main window on the real synthesizer (label "sound"): the private
# PulseAudio server of the sound tests, offscreen, one test at a time on its sink.
if(VAMBRIO_GUI)
  set(_dir ${CMAKE_CURRENT_LIST_DIR}/main_window_sound)
  add_executable(test_main_window_sound ${_dir}/window_sound_test.cpp)
  set_target_properties(test_main_window_sound PROPERTIES AUTOMOC ON)
  target_include_directories(test_main_window_sound PRIVATE ${PROJECT_SOURCE_DIR}/tests/platform)
  target_compile_definitions(test_main_window_sound PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
  target_link_libraries(test_main_window_sound PRIVATE vambrio_window_sound vambrio_test_support Qt6::Test)
  set(_home ${PROJECT_BINARY_DIR}/sound-home)
  add_test(NAME sound_MainWindow COMMAND test_main_window_sound)
  set_tests_properties(sound_MainWindow PROPERTIES LABELS sound FIXTURES_REQUIRED pulse_server
    RESOURCE_LOCK vambrio_sound_sink TIMEOUT 120
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${PROJECT_BINARY_DIR}/sound-run;HOME=${_home};ALSA_CONFIG_PATH=${PROJECT_SOURCE_DIR}/tests/platform/alsa_pulse.conf;XDG_CACHE_HOME=${_home}/.cache;XDG_CONFIG_HOME=${_home}/.config")
endif()
