# Rooms: every folder of src/ is one library target (a few windows' folders
# hold two: the window and its service on the real sound). A target sees the
# headers of its own room and of the rooms it links, and nothing else, so an
# include that runs against the layers (docs/architecture.md) does not build.
#
# How: each room has an include tree of its own under the build folder,
# rooms/<room>/, holding one symbolic link named like the room's folder
# ("chord", "platform/fluidsynth") to that folder. Includes keep their form
# "room/file.h". vambrio_room(TARGET ROOM) gives TARGET its room's tree; the
# trees of the rooms it links come with their targets.
function(vambrio_room target room)
  string(REPLACE "/" "_" _name ${room})
  set(_tree ${PROJECT_BINARY_DIR}/rooms/${_name})
  get_filename_component(_parent ${_tree}/${room} DIRECTORY)
  file(MAKE_DIRECTORY ${_parent})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${room} ${_tree}/${room} SYMBOLIC)
  get_target_property(_type ${target} TYPE)
  if(_type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${_tree})
  elseif(_type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE ${_tree})
  else()
    target_include_directories(${target} PUBLIC ${_tree})
  endif()
endfunction()

# vambrio_core_room(ROOM [PUBLIC rooms...] [PRIVATE rooms...]): the library
# vambrio_<room> of a headless room, fed by the .cmake pieces of its folder;
# the rooms it links are named without the "vambrio_" prefix.
function(vambrio_core_room room)
  cmake_parse_arguments(_arg "" "" "PUBLIC;PRIVATE" ${ARGN})
  string(REPLACE "/" "_" _name ${room})
  set(_target vambrio_${_name})
  if(NOT TARGET ${_target})
    add_library(${_target} STATIC)
  endif()
  vambrio_room(${_target} ${room})
  foreach(_dep IN LISTS _arg_PUBLIC)
    string(REPLACE "/" "_" _dep ${_dep})
    target_link_libraries(${_target} PUBLIC vambrio_${_dep})
  endforeach()
  foreach(_dep IN LISTS _arg_PRIVATE)
    string(REPLACE "/" "_" _dep ${_dep})
    target_link_libraries(${_target} PRIVATE vambrio_${_dep})
  endforeach()
endfunction()

# Includes the .cmake pieces of the calling folder (each describes part of the room's target).
macro(vambrio_room_pieces)
  file(GLOB _pieces CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cmake)
  list(SORT _pieces)
  foreach(_piece IN LISTS _pieces)
    include(${_piece})
  endforeach()
endmacro()
