#pragma once
// The file system as the watch reads it: the files below a folder, and a
// file's stamp.

#include <filesystem>
#include <functional>
#include <optional>

#include "app/watch_record.h"
#include "platform/directory_walk.h"

namespace qorvane {

using WatchListing = std::function<void(const std::filesystem::path& folder,
                                        const std::function<void(const std::filesystem::path&)>& found)>;

// The accepted files below a folder as folders are added as input
// (app/folder_listing.h: hidden entries skipped, links followed, no folder
// twice); `walk` must outlive the result.
WatchListing WatchListingOf(const DirectoryWalk& walk);

// Size and modification time of a regular file (a link followed); nothing
// for anything else, or when it cannot be looked at.
std::optional<WatchStamp> WatchStampOf(const std::filesystem::path& file);

}  // namespace qorvane
