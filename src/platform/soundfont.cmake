# Finding the SoundFont: plain C++ with no sound library, part of the core.
target_sources(vambrio_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/soundfont.cpp ${CMAKE_CURRENT_LIST_DIR}/voice_choices.cpp)
