# The chord engine of "Any chord".
vambrio_core_test(test_chord_engine
  ${CMAKE_CURRENT_LIST_DIR}/chord_name_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chord_rules_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/note_mapping_test.cpp)
