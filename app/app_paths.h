#pragma once
// Where the front ends keep the user's files (the settings file, named after
// the program with ".ini", and the Profile folder) and where they look first
// for the encoder's script host. The window and qorvane-cli both decide this
// through ChooseAppPaths, so that they always see the same profiles.
//
//   installed  (the program in <prefix>/bin, the stand-in encoder in
//              <prefix>/libexec/qorvane): the user's files in
//              $XDG_CONFIG_HOME/qorvane, the host looked for in the private
//              folder, the encoder registered in the install's own system
//              configuration folder
//   portable   (a build tree, an unpacked folder): the user's files beside
//              the program, or in $XDG_CONFIG_HOME/qorvane when the program's
//              folder cannot be written; the host looked for beside the
//              program

#include <filesystem>
#include <functional>

namespace qorvane {

struct AppPaths {
    std::filesystem::path hostDir;  // searched first for the script host
    std::filesystem::path settingsFile;
    std::filesystem::path profileDir;
    // The install's system configuration folder (XDG), where the install
    // registers the encoder; empty for a portable program.
    std::filesystem::path installConfigDir;
};

// How an install lays the program out under its prefix, relative to it.
struct InstallLayout {
    std::filesystem::path binDir;      // the programs
    std::filesystem::path privateDir;  // the stand-in encoder's host and script
};

// The layout the build installs (from GNUInstallDirs: bin, libexec/qorvane).
InstallLayout BuiltInstallLayout();

// The prefix of an installed program: the program lies in <prefix>/<binDir>
// and the script host in <prefix>/<privateDir>. Empty otherwise.
std::filesystem::path InstallPrefixOf(const std::filesystem::path& programPath, const InstallLayout& layout);

// The system configuration folder of the install at `prefix`: /etc/xdg for
// the prefix /usr (the distribution's own), <prefix>/etc/xdg for any other.
// The install writes the encoder's registry file there (cmake/Install.cmake
// follows the same rule).
std::filesystem::path InstallConfigDirOf(const std::filesystem::path& prefix);

// The program's files in dataDir: <program name>.ini and Profile/.
AppPaths AppPathsIn(const std::filesystem::path& programPath, const std::filesystem::path& dataDir);

// The one decision described above. configHome is $XDG_CONFIG_HOME (or
// ~/.config); when it is unknown the files stay beside the program.
AppPaths ChooseAppPaths(const std::filesystem::path& programPath, const std::filesystem::path& configHome,
                        const std::function<bool(const std::filesystem::path&)>& isWritableDirectory,
                        const InstallLayout& layout = BuiltInstallLayout());

}  // namespace qorvane
