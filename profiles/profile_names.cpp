#include "profiles/profile_names.h"

#include <cstddef>
#include <string_view>
#include <system_error>

#include "base/ascii_case.h"

namespace qorvane {

namespace {

bool IsRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

std::filesystem::path ProfilePath(const std::filesystem::path& profileDir, const std::string& name) {
    const std::filesystem::path exact = profileDir / (name + kProfileExtension);
    if (IsRegularFile(exact)) return exact;

    // The name may hold a folder part; the file is looked for where `exact` lies.
    const std::string wanted = exact.filename().string();
    const std::size_t stemLength = wanted.size() - std::string_view(kProfileExtension).size();
    const auto isSpelling = [&](std::string_view fileName) {
        return fileName.size() == wanted.size() && fileName.substr(0, stemLength) == wanted.substr(0, stemLength) &&
               EqualsIgnoringAsciiCase(fileName.substr(stemLength), kProfileExtension);
    };
    std::filesystem::path found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(exact.parent_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string fileName = it->path().filename().string();
        std::error_code typeError;
        if (!isSpelling(fileName) || !it->is_regular_file(typeError)) continue;
        if (found.empty() || fileName < found.filename().string()) found = it->path();
    }
    return found.empty() ? exact : found;
}

bool IsProfileFileArgument(const std::filesystem::path& argument) {
    return EqualsIgnoringAsciiCase(argument.extension().string(), kProfileExtension);
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
