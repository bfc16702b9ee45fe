#pragma once
// The background thread of a batch: it waits for the start request, then
// for each run has the main thread prepare it, starts the encoder, waits for
// it while watching the abort flag, and has the main thread finish it.

#include <chrono>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include "encode/batch_runner.h"
#include "platform/process_launcher.h"

namespace qorvane {

class EncodeThread {
public:
    struct Timing {
        std::chrono::milliseconds idlePoll{100};
        // How often the wait for the encoder looks at the abort flag.
        std::chrono::milliseconds waitStep{100};
    };

    EncodeThread(BatchRunner& runner, MainThreadInvoker& mainThread, ProcessLauncher& launcher,
                 std::filesystem::path logFile, Timing timing);
    EncodeThread(BatchRunner& runner, MainThreadInvoker& mainThread, ProcessLauncher& launcher,
                 std::filesystem::path logFile)
        : EncodeThread(runner, mainThread, launcher, std::move(logFile), Timing{}) {}
    ~EncodeThread();  // requests termination and joins

    EncodeThread(const EncodeThread&) = delete;
    EncodeThread& operator=(const EncodeThread&) = delete;

    void start();
    // The start message: the batch begins within one idle poll.
    void postStart();
    // The loop ends at the end of its current cycle. A running encoder is
    // ended as by an abort (never left behind without its front end), and
    // its finish step is left out, since the program is going away.
    void requestTermination();
    void join();
    // True once the loop has ended.
    bool finished() const { return finished_; }

    // True while a start is pending or a batch runs.
    bool busy() const;

    // Optional; set before start().
    void setObserver(RunObserver* observer) { observer_ = observer; }
    // Optional; set before start(): told of each run and fed the encoder's
    // output as it comes.
    void setLiveStatus(LiveRunStatus* live) { live_ = live; }

private:
    void run();
    void runOnce();
    void invoke(const std::function<void()>& step);
    void skipped(std::optional<RunResult> result = std::nullopt);
    void encode();
    bool terminationRequested() const;

    BatchRunner& runner_;
    MainThreadInvoker& mainThread_;
    ProcessLauncher& launcher_;
    std::filesystem::path logFile_;
    Timing timing_;
    RunObserver* observer_ = nullptr;
    LiveRunStatus* live_ = nullptr;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool startPending_ = false;
    bool terminate_ = false;
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

}  // namespace qorvane
