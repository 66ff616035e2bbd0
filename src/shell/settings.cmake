# The settings file helpers are plain C++ and belong to the core.
target_sources(vambrio_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/settings_file.cpp)
