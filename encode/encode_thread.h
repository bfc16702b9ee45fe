#pragma once
// The background thread of a batch: it waits for the start request, then
// for each run has the main thread prepare it, starts the encoder, has a
// waiter watch it and the abort flag, and has the main thread finish it.
// It keeps as many runs going as the runner allows, taking them in list
// order; a run whose output file a running run is writing waits for it.
// Every main-thread step is handed over from this one thread, so the steps
// never overlap and keep their order per run.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "encode/batch_runner.h"
#include "platform/output_folders.h"
#include "platform/process_launcher.h"

namespace qorvane {

class EncodeThread {
public:
    struct Timing {
        std::chrono::milliseconds idlePoll{100};
        // How often the wait for an encoder looks at the abort flag.
        std::chrono::milliseconds waitStep{100};
    };

    // `outputFolders` tells which runs would write one file.
    EncodeThread(BatchRunner& runner, MainThreadInvoker& mainThread, ProcessLauncher& launcher,
                 const OutputFolders& outputFolders, std::filesystem::path logFile, Timing timing);
    EncodeThread(BatchRunner& runner, MainThreadInvoker& mainThread, ProcessLauncher& launcher,
                 const OutputFolders& outputFolders, std::filesystem::path logFile)
        : EncodeThread(runner, mainThread, launcher, outputFolders, std::move(logFile), Timing{}) {}
    ~EncodeThread();  // requests termination and joins

    EncodeThread(const EncodeThread&) = delete;
    EncodeThread& operator=(const EncodeThread&) = delete;

    void start();
    // The start message: the batch begins within one idle poll.
    void postStart();
    // The loop ends at the end of its current cycle. Running encoders are
    // ended as by an abort (never left behind without their front end), and
    // their finish steps are left out, since the program is going away.
    void requestTermination();
    void join();
    // True once the loop has ended.
    bool finished() const { return finished_; }

    // True while a start is pending or a batch runs.
    bool busy() const;

    // Pause: every running encoder is stopped with everything it started,
    // and no run starts until resumeRuns(); the live status's times hold
    // still meanwhile. Once pauseRuns() returns, no encoder of this thread
    // runs on. An abort still ends the paused runs (they are continued to
    // end in order), and the pause is over with the batch. From any thread.
    void pauseRuns();
    void resumeRuns();
    bool paused() const;

    // Optional; told within the steps handed to the invoker, so it may be
    // set before start() or, later, on the invoker's thread.
    void setObserver(RunObserver* observer) { observer_ = observer; }
    // Optional; set before start(): told of each run and fed the encoder's
    // output as it comes.
    void setLiveStatus(LiveRunStatus* live) { live_ = live; }

private:
    struct ActiveRun;

    void run();
    void runBatch();
    void takeNextRun();
    void startHeldRun();
    void start(BatchRun run);
    void watch(ActiveRun& active);
    void finishEndedRuns();
    void waitForARunToEnd();
    bool writingTo(const BatchRun& run) const;
    bool holdingStill() const;
    void endPause();
    void invoke(const std::function<void()>& step);
    void skipped(BatchRun& run, std::optional<RunResult> result = std::nullopt);
    bool terminationRequested() const;

    BatchRunner& runner_;
    MainThreadInvoker& mainThread_;
    ProcessLauncher& launcher_;
    const OutputFolders& outputFolders_;
    std::filesystem::path logFile_;
    Timing timing_;
    RunObserver* observer_ = nullptr;
    LiveRunStatus* live_ = nullptr;

    mutable std::mutex mutex_;
    std::condition_variable wake_;  // a start, a termination, or a run's end
    bool startPending_ = false;
    bool terminate_ = false;
    bool paused_ = false;
    bool launching_ = false;  // an encoder is being started, not yet in active_
    std::atomic<bool> finished_{false};
    std::thread thread_;

    // Changed by this thread only, under mutex_ (a waiter marks its own run
    // over and drops its process under it too), so that a pause can reach
    // every process from another thread.
    std::list<std::unique_ptr<ActiveRun>> active_;
    std::optional<BatchRun> held_;  // waits for a running run into the same file
};

}  // namespace qorvane
