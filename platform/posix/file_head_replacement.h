#pragma once
// Gives a file a new head while keeping the rest of it, without ever
// leaving it half written: the new file is written whole beside the old
// one, synced, checked for its length, and only then renamed into its
// place. Any failure on the way (a full disk, a folder that takes no new
// file) leaves the old file byte for byte as it was, and no stray copy.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/metadata_editor.h"

namespace qorvane {

// The new file is `head` followed by the old file's bytes from `keepFrom`
// to its end. It keeps the old file's permission bits.
SaveResult ReplaceFileHead(const std::filesystem::path& file, std::uint64_t keepFrom, std::string_view head);

}  // namespace qorvane
