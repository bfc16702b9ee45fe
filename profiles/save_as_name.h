#pragma once
// Which name "save as" saves under. The drop-down finds a saved name without
// regard to letter case, as the Windows file system does; on a file system
// that tells case apart the typed spelling could otherwise make a second
// file beside an existing profile while the drop-down entry that jobs name
// still loads the old one. So an existing profile, or an entry of the
// drop-down, that differs only in case lends its spelling to the new file.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qorvane {

using SameNameIgnoringCase = std::function<bool(std::string_view, std::string_view)>;

// Position of the name in the list: the entry spelled the same, else the
// first that matches without regard to case; nothing when missing.
std::optional<std::size_t> FindProfileName(const std::vector<std::string>& names, std::string_view name,
                                           const SameNameIgnoringCase& same);

// The name to save under: the profile file's spelling when one matches, else
// the drop-down entry's when one matches, else the cleaned name itself.
std::string SaveAsProfileName(const std::string& cleaned, const std::vector<std::string>& profileFiles,
                              const std::vector<std::string>& listed, const SameNameIgnoringCase& same);

}  // namespace qorvane
