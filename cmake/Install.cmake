# cmake --install: both programs in one folder (the workspace starts the editor it finds beside itself),
# linked into bin/, with a desktop entry and hicolor icons each.
include(GNUInstallDirs)

set(TESSALY_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/tessaly)
install(TARGETS tlwkproj pxwkproj RUNTIME DESTINATION ${TESSALY_PROGRAM_DIR})

# The links and the entries' Exec lines need the prefix, which is known only when the install runs.
install(CODE "
  set(TESSALY_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
  set(TESSALY_ENTRY_DIR \"${CMAKE_BINARY_DIR}/desktop\")
  set(TESSALY_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(TESSALY_PROGRAM_DIR \"${TESSALY_PROGRAM_DIR}\")")
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/InstallLinks.cmake)

install(FILES ${CMAKE_BINARY_DIR}/desktop/tlwkproj.desktop ${CMAKE_BINARY_DIR}/desktop/pxwkproj.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
