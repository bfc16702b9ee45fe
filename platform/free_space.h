#pragma once
// How much room a file system has left for the outputs of a batch.

#include <cstdint>
#include <filesystem>
#include <optional>

namespace qorvane {

class FreeSpace {
public:
    struct Space {
        std::uint64_t fileSystem = 0;  // equal for two folders on one file system
        std::uint64_t available = 0;   // bytes an ordinary user may still write
    };

    virtual ~FreeSpace() = default;
    // The file system that holds `folder`, or would hold it once created
    // (that of its nearest existing parent); nothing when none can be
    // looked at.
    virtual std::optional<Space> space(const std::filesystem::path& folder) const = 0;
};

}  // namespace qorvane
