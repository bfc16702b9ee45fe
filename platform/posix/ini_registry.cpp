#include "platform/posix/ini_registry.h"

#include <cstdlib>

#include "base/ini_file.h"
#include "platform/posix/user_directories.h"

namespace qorvane {

std::filesystem::path IniRegistry::DefaultLocation() {
    if (const char* file = std::getenv("QORVANE_REGISTRY"); file != nullptr && *file != '\0') {
        return file;
    }
    const auto config = ConfigHome();
    return config.empty() ? std::filesystem::path() : config / "qorvane" / "registry.ini";
}

std::optional<std::string> IniRegistry::readString(std::string_view keyPath,
                                                   std::string_view valueName) const {
    if (file_.empty()) return std::nullopt;
    auto value = IniFile::Load(file_).get(keyPath, valueName);
    // Blanks around a value do not survive an INI file; double quotes keep them.
    if (value && value->size() >= 2 && value->front() == '"' && value->back() == '"') {
        *value = value->substr(1, value->size() - 2);
    }
    return value;
}

}  // namespace qorvane
