# The real-sound tests (label "sound"): FluidSynth through a private
# PulseAudio server with a null sink, started and stopped by a fixture, and
# ALSA routed to it. The server's folders live in the build tree; the real
# user's sound set-up is never touched.
if(VAMBRIO_GUI)
  set(_sound_run ${PROJECT_BINARY_DIR}/sound-run)
  set(_sound_home ${PROJECT_BINARY_DIR}/sound-home)
  set(_pulse ${CMAKE_CURRENT_LIST_DIR}/pulse_server.sh)
  set(_sound_env
    "XDG_RUNTIME_DIR=${_sound_run}"
    "HOME=${_sound_home}"
    "ALSA_CONFIG_PATH=${CMAKE_CURRENT_LIST_DIR}/alsa_pulse.conf"
    "XDG_CACHE_HOME=${_sound_home}/.cache"
    "XDG_CONFIG_HOME=${_sound_home}/.config")

  add_test(NAME sound_server_start COMMAND ${_pulse} start ${_sound_run} ${_sound_home})
  add_test(NAME sound_server_stop COMMAND ${_pulse} stop ${_sound_run} ${_sound_home})
  set_tests_properties(sound_server_start PROPERTIES FIXTURES_SETUP pulse_server LABELS sound)
  set_tests_properties(sound_server_stop PROPERTIES FIXTURES_CLEANUP pulse_server LABELS sound)

  add_executable(test_sound
    ${CMAKE_CURRENT_LIST_DIR}/sound_output_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sound_sequencer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sound_mixer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sound_render_test.cpp)
  target_link_libraries(test_sound PRIVATE vambrio_sound vambrio_test_support PkgConfig::FLUIDSYNTH
    GTest::gtest GTest::gtest_main)
  add_dependencies(test_sound vambrio-cli)
  target_compile_definitions(test_sound PRIVATE VAMBRIO_CLI="$<TARGET_FILE:vambrio-cli>")

  # One CTest test per group; they share the sink, so they run one at a time.
  foreach(_suite SoundOutput SoundSequencer SoundMixer SoundRender)
    add_test(NAME sound_${_suite} COMMAND test_sound --gtest_filter=${_suite}.*)
    set_tests_properties(sound_${_suite} PROPERTIES LABELS sound FIXTURES_REQUIRED pulse_server
      RESOURCE_LOCK vambrio_sound_sink ENVIRONMENT "${_sound_env}" TIMEOUT 300)
  endforeach()
endif()
