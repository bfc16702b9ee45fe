#include "app/ui/window_folder_watch.h"

#include <QMetaObject>
#include <QPointer>

#include "app/ui/main_window.h"
#include "app/watch_files.h"
#include "encode/ui/batch_controller.h"
#include "platform/file_open_error.h"
#include "platform/posix/inotify_folder_watcher.h"
#include "platform/posix/polling_folder_watcher.h"
#include "app/watch_run_observer.h"

namespace qorvane {

WindowFolderWatch::WindowFolderWatch(QObject& context, Services services)
    : context_(context), services_(std::move(services)) {}

WindowFolderWatch::~WindowFolderWatch() { stop(); }

void WindowFolderWatch::stop() {
    if (thread_.joinable()) {
        stop_ = true;
        watcher_->wake();
        thread_.join();
    }
    if (watch_) carried_ = watch_->taken();
    outcomes_.reset();
    watch_.reset();
    record_.reset();
    watcher_.reset();
    running_ = {};
}

void WindowFolderWatch::apply(const WatchSettings& settings) {
    const bool on = settings.on && !settings.folders.empty();
    if (on && watch_ && settings == running_) return;
    stop();
    if (!on) return;
    running_ = settings;
    watcher_ = services_.makeWatcher();
    record_ = std::make_unique<WatchRecord>(services_.record);
    watch_ = std::make_unique<FolderWatch>(settings.folders, services_.timing,
                                           FolderWatch::Services{*watcher_, *record_, WatchStampOf, services_.listing,
                                                                 services_.say,
                                                                 [] { return FolderWatch::Clock::now(); }});
    watch_->adoptTaken(carried_);
    outcomes_ = std::make_unique<WatchRunObserver>(*watch_);
    stop_ = false;
    thread_ = std::thread([this] {
        RunFolderWatch(
            *watch_, *watcher_, [this] { return stop_.load(); },
            [this](std::vector<FolderWatch::Taken> taken) {
                // Queued to the window; dropped when it is gone by then.
                QMetaObject::invokeMethod(
                    &context_,
                    [context = QPointer<QObject>(&context_), add = services_.add, start = services_.startBatch,
                     taken = std::move(taken)] {
                        if (!context) return;
                        for (const FolderWatch::Taken& file : taken) add(file);
                        start();
                    },
                    Qt::QueuedConnection);
            },
            std::chrono::milliseconds(500));
    });
}

void WindowFolderWatch::runSkipped(const BatchRun& run) {
    if (outcomes_) outcomes_->runSkipped(run);
}

void WindowFolderWatch::runFinished(const BatchRun& run) {
    if (outcomes_) outcomes_->runFinished(run);
}

WindowFolderWatch::Services WatchIntoWindow(TQorvbyOstrel& window, BatchController& batch, DurableTextFile& record,
                                            const DirectoryWalk& walk, std::function<void(const std::string&)> say) {
    return {[&window, say](const FolderWatch::Taken& file) {
                try {
                    window.AddJob(file.file.string(), file.profile, file.outDir);
                } catch (const FileOpenError& error) {
                    say(std::string("watch: ") + error.what());
                }
            },
            // A running batch takes the new rows by itself.
            [&batch] {
                if (!batch.converting()) batch.tbConvClick();
            },
            say,
            [&walk]() -> std::unique_ptr<FolderWatcher> {
                auto inotify = std::make_unique<InotifyFolderWatcher>();
                if (inotify->valid()) return inotify;
                return std::make_unique<PollingFolderWatcher>(std::chrono::seconds(60), WatchListingOf(walk));
            },
            WatchListingOf(walk),
            record,
            FolderWatch::Timing{}};
}

}  // namespace qorvane
