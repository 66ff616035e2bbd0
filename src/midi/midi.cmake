target_sources(vambrio_midi PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/midi_length.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tempo_map.cpp
  ${CMAKE_CURRENT_LIST_DIR}/midi_ports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/smf_writer.cpp)
