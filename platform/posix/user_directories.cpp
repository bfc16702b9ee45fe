#include "platform/posix/user_directories.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

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
