#pragma once
// `qorvane-cli encode`: the batch runner, its thread and the tag writer
// without windows. One line per run; exit status 0 when every run produced
// its output file.
//
// Ctrl-Z suspends the batch as a shell job: the encoders are stopped first,
// then the program; once continued, so are they. A request to stop after the
// runs going lets them finish and takes no further run; the rows not run are
// listed as not done and the exit status is kExitStoppedEarly.

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "encode/batch_services.h"
#include "cli/headless_console.h"
#include "encode/live_status.h"
#include "encode/media_facts.h"
#include "platform/code_page.h"
#include "platform/directory_walk.h"
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
    // Below --out, each output goes into its input's subfolder relative to
    // the folder named (for a file named itself: to the current folder).
    bool keepTree = false;
    bool ignoreSpace = false;  // start even when the outputs may not fit
    std::vector<std::string> files;  // files and folders
};

// The batch stopped after the runs going, with rows not run.
inline constexpr int kExitStoppedEarly = 3;

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
    // Lists the folders named.
    const DirectoryWalk& walk;
    // Ctrl-Z: true once per request to suspend. Looked at while the batch
    // runs (and once more after it).
    std::function<bool()> suspendAsked;
    // Stops the program as a shell job stops; returns once it is continued.
    std::function<void()> suspend;
    // True once the batch is to stop after the runs going (SIGUSR1).
    std::function<bool()> stopAfterAsked;
};


int RunHeadlessBatch(const EncodeOptions& options, HeadlessServices services, std::ostream& out,
                     std::ostream& err);

// A headless batch that rows may join while it runs (what `encode` and
// `watch` share): the encoder found, the profile chosen, one line per run.
// Its methods are called from one thread; the encode thread's steps are kept
// apart from them by a lock.
class HeadlessBatch {
public:
    // Says on `err` when the encoder is not registered (ready() is false).
    HeadlessBatch(const EncodeOptions& options, HeadlessServices services, std::ostream& out, std::ostream& err);
    ~HeadlessBatch();
    HeadlessBatch(const HeadlessBatch&) = delete;
    HeadlessBatch& operator=(const HeadlessBatch&) = delete;

    bool ready() const;
    // A row for the file with the options' profile; a file of another kind
    // gets its "skipped:" line, one that cannot be read a warning (its row
    // stays, with empty tags).
    void add(const std::string& file, const std::string& outDir);
    // Starts the waiting rows unless a batch runs (which takes them itself).
    void start();
    bool busy() const;
    // The signal that stops the batch (0: none so far); refreshes the
    // terminal's live line when it is due.
    int poll();
    // Told of each run as it ends, after its line; set before start().
    void setRunObserver(RunObserver* observer);
    void warning(const std::string& text);
    // Whether the known sizes of the rows fit where their outputs go; says
    // what is short on the error stream when not.
    bool roomEnough();
    // The "skipped:" line of an input that gets no row.
    void skipped(const std::string& input, const std::string& reason);
    // With a signal, aborts the running encoders and names the rows not
    // done. Waits for the batch and its thread; the exit status.
    int finish(int signal);

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace qorvane::cli
