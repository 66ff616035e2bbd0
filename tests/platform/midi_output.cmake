vambrio_core_test(test_midi_output
  ${CMAKE_CURRENT_LIST_DIR}/midi_sender_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/port_sequencer_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/kept_midi_ports_test.cpp)
