#pragma once
// The per-user directories of the desktop (XDG base directories).

#include <filesystem>
#include <vector>

namespace qorvane {

// $XDG_CONFIG_HOME, else $HOME/.config; empty when neither is known.
std::filesystem::path ConfigHome();

// The system configuration folders, first first: the absolute entries of
// $XDG_CONFIG_DIRS, else /etc/xdg.
std::vector<std::filesystem::path> SystemConfigDirs();

// The running program's own file (/proc/self/exe); empty when unknown.
std::filesystem::path ThisProgramPath();

// $XDG_RUNTIME_DIR, else /tmp/qorvane-<uid> (created private to the user
// when missing); empty when no safe directory is available.
std::filesystem::path RuntimeDirectory();

// True when this process may create files in the directory.
bool IsWritableDirectory(const std::filesystem::path& dir);

}  // namespace qorvane
