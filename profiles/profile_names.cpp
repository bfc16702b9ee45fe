#include "profiles/profile_names.h"

#include <system_error>

#include "platform/ascii_case.h"

namespace qorvane {

std::filesystem::path ProfilePath(const std::filesystem::path& profileDir, const std::string& name) {
    return profileDir / (name + kProfileExtension);
}

std::string ProfileDisplayName(const std::filesystem::path& file) {
    return NameWithoutExtension(file);
}

std::vector<std::string> ProfileFileNames(const std::filesystem::path& profileDir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(profileDir, ec), end; !ec && it != end; it.increment(ec)) {
        const auto& path = it->path();
        const std::string fileName = path.filename().string();
        if (fileName.empty() || fileName.front() == '.') continue;  // hidden
        std::error_code typeError;
        if (!it->is_regular_file(typeError) || LowerExtension(path) != kProfileExtension) continue;
        names.push_back(ProfileDisplayName(path));
    }
    return names;
}

std::vector<std::string> ListProfileNames(const std::filesystem::path& profileDir) {
    std::vector<std::string> names = ProfileFileNames(profileDir);
    if (names.empty()) names.emplace_back(kTemporaryProfileName);
    return names;
}

}  // namespace qorvane
