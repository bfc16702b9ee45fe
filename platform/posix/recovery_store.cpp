#include "platform/posix/recovery_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

// A leftover's bytes, read without following a link, waiting on a pipe or
// swallowing a huge file; nothing when it is not there. A file that is not
// a plain file of a sane size reads as text no recovery file has, so that it
// is set aside.
std::optional<std::string> ReadLeftover(const fs::path& file) {
    constexpr off_t kMostBytes = 256 * 1024 * 1024;
    int fd;
    do {
        fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return errno == ENOENT ? std::nullopt : std::optional<std::string>("unreadable");
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMostBytes) {
        ::close(fd);
        return std::string("not a plain file");
    }
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::read(fd, text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    text.resize(done);
    return text;
}

// A copy's file (unless `removeFile` is false), its temporary and its lock file.
void RemoveNames(const fs::path& file, bool removeFile) {
    std::error_code ec;
    if (removeFile) fs::remove(file, ec);
    fs::remove(TemporaryOf(file), ec);
    fs::remove(LockOf(file), ec);
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
    for (const Adopted& leftover : adopted_) ::close(leftover.lock);
    if (ownLock_ >= 0) {
        // With no list to keep, nothing of this copy stays behind.
        std::error_code ec;
        if (!fs::exists(own_, ec)) fs::remove(LockOf(own_), ec);
        ::close(ownLock_);
    }
}

std::vector<RecoveryStore::Leftover> RecoveryStore::claimLeftovers() {
    std::vector<std::pair<fs::file_time_type, Leftover>> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path path = it->path();
        const std::string name = path.filename().string();
        if (!name.starts_with("jobs-")) continue;
        // Each copy's three names: NAME.recovery, NAME.recovery.tmp, NAME.lock.
        fs::path file;
        if (path.extension() == kExtension) {
            file = path;
        } else if (name.ends_with(std::string(kExtension) + ".tmp")) {
            file = fs::path(path).replace_extension();
        } else if (path.extension() == ".lock") {
            file = fs::path(path).replace_extension(kExtension);
        } else {
            continue;
        }
        if (file == own_ || claimed_.count(file) > 0) {
            if (file != own_ && path == TemporaryOf(file)) fs::remove(path, ec);  // a cut-short write of a file held
            continue;
        }
        const int lock = TryLock(LockOf(file));
        if (lock < 0) continue;  // its copy still runs
        // Whatever a copy that is gone was writing is not whole: only the
        // file it was to replace may be.
        fs::remove(TemporaryOf(file), ec);
        std::optional<std::string> text = ReadLeftover(file);
        if (!text) {
            // Nothing left to offer (or taken meanwhile by another new copy).
            fs::remove(LockOf(file), ec);
            ::close(lock);
            continue;
        }
        claimed_[file] = lock;
        found.emplace_back(fs::last_write_time(file, ec), Leftover{file, std::move(*text)});
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Leftover> leftovers;
    for (auto& [time, leftover] : found) leftovers.push_back(std::move(leftover));
    return leftovers;
}

void RecoveryStore::release(const fs::path& file, bool removeFile) {
    RemoveNames(file, removeFile);
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
    for (int n = 2; fs::exists(fs::symlink_status(target, ec)); ++n) {
        target = leftover.file;
        target += ".damaged." + std::to_string(n);
    }
    fs::rename(leftover.file, target, ec);
    if (ec) {
        // Where it cannot be renamed it stays, and so does its lock file:
        // the next start says so again.
        if (const auto it = claimed_.find(leftover.file); it != claimed_.end()) {
            ::close(it->second);
            claimed_.erase(it);
        }
        return leftover.file;
    }
    release(leftover.file, false);
    return target;
}

void RecoveryStore::adopt(std::vector<Leftover> leftovers) {
    std::lock_guard lock(mutex_);
    for (const Leftover& leftover : leftovers) {
        const auto it = claimed_.find(leftover.file);
        if (it == claimed_.end()) continue;
        adopted_.push_back({it->first, it->second, saves_ + 1});
        claimed_.erase(it);
    }
}

void RecoveryStore::removeAdopted(std::uint64_t save) {
    std::erase_if(adopted_, [save](const Adopted& leftover) {
        if (leftover.firstSave > save) return false;
        RemoveNames(leftover.file, true);
        ::close(leftover.lock);
        return true;
    });
}

void RecoveryStore::save(std::string text) {
    {
        std::lock_guard lock(mutex_);
        if (stop_) return;
        pending_ = std::move(text);
        ++saves_;
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
    RemoveNames(own_, true);
    if (ownLock_ >= 0) ::close(ownLock_);
    ownLock_ = -1;
    // A normal end lets the list go, the rows taken over from leftovers too.
    std::lock_guard lock(mutex_);
    removeAdopted(saves_ + 1);
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
        const std::uint64_t save = saves_;
        pending_.reset();
        writing_ = true;
        lock.unlock();
        const bool written = write(text);
        lock.lock();
        // Only now are the rows a leftover gave this copy on disk here.
        if (written) removeAdopted(save);
        writing_ = false;
        if (!written) ++failed_;
        wake_.notify_all();
    }
}

// The whole text into a temporary file beside the own file, then in its
// place; the old file stays whole until the rename.
bool RecoveryStore::write(const std::string& text) {
    // Without its lock the file could be taken for a leftover while this
    // copy runs: better no file than one offered twice.
    if (ownLock_ < 0) return false;
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
    // The rename itself reaches the disk with the folder; until it has, the
    // write does not count (a leftover may be removed on the strength of it).
    const int folder = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return false;
    // A file system that cannot sync a folder (EINVAL) has nothing to wait for.
    const bool synced = ::fsync(folder) == 0 || errno == EINVAL;
    ::close(folder);
    return synced;
}

}  // namespace qorvane
