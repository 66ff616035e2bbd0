# What every window shares (header only): text from files as the windows show it, the learned MIDI controls as "Sound.ini" keeps them.
if(VAMBRIO_GUI)
  add_library(vambrio_shell_common INTERFACE)
  target_link_libraries(vambrio_shell_common INTERFACE vambrio_core Qt6::Core)
  vambrio_room(vambrio_shell_common shell/common)
endif()
