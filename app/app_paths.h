#pragma once
// Where the program keeps its files: the settings file (the program's own
// name with ".ini") and the Profile directory. Normally beside the program,
// like a portable install; in a per-user directory when the program's own
// directory cannot be written.

#include <filesystem>

namespace qorvane {

struct AppPaths {
    std::filesystem::path programDir;    // also searched first for programs
    std::filesystem::path settingsFile;
    std::filesystem::path profileDir;
};

// The program's files in dataDir: <program name>.ini and Profile/.
AppPaths AppPathsIn(const std::filesystem::path& programPath, const std::filesystem::path& dataDir);

// Beside the program when its directory is writable, else in
// <configHome>/qorvane (and beside the program when configHome is unknown).
AppPaths ChooseAppPaths(const std::filesystem::path& programPath, bool programDirWritable,
                        const std::filesystem::path& configHome);

}  // namespace qorvane
