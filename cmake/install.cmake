# cmake --install: the programs, the manual and the desktop integration
# (icon, .desktop file, MIME types, AppStream metadata), in the standard
# places of GNUInstallDirs.
include(${CMAKE_CURRENT_LIST_DIR}/install_dirs.cmake)

set(_data ${PROJECT_SOURCE_DIR}/data)
set(_app_id org.vambrio.Vambrio)

foreach(_program IN ITEMS vambrio vambrio-cli)
  if(TARGET ${_program})
    install(TARGETS ${_program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

if(TARGET vambrio_manual_pdf)
  install(FILES ${VAMBRIO_BIN_DIR}/Vambrio.pdf DESTINATION ${VAMBRIO_INSTALL_DOCDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${VAMBRIO_INSTALL_DOCDIR})

install(FILES ${_data}/${_app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_data}/${_app_id}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${_data}/${_app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_data}/${_app_id}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(_size IN ITEMS 48 128 256)
  install(FILES ${_data}/icons/${_size}x${_size}/${_app_id}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps)
endforeach()

# A package's own scripts refresh the desktop's caches; a direct install into
# a prefix does it here, so that the file manager knows the style types at
# once. Staged installs (DESTDIR) leave it to the package.
install(CODE "set(_vambrio_datadir \"${CMAKE_INSTALL_DATADIR}\")")
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    set(_share "${_vambrio_datadir}")
    if(NOT IS_ABSOLUTE "${_share}")
      set(_share "${CMAKE_INSTALL_PREFIX}/${_share}")
    endif()
    find_program(_update_mime update-mime-database)
    find_program(_update_desktop update-desktop-database)
    find_program(_update_icons gtk-update-icon-cache)
    if(_update_mime)
      execute_process(COMMAND ${_update_mime} "${_share}/mime" OUTPUT_QUIET ERROR_QUIET)
    endif()
    if(_update_desktop)
      execute_process(COMMAND ${_update_desktop} -q "${_share}/applications" OUTPUT_QUIET ERROR_QUIET)
    endif()
    if(_update_icons AND EXISTS "${_share}/icons/hicolor/index.theme")
      execute_process(COMMAND ${_update_icons} -q -t "${_share}/icons/hicolor" OUTPUT_QUIET ERROR_QUIET)
    endif()
  endif()
]])
