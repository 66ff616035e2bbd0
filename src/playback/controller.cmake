# Playback control: plain C++, part of the core.
target_sources(vambrio_playback PRIVATE ${CMAKE_CURRENT_LIST_DIR}/playback_controller.cpp)
# The PC volume's logic (the ALSA mixer behind it lives in platform/alsa_mixer).
target_sources(vambrio_playback PRIVATE ${CMAKE_CURRENT_LIST_DIR}/pc_volume.cpp)
