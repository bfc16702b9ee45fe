#pragma once
// FolderWatcher by looking: every interval each watched folder is listed
// and compared with the last look. A file that is new or whose size or
// modification time changed is reported as written, one that went as gone;
// a watched folder that cannot be listed any more (or is another folder now)
// as gone itself. For file systems inotify cannot see into (network and FUSE
// mounts), or when it is not wanted.

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "platform/folder_watcher.h"

namespace qorvane {

class PollingFolderWatcher final : public FolderWatcher {
public:
    // Calls `found` with every file below a folder.
    using ListFiles = std::function<void(const std::filesystem::path& folder,
                                         const std::function<void(const std::filesystem::path&)>& found)>;

    PollingFolderWatcher(std::chrono::milliseconds interval, ListFiles listFiles);

    bool watch(const std::filesystem::path& folder) override;
    void unwatch(const std::filesystem::path& folder) override;
    std::vector<FolderEvent> wait(std::chrono::milliseconds timeout) override;
    void wake() override;

private:
    struct Seen {
        off_t size = 0;
        std::int64_t modifiedNs = 0;  // the modification time, in nanoseconds
    };
    struct Root {
        dev_t device = 0;
        ino_t inode = 0;
        std::map<std::filesystem::path, Seen> files;
    };

    std::map<std::filesystem::path, Seen> look(const std::filesystem::path& folder) const;
    void poll(std::vector<FolderEvent>& events);

    std::chrono::milliseconds interval_;
    ListFiles listFiles_;
    std::map<std::filesystem::path, Root> roots_;
    std::chrono::steady_clock::time_point nextPoll_;
    std::mutex mutex_;
    std::condition_variable woken_;
    bool wakePending_ = false;
};

}  // namespace qorvane
