#pragma once
// The watch over folders whose new files are converted without a click.
// It reads what a FolderWatcher reports and decides when a file is taken:
//
//  - after it was closed from writing or moved in, once its size and
//    modification time have stayed the same for the settle time, so a file
//    still being copied, by any program, is never taken early;
//  - never for names and places MayTake() refuses (hidden, unfinished,
//    below an output folder of a watch), nor for a file this program wrote;
//  - at start, and in a full rescan every minute, every file that the
//    record does not hold in its present version (what arrived while the
//    program was off, what the watcher could not see);
//  - once per version: the record keeps what became of each file.
//
// A watched folder that goes away is said once in the log and watched
// again when it is back. Every method may be called from any thread.

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/watch_record.h"
#include "app/watch_rules.h"
#include "platform/folder_watcher.h"

namespace qorvane {

class FolderWatch {
public:
    using Clock = std::chrono::steady_clock;

    struct Timing {
        std::chrono::milliseconds settle{5000};
        std::chrono::milliseconds rescan{60000};
        // How often a folder that went away is looked for.
        std::chrono::milliseconds returnCheck{2000};
    };

    struct Services {
        FolderWatcher& watcher;
        WatchRecord& record;
        // The stamp of a regular file; nothing when there is none.
        std::function<std::optional<WatchStamp>(const std::filesystem::path&)> stampOf;
        // Calls `found` with every file below a folder (hidden entries may be
        // left out).
        std::function<void(const std::filesystem::path& folder,
                           const std::function<void(const std::filesystem::path&)>& found)>
            listFiles;
        // One line for the log.
        std::function<void(const std::string&)> say;
        std::function<Clock::time_point()> now;
    };

    // A file handed over: its job takes the watch's profile and this output
    // folder.
    struct Taken {
        std::filesystem::path file;
        std::string profile;
        std::string outDir;
    };

    // Folders are made absolute; folders named twice are watched once.
    FolderWatch(std::vector<WatchedFolder> folders, Timing timing, Services services);

    // Watches the folders and looks through them (the files of the first
    // rescan settle like any other).
    void start();
    void handle(const std::vector<FolderEvent>& events);
    // The files whose settle time is over, in path order.
    std::vector<Taken> takeSettled();
    // When takeSettled() has something to do next (a settle time, a rescan,
    // a look for a folder that went away).
    Clock::time_point nextDue() const;

    // How the conversion of a taken file ended.
    void runOver(const std::filesystem::path& input, bool good);
    // A file this program wrote: never taken in this version.
    void wrote(const std::filesystem::path& output);

    // The files taken without an outcome yet, to hand to a watch that
    // follows this one (other settings), so that it does not take them again.
    std::map<std::string, WatchStamp> taken() const;
    void adoptTaken(const std::map<std::string, WatchStamp>& files);

    // The folders as they are watched.
    std::vector<WatchedFolder> folders() const;
    // Files waiting for their settle time, and taken without an outcome yet.
    std::size_t waiting() const;
    std::size_t going() const;

private:
    struct Candidate {
        WatchStamp stamp;
        Clock::time_point since;
    };

    const WatchedFolder* folderOf(const std::filesystem::path& file) const;
    void consider(const std::filesystem::path& file, bool fromScan);
    void forgetBelow(const std::filesystem::path& path);
    void scan(const WatchedFolder& folder);
    void rootGone(const std::filesystem::path& root);
    void sayOnce(const std::string& key, const std::string& line);
    bool known(const std::string& path, const WatchStamp& stamp) const;

    mutable std::mutex mutex_;
    std::vector<WatchedFolder> folders_;
    std::vector<std::filesystem::path> outputFolders_;
    Timing timing_;
    Services services_;
    std::map<std::filesystem::path, Candidate> candidates_;
    std::map<std::string, WatchStamp> going_;  // taken, no outcome yet
    std::map<std::string, WatchStamp> decided_;  // outcome noted in this session
    std::set<std::filesystem::path> gone_;     // watched folders that went away
    std::set<std::string> said_;
    Clock::time_point nextRescan_{};
    Clock::time_point nextReturnCheck_{};
    bool rescanSoon_ = false;
};

// Runs a watch: starts it, then waits for events and hands the settled
// files to `deliver` until `stop` is true. `stop` is asked before every
// wait, and no wait lasts longer than `maxWait`.
void RunFolderWatch(FolderWatch& watch, FolderWatcher& watcher, const std::function<bool()>& stop,
                    const std::function<void(std::vector<FolderWatch::Taken>)>& deliver,
                    std::chrono::milliseconds maxWait);

}  // namespace qorvane
