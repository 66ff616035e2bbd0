# The monotonic clock of the timed MIDI output, the system clock and the event
# loop of the command line: POSIX only, part of the core.
target_sources(vambrio_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/mono_clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_clock.cpp)
