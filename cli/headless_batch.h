#pragma once
// `qorvane-cli encode`: the batch runner, its thread and the tag writer
// without windows. One line per run; exit status 0 when every run produced
// its output file.

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "encode/live_status.h"
#include "encode/media_facts.h"
#include "platform/code_page.h"
#include "platform/free_space.h"
#include "platform/metadata_editor.h"
#include "platform/output_folders.h"
#include "platform/process_launcher.h"
#include "platform/registry.h"
#include "platform/sleep_inhibitor.h"
#include "tags/source_tags.h"

namespace qorvane::cli {

struct EncodeOptions {
    std::string profile;  // a display name in the Profile folder, or a .wpf file; empty: "Temporary"
    std::string outDir;   // empty: beside each input
    bool debug = false;
    int jobs = 1;           // encoder runs at the same time
    bool quiet = false;     // print only what failed (and what was not done)
    bool progress = false;  // keep one line per run updating in place (a terminal)
    int columns = 80;       // the terminal's width, for that line
    bool cover = true;      // outputs carry the source's cover art
    bool ignoreSpace = false;  // start even when the outputs may not fit
    std::vector<std::string> files;
};

// The outside services a headless batch uses.
struct HeadlessServices {
    const Registry& registry;
    ProcessLauncher& launcher;
    const OutputFolders& outputFolders;
    MetadataEditor& editor;
    std::filesystem::path hostDir;     // searched first for the script host
    std::filesystem::path profileDir;  // where a bare profile name is looked up
    std::string pathVariable;            // PATH
    std::filesystem::path logFile;
    const MediaTagReader& rowTagReader;     // fills a new row's tags (its pictures need not be read)
    const MediaTagReader& sourceTagReader;  // what an output carries over from its source, pictures included
    // The termination signal received so far (0: none). Once it is not 0
    // the batch is aborted, the rows left are listed as not done, and the
    // exit status is 128 + the signal.
    std::function<int()> stopSignal;
    // A write to the output or error stream that fails (a closed pipe) stops
    // the batch as this signal would; 0: the batch goes on.
    int lostOutputSignal = 0;
    // Keeps the computer awake while the batch runs; none: nothing does.
    SleepInhibitor* sleep = nullptr;
    // The facts of the sources and the room where the outputs go: the batch
    // does not start when the known sizes exceed it (unless told to ignore
    // it). Either missing: no check.
    const MediaFactsReader* factsReader = nullptr;
    const FreeSpace* freeSpace = nullptr;
};

// The line a terminal shows while a run goes on: "[3/12]  42.0%   31.0x
// 00:17 left  [300kbps] clip.avi", cut to `columns`.
std::string LiveLine(const LiveSnapshot& snapshot, int columns);

int RunHeadlessBatch(const EncodeOptions& options, HeadlessServices services, std::ostream& out,
                     std::ostream& err);

}  // namespace qorvane::cli
