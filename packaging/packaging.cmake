# Installation and the Debian package.
#
# The program finds its folder through /proc/self/exe, which names the real
# file even when started through a symbolic link, so the executable, Master/
# and the default resume file stay together in one program folder and bin/
# holds only a relative link to it: the layout works under any prefix.
#   <prefix>/lib/vaultra/vaultra, vaultra-gui     the executables (headless, window)
#   <prefix>/lib/vaultra/Master/材料/, 印刷/        the master folders
#   <prefix>/lib/vaultra/vaultra.ini              the default resume file
#   <prefix>/bin/vaultra -> ../lib/vaultra/vaultra
#   <prefix>/lib/vaultra/PlaneFrameSDK/libFrameSDK.so   the frame library (production analysis)
#   <prefix>/lib/vaultra/PlaneFrame/PlaneFrame           the frame program's folder (placeholder)
#   <prefix>/lib/vaultra/PlaneFrame.txt           the folder list file naming those two
#   <prefix>/share/{applications,icons,mime,man}  menu entry, icons, .vt1 type, manual
include(GNUInstallDirs)

set(VAULTRA_PROGRAM_DIR lib/vaultra)
set(pkg_src ${CMAKE_CURRENT_LIST_DIR})
set(pkg_bin ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${pkg_bin})

# vaultra-gui (the window and the drawing sub-commands) lies beside vaultra,
# which starts it for those.
install(TARGETS vaultra vaultra-gui RUNTIME DESTINATION ${VAULTRA_PROGRAM_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Master DESTINATION ${VAULTRA_PROGRAM_DIR}
        PATTERN "*.md" EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/vaultra.ini DESTINATION ${VAULTRA_PROGRAM_DIR})
if(TARGET FrameSDK)
  install(TARGETS FrameSDK LIBRARY DESTINATION ${VAULTRA_PROGRAM_DIR}/PlaneFrameSDK)
  install(FILES ${CMAKE_BINARY_DIR}/frame_sdk/PlaneFrame/PlaneFrame
          DESTINATION ${VAULTRA_PROGRAM_DIR}/PlaneFrame)
  # The folder list names them relative to the program folder: the layout
  # works under any prefix.
  file(WRITE ${pkg_bin}/PlaneFrame.txt "PlaneFrame\r\nPlaneFrameSDK\r\n")
  install(FILES ${pkg_bin}/PlaneFrame.txt DESTINATION ${VAULTRA_PROGRAM_DIR})
endif()

file(RELATIVE_PATH link_target /${CMAKE_INSTALL_BINDIR} /${VAULTRA_PROGRAM_DIR}/vaultra)
file(CREATE_LINK ${link_target} ${pkg_bin}/vaultra SYMBOLIC)
install(FILES ${pkg_bin}/vaultra DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${pkg_src}/vaultra.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${pkg_src}/vaultra.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES ${pkg_src}/vaultra.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/mimetypes
        RENAME application-x-vaultra-project.svg)
install(FILES ${pkg_src}/vaultra-mime.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages
        RENAME vaultra.xml)

# The manual page is made from the built program's --help and --version text.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
add_custom_command(
  OUTPUT ${pkg_bin}/vaultra.1.gz
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:vaultra> -DTEMPLATE=${pkg_src}/vaultra.1.in
          -DOUT=${pkg_bin}/vaultra.1
          -P ${pkg_src}/gen_man.cmake
  COMMAND ${GZIP_EXECUTABLE} -9nf ${pkg_bin}/vaultra.1
  DEPENDS vaultra ${pkg_src}/gen_man.cmake ${pkg_src}/vaultra.1.in
  COMMENT "Writing the manual page from vaultra --help")
add_custom_target(vaultra_man ALL DEPENDS ${pkg_bin}/vaultra.1.gz)
install(FILES ${pkg_bin}/vaultra.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# cpack -G DEB (in the build folder) writes vaultra_<version>_<arch>.deb.
set(VAULTRA_PACKAGE_MAINTAINER "Vaultra developers <vaultra@localhost>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vaultra)
set(CPACK_PACKAGE_VENDOR Vaultra)
set(CPACK_PACKAGE_CONTACT "${VAULTRA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "structural design of precast RC underground rainwater storage facilities")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "From one facility's description to the transverse and longitudinal plane\n\
frames, their load cases and combinations, the analysis, the RC checks of every member, joint\n\
and end wall, and the numbered structural calculation report: a window for the engineer\n\
and headless sub-commands.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The shared libraries (Qt 6, FreeXL, libjpeg, the C++ runtime) are found by
# dpkg-shlibdeps; what is loaded at run time only is named here: Qt's
# platform plugins, Qt's Japanese translations of its own dialogs and the IPA
# fonts of the report.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, fonts-ipafont-gothic, fonts-ipafont-mincho")
include(CPack)
