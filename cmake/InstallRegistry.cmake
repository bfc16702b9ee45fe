# Run by cmake --install (and by CPack): registers the installed stand-in
# encoder machine-wide, as an encoder's installer writes its registry key.
# InstallDir names the install's private folder; the file goes to
# /etc/xdg/qorvane for the prefix /usr, else <prefix>/etc/xdg/qorvane.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(qorvane_config_dir "/etc/xdg/qorvane")
else()
  set(qorvane_config_dir "${CMAKE_INSTALL_PREFIX}/etc/xdg/qorvane")
endif()
set(qorvane_registry "${qorvane_config_dir}/registry.ini")
message(STATUS "Installing: $ENV{DESTDIR}${qorvane_registry}")
file(MAKE_DIRECTORY "$ENV{DESTDIR}${qorvane_config_dir}")
file(WRITE "$ENV{DESTDIR}${qorvane_registry}"
"; The encoder's registration, read by Qorvane after the user's own
; ~/.config/qorvane/registry.ini (which overrides it as a whole).
[software\\Microsoft\\Windows Media\\Encoder]
InstallDir=${CMAKE_INSTALL_PREFIX}/${QORVANE_INSTALL_PRIVATEDIR}/
Version=9.0.0.2980
")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${qorvane_registry}")
