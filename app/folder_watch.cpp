#include "app/folder_watch.h"

#include <algorithm>

namespace qorvane {

namespace fs = std::filesystem;

FolderWatch::FolderWatch(std::vector<WatchedFolder> folders, Timing timing, Services services)
    : timing_(timing), services_(std::move(services)) {
    for (WatchedFolder& folder : folders) {
        folder.folder = NormalFolder(folder.folder).string();
        if (!folder.outDir.empty()) folder.outDir = NormalFolder(folder.outDir).string();
        const bool twice = std::any_of(folders_.begin(), folders_.end(),
                                       [&](const WatchedFolder& f) { return f.folder == folder.folder; });
        if (twice) continue;
        if (!folder.outDir.empty()) outputFolders_.emplace_back(folder.outDir);
        folders_.push_back(std::move(folder));
    }
}

std::vector<WatchedFolder> FolderWatch::folders() const {
    std::lock_guard lock(mutex_);
    return folders_;
}

std::map<std::string, WatchStamp> FolderWatch::taken() const {
    std::lock_guard lock(mutex_);
    return going_;
}

void FolderWatch::adoptTaken(const std::map<std::string, WatchStamp>& files) {
    std::lock_guard lock(mutex_);
    going_.insert(files.begin(), files.end());
}

std::size_t FolderWatch::waiting() const {
    std::lock_guard lock(mutex_);
    return candidates_.size();
}

std::size_t FolderWatch::going() const {
    std::lock_guard lock(mutex_);
    return going_.size();
}

void FolderWatch::start() {
    std::lock_guard lock(mutex_);
    const Clock::time_point now = services_.now();
    for (const WatchedFolder& folder : folders_) {
        if (services_.watcher.watch(folder.folder)) {
            scan(folder);
        } else {
            rootGone(folder.folder);
        }
    }
    nextRescan_ = now + timing_.rescan;
    nextReturnCheck_ = now + timing_.returnCheck;
}

// The innermost watched folder holding the file.
const WatchedFolder* FolderWatch::folderOf(const fs::path& file) const {
    const WatchedFolder* best = nullptr;
    for (const WatchedFolder& folder : folders_) {
        if (!IsUnderFolder(file, folder.folder)) continue;
        if (!best || folder.folder.size() > best->folder.size()) best = &folder;
    }
    return best;
}

bool FolderWatch::known(const std::string& path, const WatchStamp& stamp) const {
    if (services_.record.holds(path, stamp)) return true;
    const auto it = going_.find(path);
    return it != going_.end() && it->second == stamp;
}

void FolderWatch::consider(const fs::path& file, bool fromScan) {
    const WatchedFolder* folder = folderOf(file);
    if (!folder || gone_.count(folder->folder) || !MayTake(file, folder->folder, outputFolders_)) return;
    // A scan leaves a file already waiting alone; an event starts its wait over.
    if (fromScan && candidates_.count(file)) return;
    const std::optional<WatchStamp> stamp = services_.stampOf(file);
    if (!stamp) return;
    if (fromScan && known(file.string(), *stamp)) return;
    candidates_[file] = {*stamp, services_.now()};
}

void FolderWatch::forgetBelow(const fs::path& path) {
    for (auto it = candidates_.begin(); it != candidates_.end();) {
        it = IsUnderFolder(it->first, path) ? candidates_.erase(it) : std::next(it);
    }
}

void FolderWatch::scan(const WatchedFolder& folder) {
    services_.listFiles(folder.folder, [this](const fs::path& file) { consider(file, true); });
}

void FolderWatch::sayOnce(const std::string& key, const std::string& line) {
    if (said_.insert(key).second) services_.say(line);
}

void FolderWatch::rootGone(const fs::path& root) {
    if (!gone_.insert(root).second) return;
    forgetBelow(root);
    services_.say("watch: " + root.string() + " is gone; it is watched again when it is back");
}

void FolderWatch::handle(const std::vector<FolderEvent>& events) {
    std::lock_guard lock(mutex_);
    for (const FolderEvent& event : events) {
        switch (event.kind) {
            case FolderEvent::Kind::Written:
            case FolderEvent::Kind::MovedIn: consider(event.path, false); break;
            case FolderEvent::Kind::Gone: forgetBelow(event.path); break;
            case FolderEvent::Kind::RootGone:
                if (folderOf(event.path) && folderOf(event.path)->folder == event.path.string()) {
                    rootGone(event.path);
                }
                break;
            case FolderEvent::Kind::Missed:
                sayOnce("missed", "watch: events were lost; a rescan looks for what they told");
                rescanSoon_ = true;
                break;
            case FolderEvent::Kind::Unwatched:
                sayOnce("unwatched",
                        "watch: " + event.path.string() +
                            " and folders like it cannot be watched (the limit fs.inotify.max_user_watches is "
                            "reached); the rescan every " +
                            std::to_string(timing_.rescan.count() / 1000) + " s finds their files");
                break;
        }
    }
}

std::vector<FolderWatch::Taken> FolderWatch::takeSettled() {
    std::lock_guard lock(mutex_);
    const Clock::time_point now = services_.now();
    if (!gone_.empty() && now >= nextReturnCheck_) {
        nextReturnCheck_ = now + timing_.returnCheck;
        for (auto it = gone_.begin(); it != gone_.end();) {
            if (!services_.watcher.watch(*it)) {
                ++it;
                continue;
            }
            services_.say("watch: " + it->string() + " is back and watched again");
            const fs::path root = *it;
            it = gone_.erase(it);
            if (const WatchedFolder* folder = folderOf(root)) scan(*folder);
        }
    }
    if (rescanSoon_ || now >= nextRescan_) {
        rescanSoon_ = false;
        nextRescan_ = now + timing_.rescan;
        for (const WatchedFolder& folder : folders_) {
            if (!gone_.count(folder.folder)) scan(folder);
        }
    }
    std::vector<Taken> taken;
    for (auto it = candidates_.begin(); it != candidates_.end();) {
        Candidate& candidate = it->second;
        if (now < candidate.since + timing_.settle) {
            ++it;
            continue;
        }
        const std::optional<WatchStamp> stamp = services_.stampOf(it->first);
        if (stamp && *stamp != candidate.stamp) {
            // Still changing: its settle time starts again.
            candidate = {*stamp, now};
            ++it;
            continue;
        }
        const std::string path = it->first.string();
        const WatchedFolder* folder = folderOf(it->first);
        if (stamp && folder && !known(path, *stamp)) {
            going_[path] = *stamp;
            taken.push_back({it->first, folder->profile, OutputFolderFor(*folder, it->first)});
        }
        it = candidates_.erase(it);
    }
    return taken;
}

FolderWatch::Clock::time_point FolderWatch::nextDue() const {
    std::lock_guard lock(mutex_);
    if (rescanSoon_) return services_.now();
    Clock::time_point due = nextRescan_;
    if (!gone_.empty()) due = std::min(due, nextReturnCheck_);
    for (const auto& [file, candidate] : candidates_) due = std::min(due, candidate.since + timing_.settle);
    return due;
}

void FolderWatch::runOver(const fs::path& input, bool good) {
    std::lock_guard lock(mutex_);
    const std::string path = input.string();
    const WatchOutcome outcome = good ? WatchOutcome::Encoded : WatchOutcome::Failed;
    if (const auto it = going_.find(path); it != going_.end()) {
        services_.record.note(path, it->second, outcome);
        decided_[path] = it->second;
        going_.erase(it);
    } else if (const auto done = decided_.find(path); done != decided_.end() && !good) {
        // A later run of the same job (another bit rate) failed.
        services_.record.note(path, done->second, outcome);
    }
}

void FolderWatch::wrote(const fs::path& output) {
    std::lock_guard lock(mutex_);
    if (!folderOf(output)) return;  // outside every watched folder: nothing to keep apart
    if (const std::optional<WatchStamp> stamp = services_.stampOf(output)) {
        services_.record.note(output.string(), *stamp, WatchOutcome::Written);
    }
}

void RunFolderWatch(FolderWatch& watch, FolderWatcher& watcher, const std::function<bool()>& stop,
                    const std::function<void(std::vector<FolderWatch::Taken>)>& deliver,
                    std::chrono::milliseconds maxWait) {
    using namespace std::chrono;
    watch.start();
    while (!stop()) {
        if (std::vector<FolderWatch::Taken> taken = watch.takeSettled(); !taken.empty()) deliver(std::move(taken));
        const auto untilDue = duration_cast<milliseconds>(watch.nextDue() - FolderWatch::Clock::now()) + 1ms;
        watch.handle(watcher.wait(std::clamp(untilDue, 0ms, maxWait)));
    }
}

}  // namespace qorvane
