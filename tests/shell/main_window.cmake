# The main window's tests, on the offscreen platform with a temporary
# configuration folder; run once more at 150% scaling.
if(VAMBRIO_GUI)
  set(_dir ${CMAKE_CURRENT_LIST_DIR}/main_window)
  add_executable(test_main_window
    ${_dir}/main.cpp ${_dir}/test_classes.h ${_dir}/window_rig.h ${_dir}/fake_sound_source.h
    ${_dir}/startup_test.cpp ${_dir}/open_test.cpp ${_dir}/playback_test.cpp ${_dir}/seamless_test.cpp ${_dir}/close_test.cpp
    ${_dir}/sound_settings_test.cpp ${_dir}/voice_settings_test.cpp ${_dir}/editing_test.cpp ${_dir}/look_test.cpp)
  set_target_properties(test_main_window PROPERTIES AUTOMOC ON)
  # The editing test compares the window's saved style with vambrio-cli edit's.
  add_dependencies(test_main_window vambrio-cli)
  target_compile_definitions(test_main_window PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")
  target_link_libraries(test_main_window PRIVATE vambrio_main_window vambrio_arranger_window vambrio_test_support Qt6::Test)
  set(_config ${CMAKE_CURRENT_BINARY_DIR}/main_window_config)
  add_test(NAME test_main_window COMMAND test_main_window)
  add_test(NAME test_main_window_150 COMMAND test_main_window)
  set_tests_properties(test_main_window PROPERTIES LABELS gui
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${_config}")
  set_tests_properties(test_main_window_150 PROPERTIES LABELS gui
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${_config}_150;QT_SCALE_FACTOR=1.5")
endif()
