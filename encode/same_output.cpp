#include "encode/same_output.h"

#include <system_error>

#include "base/ascii_case.h"

namespace qorvane {

OutputPlace PlaceOf(const OutputFolders& folders, const std::filesystem::path& folder, std::string name) {
    OutputPlace place{folders.facts(folder), {}, std::move(name)};
    std::error_code ec;
    place.folder = std::filesystem::weakly_canonical(folder, ec);
    if (ec) place.folder = folder.lexically_normal();
    if (!place.folder.has_filename() && place.folder.has_relative_path()) place.folder = place.folder.parent_path();
    return place;
}

bool SameOutput(const OutputPlace& a, const OutputPlace& b) {
    const bool sameFolder = a.facts && b.facts
                                ? a.facts->device == b.facts->device && a.facts->inode == b.facts->inode
                                : a.folder == b.folder;
    if (!sameFolder) return false;
    const bool ignoresCase = (a.facts && a.facts->ignoresCase) || (b.facts && b.facts->ignoresCase);
    return ignoresCase ? EqualsIgnoringAsciiCase(a.name, b.name) : a.name == b.name;
}

}  // namespace qorvane
