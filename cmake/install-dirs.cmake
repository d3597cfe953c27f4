# Where an install puts the programs and the documents.
include(GNUInstallDirs)
# A Windows user unpacks one folder and finds the programs and the README side by side.
if(WIN32)
  set(LABSIM_INSTALL_BINDIR .)
  set(LABSIM_INSTALL_DOCDIR .)
else()
  set(LABSIM_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
  set(LABSIM_INSTALL_DOCDIR ${CMAKE_INSTALL_DOCDIR})
endif()
