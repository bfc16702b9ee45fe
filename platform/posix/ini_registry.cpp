#include "platform/posix/ini_registry.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "base/ini_file.h"
#include "platform/posix/user_directories.h"

namespace qorvane {

namespace fs = std::filesystem;

std::vector<fs::path> IniRegistry::DefaultLocations(const fs::path& installConfigDir) {
    if (const char* file = std::getenv("QORVANE_REGISTRY"); file != nullptr && *file != '\0') {
        return {file};
    }
    std::vector<fs::path> files;
    const auto add = [&files](const fs::path& dir) {
        if (dir.empty()) return;
        const fs::path file = dir / "qorvane" / "registry.ini";
        if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
    };
    add(ConfigHome());
    for (const fs::path& dir : SystemConfigDirs()) add(dir);
    add(installConfigDir);
    return files;
}

std::optional<std::string> IniRegistry::readString(std::string_view keyPath,
                                                   std::string_view valueName) const {
    for (const fs::path& file : files_) {
        if (file.empty()) continue;
        const IniFile ini = IniFile::Load(file);
        if (!ini.hasSection(keyPath)) continue;
        auto value = ini.get(keyPath, valueName);
        // Blanks around a value do not survive an INI file; double quotes keep them.
        if (value && value->size() >= 2 && value->front() == '"' && value->back() == '"') {
            *value = value->substr(1, value->size() - 2);
        }
        return value;
    }
    return std::nullopt;
}

}  // namespace qorvane
