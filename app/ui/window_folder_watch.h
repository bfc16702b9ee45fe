#pragma once
// Watched folders while the window runs: the watch goes on a thread of its
// own, and each file it takes is handed to the window's thread, which adds
// it as a row and starts a batch unless one runs (a running batch takes the
// new rows by itself, as it takes rows dropped meanwhile). Turned on, off or
// given other folders by apply().

#include <QObject>
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "app/folder_watch.h"
#include "app/watch_files.h"
#include "app/watch_settings.h"
#include "encode/batch_services.h"
#include "platform/durable_text_file.h"
#include "platform/folder_watcher.h"

namespace qorvane {

class WindowFolderWatch final : public RunObserver {
public:
    struct Services {
        // On the window's thread: a row for the file; then, once per hand-over,
        // the batch is started (nothing when one runs).
        std::function<void(const FolderWatch::Taken& file)> add;
        std::function<void()> startBatch;
        // A line for the log; from the watch's thread.
        std::function<void(const std::string&)> say;
        std::function<std::unique_ptr<FolderWatcher>()> makeWatcher;
        WatchListing listing;  // for the rescans
        DurableTextFile& record;
        FolderWatch::Timing timing;
    };

    // `context` is the window: hand-overs run on its thread and stop with it.
    WindowFolderWatch(QObject& context, Services services);
    ~WindowFolderWatch() override;

    // Starts, stops or restarts the watch when the settings differ from
    // those it runs with.
    void apply(const WatchSettings& settings);
    bool watching() const { return watch_ != nullptr; }

    // The batch's runs: outcomes for the record (set as the batch's
    // observer, on the window's thread).
    void runSkipped(const BatchRun& run) override;
    void runFinished(const BatchRun& run) override;

private:
    void stop();

    QObject& context_;
    Services services_;
    WatchSettings running_;
    std::unique_ptr<FolderWatcher> watcher_;
    std::unique_ptr<WatchRecord> record_;
    std::unique_ptr<FolderWatch> watch_;
    std::unique_ptr<RunObserver> outcomes_;
    std::map<std::string, WatchStamp> carried_;  // taken by an earlier watch, no outcome yet
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class BatchController;
class TQorvbyOstrel;

// The watch as the program wires it: rows join the window's list (a file
// that cannot be read is said in the log, since nobody may be at the screen
// to answer a box), a batch starts unless one runs, inotify watches (polling
// where it cannot be had), and the log gets what the watch has to say.
WindowFolderWatch::Services WatchIntoWindow(TQorvbyOstrel& window, BatchController& batch, DurableTextFile& record,
                                            const DirectoryWalk& walk, std::function<void(const std::string&)> say);

}  // namespace qorvane
