#pragma once
// Finding a program by name the way the system's search order does: the
// directory of the running program first, then the current directory, then
// each directory of PATH.

#include <filesystem>
#include <string_view>
#include <vector>

namespace qorvane {

// The directories searched, in order: programDir, the current directory, then
// the entries of the PATH text (separated by ':'; an empty entry means the
// current directory, as the shell takes it; an empty text adds nothing).
std::vector<std::filesystem::path> SearchDirectories(const std::filesystem::path& programDir,
                                                     std::string_view pathVariable);

// The absolute path of the first executable regular file called fileName in
// the directories; empty when there is none.
std::filesystem::path SearchPath(std::string_view fileName,
                                 const std::vector<std::filesystem::path>& directories);

}  // namespace qorvane
