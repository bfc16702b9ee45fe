#include "platform/posix/inotify_folder_watcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace qorvane {

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE |
                                IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::chrono::seconds kRootCheckEvery{2};

bool Hidden(const fs::path& path) { return path.filename().string().starts_with('.'); }

bool IsUnder(const fs::path& path, const fs::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (p == path.end() || *p != *f) return false;
    }
    return true;
}

}  // namespace

InotifyFolderWatcher::InotifyFolderWatcher()
    : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

InotifyFolderWatcher::~InotifyFolderWatcher() {
    if (fd_ >= 0) ::close(fd_);
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

bool InotifyFolderWatcher::watch(const fs::path& folder) {
    struct stat st {};
    if (fd_ < 0 || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    dropRoot(folder);
    const std::size_t before = folders_.size();
    addTree(folder, folder, nullptr);
    if (folders_.size() == before) return false;  // not even the folder itself
    roots_[folder] = {st.st_dev, st.st_ino};
    return true;
}

void InotifyFolderWatcher::unwatch(const fs::path& folder) { dropRoot(folder); }

void InotifyFolderWatcher::addTree(const fs::path& folder, const fs::path& root, std::vector<FolderEvent>* found) {
    const int wd = ::inotify_add_watch(fd_, folder.c_str(), kMask);
    if (wd < 0) {
        if (errno == ENOSPC) early_.push_back({FolderEvent::Kind::Unwatched, folder});
        if (errno != ENOSPC) return;
    } else {
        // The same folder reached again (a link, a bind mount) has its watch
        // already: going on would walk in a circle.
        if (!folders_.emplace(wd, Folder{folder, root}).second) return;
    }
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path path = it->path();
        if (Hidden(path)) continue;
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            addTree(path, root, found);
        } else if (found && it->is_regular_file(typeError)) {
            found->push_back({FolderEvent::Kind::MovedIn, path});
        }
    }
}

void InotifyFolderWatcher::dropBelow(const fs::path& path) {
    for (auto it = folders_.begin(); it != folders_.end();) {
        if (IsUnder(it->second.path, path)) {
            ::inotify_rm_watch(fd_, it->first);
            it = folders_.erase(it);
        } else {
            ++it;
        }
    }
}

void InotifyFolderWatcher::dropRoot(const fs::path& root) {
    if (!roots_.erase(root)) return;
    for (auto it = folders_.begin(); it != folders_.end();) {
        if (it->second.root == root) {
            ::inotify_rm_watch(fd_, it->first);
            it = folders_.erase(it);
        } else {
            ++it;
        }
    }
}

void InotifyFolderWatcher::wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

std::vector<FolderEvent> InotifyFolderWatcher::wait(std::chrono::milliseconds timeout) {
    std::vector<FolderEvent> events;
    events.swap(early_);
    if (fd_ < 0) return events;
    const auto now = std::chrono::steady_clock::now();
    if (now >= nextRootCheck_) {
        nextRootCheck_ = now + kRootCheckEvery;
        checkRoots(events);
    }
    if (!events.empty()) timeout = std::chrono::milliseconds(0);
    // Never past the next look at the watched folders themselves.
    const auto untilCheck = std::chrono::duration_cast<std::chrono::milliseconds>(nextRootCheck_ - now);
    timeout = std::max(std::chrono::milliseconds(0), std::min(timeout, untilCheck));
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    const int ready = ::poll(fds, 2, static_cast<int>(timeout.count()));
    if (ready > 0 && (fds[1].revents & POLLIN)) {
        std::uint64_t count;
        [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &count, sizeof count);
    }
    if (ready > 0 && (fds[0].revents & POLLIN)) readEvents(events);
    events.insert(events.end(), early_.begin(), early_.end());
    early_.clear();
    return events;
}

void InotifyFolderWatcher::checkRoots(std::vector<FolderEvent>& events) {
    for (auto it = roots_.begin(); it != roots_.end();) {
        struct stat st {};
        const bool same = ::stat(it->first.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
                          st.st_dev == it->second.device && st.st_ino == it->second.inode;
        if (same) {
            ++it;
            continue;
        }
        const fs::path root = it->first;
        ++it;
        dropRoot(root);
        events.push_back({FolderEvent::Kind::RootGone, root});
    }
}

void InotifyFolderWatcher::readEvents(std::vector<FolderEvent>& events) {
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return;
        for (ssize_t at = 0; at < got;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof(inotify_event);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
            if (event.mask & IN_Q_OVERFLOW) {
                events.push_back({FolderEvent::Kind::Missed, {}});
                continue;
            }
            const auto folder = folders_.find(event.wd);
            if (folder == folders_.end()) continue;  // a watch dropped meanwhile
            const Folder where = folder->second;
            if (event.len == 0 || name[0] == '\0') {
                // The watched folder itself.
                if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED)) {
                    if (where.path == where.root) {
                        dropRoot(where.root);
                        events.push_back({FolderEvent::Kind::RootGone, where.root});
                    } else {
                        if (!(event.mask & IN_IGNORED)) ::inotify_rm_watch(fd_, event.wd);
                        folders_.erase(event.wd);
                    }
                }
                continue;
            }
            const fs::path path = where.path / name;
            if (event.mask & IN_ISDIR) {
                if (event.mask & (IN_MOVED_FROM | IN_DELETE)) {
                    dropBelow(path);
                    events.push_back({FolderEvent::Kind::Gone, path});
                } else if ((event.mask & (IN_CREATE | IN_MOVED_TO)) && !Hidden(path)) {
                    addTree(path, where.root, &events);
                }
                continue;
            }
            if (event.mask & IN_CLOSE_WRITE) events.push_back({FolderEvent::Kind::Written, path});
            if (event.mask & IN_MOVED_TO) events.push_back({FolderEvent::Kind::MovedIn, path});
            if (event.mask & (IN_MOVED_FROM | IN_DELETE)) events.push_back({FolderEvent::Kind::Gone, path});
        }
    }
}

}  // namespace qorvane
