#pragma once
// FolderWatcher through inotify: one watch per folder, hidden folders left
// out, a folder made or moved in later watched at once (its files reported
// as moved in, since they may have come before its watch). A watched
// folder's identity (device and inode) is looked at every few seconds, so a
// folder deleted and made again, or a file system mounted over it, counts
// as gone. A full event queue reports Missed; the watch limit
// (fs.inotify.max_user_watches) reports Unwatched for each folder left out.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

#include "platform/folder_watcher.h"

namespace qorvane {

class InotifyFolderWatcher final : public FolderWatcher {
public:
    InotifyFolderWatcher();
    ~InotifyFolderWatcher() override;
    InotifyFolderWatcher(const InotifyFolderWatcher&) = delete;
    InotifyFolderWatcher& operator=(const InotifyFolderWatcher&) = delete;

    // False when no inotify instance could be made (watch() then fails).
    bool valid() const { return fd_ >= 0; }

    bool watch(const std::filesystem::path& folder) override;
    void unwatch(const std::filesystem::path& folder) override;
    std::vector<FolderEvent> wait(std::chrono::milliseconds timeout) override;
    void wake() override;

    // Folders being watched now (for tests and figures).
    std::size_t watchedFolders() const { return folders_.size(); }

private:
    struct Folder {
        std::filesystem::path path;
        std::filesystem::path root;
    };
    struct Root {
        dev_t device = 0;
        ino_t inode = 0;
    };

    // Watches `folder` and the folders below it; with `found`, every file
    // met on the way is reported as moved in.
    void addTree(const std::filesystem::path& folder, const std::filesystem::path& root,
                 std::vector<FolderEvent>* found);
    void dropBelow(const std::filesystem::path& path);
    void dropRoot(const std::filesystem::path& root);
    void readEvents(std::vector<FolderEvent>& events);
    void checkRoots(std::vector<FolderEvent>& events);

    int fd_ = -1;
    int wakeFd_ = -1;
    std::map<int, Folder> folders_;  // by watch descriptor
    std::map<std::filesystem::path, Root> roots_;
    std::vector<FolderEvent> early_;  // Unwatched events from watch()
    std::chrono::steady_clock::time_point nextRootCheck_{};
};

}  // namespace qorvane
