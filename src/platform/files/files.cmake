# Per-user folders, finding the SoundFont and the voice choices: POSIX only,
# part of the core so that every build tests them.
target_sources(vambrio_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/user_paths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/soundfont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/voice_choices.cpp)
