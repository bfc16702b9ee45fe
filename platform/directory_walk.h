#pragma once
// What a folder holds, as the file system tells it: the entries' names and
// kinds (a link counts as what it points to), and which folder it is under
// whatever path names it, so that a walk never lists one folder twice.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qorvane {

class DirectoryWalk {
public:
    enum class Kind { File, Folder, Other };  // Other: a device, a socket, a dangling link

    struct Entry {
        std::string name;
        Kind kind = Kind::Other;
    };

    struct Listing {
        // Equal for two paths exactly when they name the same folder.
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::vector<Entry> entries;  // in no particular order, without "." and ".."
    };

    virtual ~DirectoryWalk() = default;
    // What a path names, links followed; Other when it does not exist.
    virtual Kind kind(const std::filesystem::path& path) const = 0;
    // The folder's entries; nothing when it cannot be opened or read. Names
    // starting with a dot may be left out (nobody asks for them).
    virtual std::optional<Listing> list(const std::filesystem::path& folder) const = 0;
};

}  // namespace qorvane
