#include "platform/posix/lock_file_mutexes.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

namespace qorvane {

namespace {

class LockFileHandle final : public NamedMutexHandle {
public:
    explicit LockFileHandle(int fd) : fd_(fd) {}
    ~LockFileHandle() override { ::close(fd_); }  // closing drops the lock
    LockFileHandle(const LockFileHandle&) = delete;
    LockFileHandle& operator=(const LockFileHandle&) = delete;

private:
    int fd_;
};

}  // namespace

std::filesystem::path LockFileMutexes::lockFile(std::string_view name) const {
    std::string file(name);
    for (char& c : file) {
        if (c == '/' || c == '\\') c = '_';
    }
    return directory_ / (file + ".lock");
}

bool LockFileMutexes::exists(std::string_view name) const {
    if (directory_.empty() || name.empty()) return false;
    const int fd = ::open(lockFile(name).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;  // never created, so never held
    // An exclusive probe fails exactly when someone holds the lock.
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

std::unique_ptr<NamedMutexHandle> LockFileMutexes::create(std::string_view name) {
    if (directory_.empty() || name.empty()) return nullptr;
    const int fd = ::open(lockFile(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return nullptr;
    // Holders share the lock; only a probe takes it exclusively, and only for
    // an instant, so a few short retries always get through.
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (::flock(fd, LOCK_SH | LOCK_NB) == 0) return std::make_unique<LockFileHandle>(fd);
        if (errno != EWOULDBLOCK && errno != EINTR) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::close(fd);
    return nullptr;
}

}  // namespace qorvane
