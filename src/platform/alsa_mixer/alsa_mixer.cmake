# The PC's output volume on ALSA's simple mixer.
if(VAMBRIO_GUI)
  add_library(vambrio_alsa_mixer STATIC ${CMAKE_CURRENT_LIST_DIR}/alsa_mixer.cpp)
  target_link_libraries(vambrio_alsa_mixer PUBLIC vambrio_core PRIVATE PkgConfig::ALSA)
endif()
