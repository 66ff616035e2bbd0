# Where an installed Vambrio keeps its files, relative to the install prefix.
# The program looks for its manual relative to its own folder, so the
# relative way from the programs' folder to the manual's is compiled in.
include(GNUInstallDirs)

set(VAMBRIO_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/vambrio)
set(VAMBRIO_INSTALL_DATADIR ${CMAKE_INSTALL_DATAROOTDIR}/vambrio)

# "../share/doc/vambrio" for the usual layout; relative paths only, so that
# an installed tree can be moved as a whole. Included wherever the values are
# needed (the variables live in the including folder's scope).
file(RELATIVE_PATH VAMBRIO_BIN_TO_DOCDIR
  /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VAMBRIO_INSTALL_DOCDIR})
file(RELATIVE_PATH VAMBRIO_BIN_TO_DATADIR
  /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VAMBRIO_INSTALL_DATADIR})
