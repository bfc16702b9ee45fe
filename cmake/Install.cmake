# cmake --install: the programs, the stand-in encoder in a private folder,
# its machine-wide registration, and what a desktop needs (GNUInstallDirs).
#
#   <prefix>/bin                      qorvane, qorvane-cli
#   <prefix>/libexec/qorvane          qorvane-cscript and wmcmd.vbs (not on PATH:
#                                     only the front ends start them)
#   <sysconf>/xdg/qorvane/registry.ini  the encoder's registration
#   <prefix>/share/...                desktop entry, icons, metainfo, manual pages
#   <prefix>/lib/systemd/user         qorvane-watch.service (qorvane-cli watch)
#
# <sysconf> is /etc for the prefix /usr and <prefix>/etc for any other, the
# rule InstallConfigDirOf (app/app_paths.h) follows when it looks for the
# file, so that an install under /usr/local or a scratch prefix works without
# root. The installed program finds all of this from its own place.

install(TARGETS qorvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET qorvane)
  install(TARGETS qorvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS qorvane-cscript RUNTIME DESTINATION ${QORVANE_INSTALL_PRIVATEDIR})
install(FILES stand_in_encoder/wmcmd.vbs DESTINATION ${QORVANE_INSTALL_PRIVATEDIR})

install(CODE "set(QORVANE_INSTALL_PRIVATEDIR \"${QORVANE_INSTALL_PRIVATEDIR}\")")
install(SCRIPT cmake/InstallRegistry.cmake)

set(dist ${PROJECT_SOURCE_DIR}/dist)
set(dist_out ${PROJECT_BINARY_DIR}/dist)
if(TARGET qorvane)
  install(FILES ${dist_out}/qorvane.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  install(FILES ${dist_out}/${QORVANE_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
  install(FILES ${dist}/icons/qorvane.svg DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${dist}/icons/hicolor/${size}x${size}/qorvane.png
      DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()
# systemd looks for user units of the distribution in /usr/lib/systemd/user
# (and of a local install in /usr/local/lib/systemd/user), whatever the libdir.
# Written at install time, so that it names the qorvane-cli of this install
# (a scratch prefix, /usr/local, or /usr in the package).
install(CODE "
  set(CMAKE_INSTALL_FULL_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  set(qorvane_unit \"\${CMAKE_INSTALL_PREFIX}/lib/systemd/user/qorvane-watch.service\")
  message(STATUS \"Installing: \$ENV{DESTDIR}\${qorvane_unit}\")
  configure_file(\"${dist}/qorvane-watch.service.in\" \"\$ENV{DESTDIR}\${qorvane_unit}\" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${qorvane_unit}\")
")
if(QORVANE_MAN_PAGES)
  install(FILES ${QORVANE_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
# Debian wants these under the package's own name, whatever the project's.
install(FILES ${dist}/debian/copyright ${dist_out}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/qorvane)
install(FILES ${dist}/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
  RENAME qorvane)
