#include "profiles/save_as_name.h"

namespace qorvane {

std::optional<std::size_t> FindProfileName(const std::vector<std::string>& names, std::string_view name,
                                           const SameNameIgnoringCase& same) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return i;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (same(names[i], name)) return i;
    }
    return std::nullopt;
}

std::string SaveAsProfileName(const std::string& cleaned, const std::vector<std::string>& profileFiles,
                              const std::vector<std::string>& listed, const SameNameIgnoringCase& same) {
    if (const auto file = FindProfileName(profileFiles, cleaned, same)) return profileFiles[*file];
    if (const auto entry = FindProfileName(listed, cleaned, same)) return listed[*entry];
    return cleaned;
}

}  // namespace qorvane
