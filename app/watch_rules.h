#pragma once
// Which files a watched folder may hand to the job list, by their place and
// their name, and where their outputs go.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qorvane {

// A folder whose new files are converted without a click.
struct WatchedFolder {
    std::string folder;   // absolute
    std::string profile;  // a profile's display name, or a .wpf file
    std::string outDir;   // empty: beside each input
    bool keepTree = false;  // outputs keep the file's subfolder below `folder`

    bool operator==(const WatchedFolder&) const = default;
};

// Names a watch never takes, whatever their extension: hidden files and
// names a downloader or an editor uses while a file is unfinished
// ("*.part", "*.crdownload", "*.tmp", "*.partial", "~…", ".…"). Renamed to
// an accepted name, the file is taken as it lands.
bool IsNeverTakenName(std::string_view fileName);

// True when `path` is `folder` or lies below it (lexically, both absolute).
bool IsUnderFolder(const std::filesystem::path& path, const std::filesystem::path& folder);

// True for a file below `root` that a watch may take: an accepted media
// file, no hidden folder on the way from the root, a name that is never
// refused by IsNeverTakenName, and not below any of `outputFolders`.
bool MayTake(const std::filesystem::path& file, const std::filesystem::path& root,
             const std::vector<std::filesystem::path>& outputFolders);

// The output folder of a file taken from the watch: its own, or with the
// folder structure kept, that joined with the file's subfolder.
std::string OutputFolderFor(const WatchedFolder& watch, const std::filesystem::path& file);

// A folder as the watch compares paths: absolute, no "." or "..", no
// trailing separator.
std::filesystem::path NormalFolder(const std::filesystem::path& folder);

}  // namespace qorvane
