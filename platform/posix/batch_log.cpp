#include "platform/posix/batch_log.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qorvane {
namespace {

std::filesystem::path FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

void WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;  // a full disk loses log text, never the run
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

std::filesystem::path DefaultBatchLogPath() {
    if (auto chosen = FromEnvironment("QORVANE_LOG"); !chosen.empty()) return chosen;
    // A relative XDG_STATE_HOME is invalid and must be ignored.
    if (auto state = FromEnvironment("XDG_STATE_HOME"); state.is_absolute()) {
        return state / "qorvane" / "encoder.log";
    }
    auto home = FromEnvironment("HOME");
    if (home.empty()) home = std::filesystem::temp_directory_path();
    return home / ".local" / "state" / "qorvane" / "encoder.log";
}

void AppendToBatchLog(const std::filesystem::path& path, std::string_view record) {
    std::error_code ec;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    // Another writer may move the log aside while this one waits for the
    // lock; then it starts over with the new file. The last attempt writes
    // wherever it is.
    constexpr int kAttempts = 8;
    for (int attempt = 1;; ++attempt) {
        int fd;
        do {
            fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return;
        // A file system without locks still gets the record, unlocked.
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        struct stat opened {};
        struct stat named {};
        const bool known = ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0;
        if (attempt < kAttempts && known) {
            if (!SameFile(opened, named)) {  // moved aside meanwhile
                ::close(fd);
                continue;
            }
            auto old = path;
            old += ".1";
            if (static_cast<std::uintmax_t>(opened.st_size) > kBatchLogRotateBytes &&
                ::rename(path.c_str(), old.c_str()) == 0) {
                ::close(fd);
                continue;
            }
        }
        WriteAll(fd, record);
        ::close(fd);  // and the lock with it
        return;
    }
}

std::string LogTimestampLine() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32] = "?";
    if (::localtime_r(&now, &local) != nullptr) {
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    }
    return std::string("==== ") + stamp + " ====\n";
}

}  // namespace qorvane
