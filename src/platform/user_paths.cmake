# Per-user folders: POSIX only, part of the core so that every build tests them.
target_sources(vambrio_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/user_paths.cpp)
