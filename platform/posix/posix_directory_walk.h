#pragma once
// DirectoryWalk over opendir/readdir: the kind comes from the entry itself
// where the file system gives it, so a large tree costs a stat only per link.

#include "platform/directory_walk.h"

namespace qorvane {

class PosixDirectoryWalk final : public DirectoryWalk {
public:
    Kind kind(const std::filesystem::path& path) const override;
    std::optional<Listing> list(const std::filesystem::path& folder) const override;
};

}  // namespace qorvane
