# vambrio_sound: the sequencer, the live output and the file renderer on
# FluidSynth, and the list of its audio drivers. Only the builds with the
# window have it; the core never links it.
if(VAMBRIO_GUI)
  add_library(vambrio_sound STATIC
    ${CMAKE_CURRENT_LIST_DIR}/fluid_apply.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fluid_drivers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fluid_engine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fluid_realtime.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fluid_log.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fluid_player_voices.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fluid_sequencer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fluid_render.cpp)
  target_link_libraries(vambrio_sound PUBLIC vambrio_core vambrio_alsa_mixer PRIVATE PkgConfig::FLUIDSYNTH)
  find_package(Threads REQUIRED)
  target_link_libraries(vambrio_sound PUBLIC Threads::Threads)
endif()
