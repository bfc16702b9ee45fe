#include "platform/posix/recovery_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace qorvane {

namespace {

namespace fs = std::filesystem;

constexpr const char* kExtension = ".recovery";

fs::path LockOf(fs::path file) { return file.replace_extension(".lock"); }

fs::path TemporaryOf(fs::path file) { return file += ".tmp"; }

// The lock file's descriptor, held, or -1 when another copy holds it.
int TryLock(const fs::path& lock) {
    int fd;
    do {
        fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

}  // namespace

fs::path DefaultRecoveryFolder() {
    // A relative XDG_STATE_HOME is invalid and must be ignored.
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && fs::path(state).is_absolute()) {
        return fs::path(state) / "qorvane";
    }
    const char* home = std::getenv("HOME");
    return (home && *home ? fs::path(home) : fs::temp_directory_path()) / ".local" / "state" / "qorvane";
}

RecoveryStore::RecoveryStore(fs::path folder) : folder_(std::move(folder)) {
    std::error_code ec;
    fs::create_directories(folder_, ec);
    const auto started = std::chrono::steady_clock::now().time_since_epoch().count();
    std::ostringstream name;
    name << "jobs-" << ::getpid() << '-' << std::hex << started << kExtension;
    own_ = folder_ / name.str();
    ownLock_ = TryLock(LockOf(own_));
    thread_ = std::thread([this] { writer(); });
}

RecoveryStore::~RecoveryStore() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;  // what is queued is still written
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    for (const auto& [file, fd] : claimed_) ::close(fd);
    if (ownLock_ >= 0) ::close(ownLock_);
}

std::vector<RecoveryStore::Leftover> RecoveryStore::claimLeftovers() {
    std::vector<std::pair<fs::file_time_type, Leftover>> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path path = it->path();
        const std::string name = path.filename().string();
        if (!name.starts_with("jobs-") || path == own_ || path == TemporaryOf(own_) || path == LockOf(own_) ||
            claimed_.count(path) > 0) {
            continue;
        }
        const bool temporary = name.ends_with(std::string(kExtension) + ".tmp");
        if (!temporary && path.extension() != kExtension) continue;
        const fs::path file = temporary ? fs::path(path).replace_extension() : path;
        if (claimed_.count(file) > 0) {  // held already: its cut-short write goes
            fs::remove(path, ec);
            continue;
        }
        const int lock = TryLock(LockOf(file));
        if (lock < 0) continue;  // its copy still runs
        if (temporary) {
            // A write cut short; the file it was to replace, if any, is whole.
            fs::remove(path, ec);
            if (!fs::exists(file, ec)) {
                fs::remove(LockOf(file), ec);
                ::close(lock);
                continue;
            }
        }
        std::ifstream in(file, std::ios::binary);
        if (!in) {  // taken meanwhile by another new copy, which removed it
            ::close(lock);
            continue;
        }
        Leftover leftover{file, std::string(std::istreambuf_iterator<char>(in), {})};
        claimed_[file] = lock;
        found.emplace_back(fs::last_write_time(file, ec), std::move(leftover));
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Leftover> leftovers;
    for (auto& [time, leftover] : found) leftovers.push_back(std::move(leftover));
    return leftovers;
}

void RecoveryStore::release(const fs::path& file, bool removeFile) {
    std::error_code ec;
    if (removeFile) fs::remove(file, ec);
    fs::remove(TemporaryOf(file), ec);
    fs::remove(LockOf(file), ec);
    if (const auto it = claimed_.find(file); it != claimed_.end()) {
        ::close(it->second);
        claimed_.erase(it);
    }
}

void RecoveryStore::discard(const Leftover& leftover) { release(leftover.file, true); }

fs::path RecoveryStore::setAside(const Leftover& leftover) {
    fs::path target = leftover.file;
    target += ".damaged";
    std::error_code ec;
    for (int n = 2; fs::exists(target, ec); ++n) {
        target = leftover.file;
        target += ".damaged." + std::to_string(n);
    }
    fs::rename(leftover.file, target, ec);
    release(leftover.file, false);
    return target;
}

void RecoveryStore::save(std::string text) {
    {
        std::lock_guard lock(mutex_);
        if (stop_) return;
        pending_ = std::move(text);
    }
    wake_.notify_all();
}

void RecoveryStore::flush() {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return !pending_ && !writing_; });
}

void RecoveryStore::finish() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        pending_.reset();
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    std::error_code ec;
    fs::remove(own_, ec);
    fs::remove(TemporaryOf(own_), ec);
    fs::remove(LockOf(own_), ec);
    if (ownLock_ >= 0) ::close(ownLock_);
    ownLock_ = -1;
}

std::uint64_t RecoveryStore::failedWrites() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

void RecoveryStore::writer() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return pending_ || stop_; });
        if (!pending_) return;  // stopped with nothing left to write
        const std::string text = std::move(*pending_);
        pending_.reset();
        writing_ = true;
        lock.unlock();
        const bool written = write(text);
        lock.lock();
        writing_ = false;
        if (!written) ++failed_;
        wake_.notify_all();
    }
}

// The whole text into a temporary file beside the own file, then in its
// place; the old file stays whole until the rename.
bool RecoveryStore::write(const std::string& text) {
    std::error_code ec;
    if (text.empty()) {
        fs::remove(own_, ec);
        return !ec;
    }
    const fs::path temporary = TemporaryOf(own_);
    int fd;
    do {
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    const bool whole = WriteAll(fd, text) && ::fsync(fd) == 0;
    ::close(fd);
    if (!whole || ::rename(temporary.c_str(), own_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace qorvane
