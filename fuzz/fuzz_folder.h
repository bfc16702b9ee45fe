#pragma once
// A folder of the fuzzing process's own under `base`, named PREFIX<pid> and
// removed at its end; those of earlier runs that ended by a crash (their
// process is gone) are removed first.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace qorvane::fuzzing {

inline std::filesystem::path OwnDirectory(const std::filesystem::path& base, const std::string& prefix) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(base, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix) && !fs::exists("/proc/" + name.substr(prefix.size()), ec)) {
            fs::remove_all(entry.path(), ec);
        }
    }
    static const fs::path made = base / (prefix + std::to_string(::getpid()));
    fs::remove_all(made, ec);
    fs::create_directories(made);
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(made, ignored);
    });
    return made;
}

}  // namespace qorvane::fuzzing
