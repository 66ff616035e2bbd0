target_sources(vambrio_midi PRIVATE ${CMAKE_CURRENT_LIST_DIR}/gm_programs.cpp)
