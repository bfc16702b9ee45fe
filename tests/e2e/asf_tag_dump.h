#pragma once
// What TagLib reads from an ASF file's header, split the way the file holds
// it: the content description's own fields and the attributes beside them.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tags/source_tags.h"

namespace qorvane::testing {

struct AsfTagDump {
    // "Title", "Author", "Copyright", "Description", "Rating"; empty ones left out.
    std::map<std::string, std::string> contentDescription;
    // Every other attribute with all its values, as text.
    std::map<std::string, std::vector<std::string>> attributes;
    // The "WM/Picture" values, as pictures.
    std::vector<SourcePicture> pictures;
};

// nullopt when TagLib does not take the file for a valid ASF file.
std::optional<AsfTagDump> DumpAsfTags(const std::filesystem::path& media);

}  // namespace qorvane::testing
