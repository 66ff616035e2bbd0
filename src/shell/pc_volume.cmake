# The PC volume's logic is plain C++ and belongs to the core; the ALSA mixer
# behind it lives in the sound platform.
target_sources(vambrio_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/pc_volume.cpp)
