# The chord engine of "Any chord": chord names, the style's complete chord
# rules, and how each note follows the chord.
target_sources(vambrio_chord PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/chord_name.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chord_rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chord_symbols.cpp
  ${CMAKE_CURRENT_LIST_DIR}/note_mapping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rule_damage.cpp)
