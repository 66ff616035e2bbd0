# The keyboard as the Arranger window plays it, in front of each live arranger.
target_sources(vambrio_keyboard PRIVATE ${CMAKE_CURRENT_LIST_DIR}/player_keyboard.cpp)
