#pragma once
// What the file system says of an output folder: which folder it is, under
// whatever path names it (a link, a bind mount), and whether it tells file
// names apart by letter case (FAT, exFAT, NTFS, a casefolded folder).

#include <cstdint>
#include <filesystem>
#include <optional>

namespace qorvane {

class OutputFolders {
public:
    struct Facts {
        // Equal for two paths exactly when they name the same folder.
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        // "Song.wma" and "song.wma" are one file there.
        bool ignoresCase = false;
    };

    virtual ~OutputFolders() = default;
    // Nothing while the folder does not exist or cannot be looked at.
    virtual std::optional<Facts> facts(const std::filesystem::path& folder) const = 0;
};

}  // namespace qorvane
