# Playback control: plain C++, part of the core.
target_sources(vambrio_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/playback_controller.cpp)
