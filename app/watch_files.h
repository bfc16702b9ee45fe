#pragma once
// The file system as the watch reads it: the files below a folder, and a
// file's stamp.

#include <filesystem>
#include <functional>
#include <optional>

#include "app/watch_record.h"

namespace qorvane {

// Calls `found` with every regular file below `folder`, hidden files and
// folders left out.
void ListWatchedFiles(const std::filesystem::path& folder,
                      const std::function<void(const std::filesystem::path&)>& found);

// Size and modification time of a regular file (a link followed); nothing
// for anything else, or when it cannot be looked at.
std::optional<WatchStamp> WatchStampOf(const std::filesystem::path& file);

}  // namespace qorvane
