target_sources(vambrio_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/any_chord_assembly.cpp)
