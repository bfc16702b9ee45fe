#pragma once
// `qorvane-cli watch`: folders whose new files are converted as they settle,
// until a termination signal ends it as it ends `encode`.

#include <chrono>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/watch_files.h"
#include "cli/headless_batch.h"
#include "platform/durable_text_file.h"
#include "platform/folder_watcher.h"

namespace qorvane::cli {

struct WatchOptions {
    EncodeOptions encode;  // profile, output folder, runs at the same time, ...; files unused
    bool keepTree = false;
    std::chrono::milliseconds settle{5000};
    // Polling alone, at this interval; none: inotify with a full rescan a minute.
    std::optional<std::chrono::milliseconds> poll;
    std::vector<std::string> folders;
};

struct WatchServices {
    FolderWatcher& watcher;
    DurableTextFile& record;  // what was taken, in the state folder
    WatchListing listing;     // for the rescans
};

int RunHeadlessWatch(const WatchOptions& options, HeadlessServices services, WatchServices watch, std::ostream& out,
                     std::ostream& err);

// Seconds as given on the command line ("5", "0.5"); nothing for anything
// else or a negative figure.
std::optional<std::chrono::milliseconds> ParseSeconds(const std::string& text);

}  // namespace qorvane::cli
