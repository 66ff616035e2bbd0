target_sources(vambrio_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/assembly.cpp)
