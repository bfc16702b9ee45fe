#pragma once
// Whether two runs would write one file: their folders compared as the file
// system knows them (so a link or a bind mount is no second folder), their
// names without letter case where that folder ignores it.

#include <filesystem>
#include <optional>
#include <string>

#include "platform/output_folders.h"

namespace qorvane {

struct OutputPlace {
    std::optional<OutputFolders::Facts> facts;  // none while the folder does not exist
    std::filesystem::path folder;                // normalised, for when facts are missing
    std::string name;
};

OutputPlace PlaceOf(const OutputFolders& folders, const std::filesystem::path& folder, std::string name);

bool SameOutput(const OutputPlace& a, const OutputPlace& b);

}  // namespace qorvane
