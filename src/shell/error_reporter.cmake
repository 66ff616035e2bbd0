# The error reporter is plain C++ and belongs to the core.
target_sources(vambrio_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/error_reporter.cpp)
