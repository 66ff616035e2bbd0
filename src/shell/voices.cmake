# The voice choices of the Options menus, shared by the windows.
if(VAMBRIO_GUI)
  add_library(vambrio_voice_options STATIC ${CMAKE_CURRENT_LIST_DIR}/voices/voice_options.h
    ${CMAKE_CURRENT_LIST_DIR}/voices/voice_options.cpp)
  set_target_properties(vambrio_voice_options PROPERTIES AUTOMOC ON)
  target_link_libraries(vambrio_voice_options PUBLIC vambrio_core Qt6::Widgets)
  vambrio_room(vambrio_voice_options shell/voices)
endif()
