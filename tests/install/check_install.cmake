# Installs the build into PREFIX and checks what arrived, then a staged
# install (DESTDIR) as a package build makes it.
#   cmake -DBUILD_DIR= -DPREFIX= -DSTAGE= -DBINDIR= -DDATADIR= -DDOCDIR=
#         -DPROGRAMS=a,b -DWITH_MANUAL=0|1 -P check_install.cmake
find_program(_validate desktop-file-validate REQUIRED)
find_program(_update_mime update-mime-database REQUIRED)
find_program(_update_desktop update-desktop-database REQUIRED)
string(REPLACE "," ";" PROGRAMS "${PROGRAMS}")
set(_id org.vambrio.Vambrio)

function(install_into prefix)
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc)
    message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}\n${err}")
  endif()
endfunction()

function(expect_files root)
  set(files
    ${DATADIR}/applications/${_id}.desktop
    ${DATADIR}/mime/packages/${_id}.xml
    ${DATADIR}/metainfo/${_id}.metainfo.xml
    ${DATADIR}/icons/hicolor/scalable/apps/${_id}.svg
    ${DATADIR}/icons/hicolor/48x48/apps/${_id}.png
    ${DATADIR}/icons/hicolor/256x256/apps/${_id}.png
    ${DOCDIR}/README.md)
  if(WITH_MANUAL)
    list(APPEND files ${DOCDIR}/Vambrio.pdf)
  endif()
  foreach(program IN LISTS PROGRAMS)
    list(APPEND files ${BINDIR}/${program})
  endforeach()
  foreach(file IN LISTS files)
    if(NOT EXISTS ${root}/${file})
      message(FATAL_ERROR "not installed: ${root}/${file}")
    endif()
  endforeach()
endfunction()

# Into a prefix, as "cmake --install build --prefix ~/.local" does.
file(REMOVE_RECURSE ${PREFIX})
install_into(${PREFIX})
expect_files(${PREFIX})

set(_desktop ${PREFIX}/${DATADIR}/applications/${_id}.desktop)
execute_process(COMMAND ${_validate} ${_desktop} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc OR NOT out STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate rejects ${_desktop}:\n${out}")
endif()

# The caches a file manager reads were brought up to date by the install:
# the MIME database knows the style types and the desktop database says
# which program opens them.
foreach(cache mime/mime.cache mime/audio/x-arranger-style-sty.xml applications/mimeinfo.cache)
  if(NOT EXISTS ${PREFIX}/${DATADIR}/${cache})
    message(FATAL_ERROR "the install did not refresh ${PREFIX}/${DATADIR}/${cache}")
  endif()
endforeach()
file(READ ${PREFIX}/${DATADIR}/applications/mimeinfo.cache _handlers)
foreach(ext sty pcs sst pst prs bcs fps)
  if(NOT _handlers MATCHES "audio/x-arranger-style-${ext}=[^\n]*${_id}\\.desktop")
    message(FATAL_ERROR "no handler for audio/x-arranger-style-${ext} in mimeinfo.cache:\n${_handlers}")
  endif()
endforeach()

foreach(program IN LISTS PROGRAMS)
  if(program STREQUAL "vambrio-cli")
    execute_process(COMMAND ${PREFIX}/${BINDIR}/vambrio-cli RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 2 OR NOT err MATCHES "usage:")
      message(FATAL_ERROR "the installed vambrio-cli does not run (${rc}):\n${err}")
    endif()
  endif()
endforeach()

find_program(_appstream appstreamcli)
if(_appstream)
  execute_process(COMMAND ${_appstream} validate --no-net ${PREFIX}/${DATADIR}/metainfo/${_id}.metainfo.xml
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc)
    message(FATAL_ERROR "appstreamcli rejects the metainfo:\n${out}")
  endif()
endif()

# A staged install for a package: every file under DESTDIR, no caches
# written (the package's own scripts refresh them on the target system).
file(REMOVE_RECURSE ${STAGE})
set(ENV{DESTDIR} ${STAGE})
install_into(/usr)
unset(ENV{DESTDIR})
expect_files(${STAGE}/usr)
if(EXISTS ${STAGE}/usr/${DATADIR}/mime/mime.cache OR EXISTS ${STAGE}/usr/${DATADIR}/applications/mimeinfo.cache)
  message(FATAL_ERROR "a staged install wrote the desktop caches")
endif()
# A system database as a package install leaves it: the desktop's own types
# and Vambrio's in one place (the installed-desktop test reads it).
set(_system ${STAGE}/system/mime)
file(MAKE_DIRECTORY ${_system}/packages)
file(COPY /usr/share/mime/packages/freedesktop.org.xml ${STAGE}/usr/${DATADIR}/mime/packages/${_id}.xml
  DESTINATION ${_system}/packages)
execute_process(COMMAND ${_update_mime} ${_system} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc)
  message(FATAL_ERROR "update-mime-database rejects the MIME types:\n${err}")
endif()
message(STATUS "installed and checked: ${PREFIX}")
