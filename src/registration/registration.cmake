# Registrations: banks of eight stage set-ups kept as JSON files, and what a
# recall changes.
target_sources(vambrio_registration PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/registration_bank.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registration_recall.cpp)
target_link_libraries(vambrio_registration PRIVATE nlohmann_json::nlohmann_json)
