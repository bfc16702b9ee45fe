# cpack -G DEB: qorvane_<version>_amd64.deb, laid out for the prefix /usr
# (so the encoder's registration lands in /etc/xdg/qorvane). Libraries come
# from dpkg-shlibdeps; ffmpeg (and ffprobe) run as programs, so they do not
# show in that scan and are named here. Qt's X11 platform plugin comes with
# libqt6gui6 itself.
# scripts/package.sh builds it with Debian's hardening flags and runs lintian.

set(QORVANE_PACKAGE_MAINTAINER "The Qorvane developers <maintainers@qorvane.org>" CACHE STRING
  "The Debian package's Maintainer field")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qorvane)
set(CPACK_PACKAGE_VENDOR "The Qorvane developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QORVANE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch front end for a Windows Media encoder")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Qorvane turns audio and video files (WAV, MP3, AVI, MPEG, VOB) into
Windows Media files (WMA, WMV) in batches. Each file dropped on its window
becomes a job with an encoding profile, five tags (pre-filled from the ID3
tags of MP3 files) and an output folder; a background thread runs the
encoder job by job behind a progress dialog and then writes the tags into
the produced file. The user interface is in Japanese.
.
The package brings the desktop program qorvane, the command qorvane-cli for
the same batches without windows, and a stand-in for the Windows Media 9
Encoding Script that encodes through ffmpeg.")

set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageStrip.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QORVANE_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QORVANE_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg")
# Qt's own Japanese (standard buttons, file dialogs) is in qt6-translations-l10n.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, sound-theme-freedesktop, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The registration in /etc is the administrator's to change: a conffile.
file(WRITE ${PROJECT_BINARY_DIR}/package/conffiles "/etc/xdg/qorvane/registry.ini\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/package/conffiles)

include(CPack)
