#include "platform/posix/polling_folder_watcher.h"

#include <sys/stat.h>

namespace qorvane {

namespace fs = std::filesystem;

namespace {

std::int64_t Nanoseconds(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

}  // namespace

PollingFolderWatcher::PollingFolderWatcher(std::chrono::milliseconds interval, ListFiles listFiles)
    : interval_(interval), listFiles_(std::move(listFiles)), nextPoll_(std::chrono::steady_clock::now() + interval) {}

std::map<fs::path, PollingFolderWatcher::Seen> PollingFolderWatcher::look(const fs::path& folder) const {
    std::map<fs::path, Seen> files;
    listFiles_(folder, [&files](const fs::path& file) {
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode)) files[file] = {st.st_size, Nanoseconds(st)};
    });
    return files;
}

bool PollingFolderWatcher::watch(const fs::path& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    roots_[folder] = {st.st_dev, st.st_ino, look(folder)};
    return true;
}

void PollingFolderWatcher::unwatch(const fs::path& folder) { roots_.erase(folder); }

void PollingFolderWatcher::wake() {
    {
        std::lock_guard lock(mutex_);
        wakePending_ = true;
    }
    woken_.notify_all();
}

std::vector<FolderEvent> PollingFolderWatcher::wait(std::chrono::milliseconds timeout) {
    std::vector<FolderEvent> events;
    const auto until = std::min(std::chrono::steady_clock::now() + timeout, nextPoll_);
    {
        std::unique_lock lock(mutex_);
        woken_.wait_until(lock, until, [this] { return wakePending_; });
        wakePending_ = false;
    }
    if (std::chrono::steady_clock::now() >= nextPoll_) {
        poll(events);
        nextPoll_ = std::chrono::steady_clock::now() + interval_;
    }
    return events;
}

void PollingFolderWatcher::poll(std::vector<FolderEvent>& events) {
    for (auto it = roots_.begin(); it != roots_.end();) {
        struct stat st {};
        if (::stat(it->first.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_dev != it->second.device ||
            st.st_ino != it->second.inode) {
            events.push_back({FolderEvent::Kind::RootGone, it->first});
            it = roots_.erase(it);
            continue;
        }
        std::map<fs::path, Seen> now = look(it->first);
        for (const auto& [file, seen] : now) {
            const auto before = it->second.files.find(file);
            if (before == it->second.files.end() || before->second.size != seen.size ||
                before->second.modifiedNs != seen.modifiedNs) {
                events.push_back({FolderEvent::Kind::Written, file});
            }
        }
        for (const auto& [file, seen] : it->second.files) {
            if (!now.count(file)) events.push_back({FolderEvent::Kind::Gone, file});
        }
        it->second.files = std::move(now);
        ++it;
    }
}

}  // namespace qorvane
