#include "platform/posix/user_directories.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace qorvane {

namespace fs = std::filesystem;

namespace {

fs::path AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return {};
    fs::path path(value);
    // The base directory rules ignore relative values.
    return path.is_absolute() ? path : fs::path();
}

// A directory that only this user can reach: ours, not a link, no access for others.
bool IsPrivateDirectory(const fs::path& dir) {
    struct stat info {};
    if (::lstat(dir.c_str(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

}  // namespace

fs::path ConfigHome() {
    if (auto dir = AbsoluteFromEnvironment("XDG_CONFIG_HOME"); !dir.empty()) return dir;
    if (auto home = AbsoluteFromEnvironment("HOME"); !home.empty()) return home / ".config";
    return {};
}

std::vector<fs::path> SystemConfigDirs() {
    std::vector<fs::path> dirs;
    const char* value = std::getenv("XDG_CONFIG_DIRS");
    const std::string_view list = value != nullptr ? value : "";
    for (std::size_t start = 0; start <= list.size();) {
        std::size_t end = list.find(':', start);
        if (end == std::string_view::npos) end = list.size();
        const fs::path dir(list.substr(start, end - start));
        if (dir.is_absolute()) dirs.push_back(dir);  // the rules ignore relative entries
        start = end + 1;
    }
    if (dirs.empty()) dirs.emplace_back("/etc/xdg");
    return dirs;
}

fs::path ThisProgramPath() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self;
}

fs::path RuntimeDirectory() {
    if (auto dir = AbsoluteFromEnvironment("XDG_RUNTIME_DIR"); !dir.empty()) return dir;
    const fs::path fallback = fs::path("/tmp") / ("qorvane-" + std::to_string(::getuid()));
    ::mkdir(fallback.c_str(), 0700);  // an existing one is checked below
    return IsPrivateDirectory(fallback) ? fallback : fs::path();
}

bool IsWritableDirectory(const fs::path& dir) {
    return !dir.empty() && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

}  // namespace qorvane
