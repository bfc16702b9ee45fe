#pragma once
// Where profiles live and what they are called: the profile named N is the
// file N.wpf (the extension in any letter case) in the Profile directory
// beside the program.

#include <filesystem>
#include <string>
#include <vector>

namespace qorvane {

inline constexpr const char* kProfileExtension = ".wpf";
// Offered when the Profile directory holds no profile; no file stands
// behind it until it is saved.
inline constexpr const char* kTemporaryProfileName = "Temporary";

// The file behind a profile name: the existing regular file (or link to one)
// whose name is the profile name followed by ".wpf" in any letter case, so
// that every name the drop-down lists finds the file it was listed for.
// "name.wpf" itself is preferred; among other spellings of the extension the
// file name that sorts first byte by byte is taken ("N.WPF" before "N.Wpf").
// When there is none, "name.wpf", the file a new profile is saved as.
std::filesystem::path ProfilePath(const std::filesystem::path& profileDir, const std::string& name);

// True when a profile argument names a profile file rather than a profile:
// its extension (path::extension(), so ".wpf" alone has none) is ".wpf" in
// any letter case.
bool IsProfileFileArgument(const std::filesystem::path& argument);

// A profile file's display name: its file name without the last extension.
std::string ProfileDisplayName(const std::filesystem::path& file);

// Display names of the regular, visible *.wpf files of the directory (the
// extension matched without regard to case), in directory order.
std::vector<std::string> ProfileFileNames(const std::filesystem::path& profileDir);

// What the profile drop-down offers: the profile files' names, or the single
// name "Temporary" when there is none.
std::vector<std::string> ListProfileNames(const std::filesystem::path& profileDir);

}  // namespace qorvane
