#include "cli/headless_watch.h"

#include <charconv>
#include <cmath>

#include "app/folder_watch.h"
#include "app/watch_files.h"
#include "app/watch_run_observer.h"

namespace qorvane::cli {

std::optional<std::chrono::milliseconds> ParseSeconds(const std::string& text) {
    double seconds = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(seconds) || seconds < 0 ||
        seconds > 1e6) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(std::llround(seconds * 1000));
}

int RunHeadlessWatch(const WatchOptions& options, HeadlessServices services, WatchServices watched,
                     std::ostream& out, std::ostream& err) {
    HeadlessBatch batch(options.encode, std::move(services), out, err);
    if (!batch.ready()) return 1;
    WatchRecord record(watched.record);
    std::vector<WatchedFolder> folders;
    for (const std::string& folder : options.folders) {
        WatchedFolder watch;
        watch.folder = folder;
        watch.outDir = options.encode.outDir;
        watch.keepTree = options.keepTree;
        folders.push_back(std::move(watch));
    }
    FolderWatch::Timing timing;
    timing.settle = options.settle;
    if (options.poll) timing.rescan = std::max(timing.rescan, *options.poll);
    FolderWatch watch(std::move(folders), timing,
                      {watched.watcher, record, WatchStampOf, watched.listing,
                       [&batch](const std::string& line) { batch.warning(line); },
                       [] { return FolderWatch::Clock::now(); }});
    WatchRunObserver outcomes(watch);
    batch.setRunObserver(&outcomes);
    for (const WatchedFolder& folder : watch.folders()) batch.warning("watching: " + folder.folder);

    int signal = 0;
    RunFolderWatch(
        watch, watched.watcher,
        [&batch, &signal] {
            signal = batch.poll();
            return signal != 0;
        },
        [&batch](std::vector<FolderWatch::Taken> taken) {
            for (const FolderWatch::Taken& file : taken) batch.add(file.file.string(), file.outDir);
            batch.start();  // a running batch takes them by itself
        },
        std::chrono::milliseconds(250));
    return batch.finish(signal);
}

}  // namespace qorvane::cli
