#pragma once
// Where profiles live and what they are called: the profile named N is the
// file N.wpf in the Profile directory beside the program.

#include <filesystem>
#include <string>
#include <vector>

namespace qorvane {

inline constexpr const char* kProfileExtension = ".wpf";
// Offered when the Profile directory holds no profile; no file stands
// behind it until it is saved.
inline constexpr const char* kTemporaryProfileName = "Temporary";

// The profile's file for a display name.
std::filesystem::path ProfilePath(const std::filesystem::path& profileDir, const std::string& name);

// A profile file's display name: its file name without the last extension.
std::string ProfileDisplayName(const std::filesystem::path& file);

// Display names of the regular, visible *.wpf files of the directory (the
// extension matched without regard to case), in directory order.
std::vector<std::string> ProfileFileNames(const std::filesystem::path& profileDir);

// What the profile drop-down offers: the profile files' names, or the single
// name "Temporary" when there is none.
std::vector<std::string> ListProfileNames(const std::filesystem::path& profileDir);

}  // namespace qorvane
