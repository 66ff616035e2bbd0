# The voice map: which preset of a SoundFont plays each voice a style asks
# for, the articulations its velocities carry, and the per-stream filter the
# engines and file outputs run. Plain C++, part of the core (no sound library).
target_sources(vambrio_voices PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/soundfont_catalog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/voice_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/voice_use.cpp
  ${CMAKE_CURRENT_LIST_DIR}/voice_map.cpp
  ${CMAKE_CURRENT_LIST_DIR}/voice_mapper.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mapping_sink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mapped_midi_file.cpp)
