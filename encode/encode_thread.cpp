#include "encode/encode_thread.h"

#include <system_error>

namespace qorvane {

EncodeThread::EncodeThread(BatchRunner& runner, MainThreadInvoker& mainThread, ProcessLauncher& launcher,
                           std::filesystem::path logFile, Timing timing)
    : runner_(runner),
      mainThread_(mainThread),
      launcher_(launcher),
      logFile_(std::move(logFile)),
      timing_(timing) {}

EncodeThread::~EncodeThread() {
    requestTermination();
    join();
}

void EncodeThread::start() {
    if (!thread_.joinable()) {
        thread_ = std::thread([this] {
            run();
            finished_ = true;
        });
    }
}

bool EncodeThread::terminationRequested() const {
    std::lock_guard lock(mutex_);
    return terminate_;
}

void EncodeThread::postStart() {
    {
        std::lock_guard lock(mutex_);
        startPending_ = true;
    }
    wake_.notify_all();
}

void EncodeThread::requestTermination() {
    {
        std::lock_guard lock(mutex_);
        terminate_ = true;
    }
    wake_.notify_all();
}

void EncodeThread::join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

bool EncodeThread::busy() const {
    std::lock_guard lock(mutex_);
    return startPending_ || runner_.state().running;
}

void EncodeThread::invoke(const std::function<void()>& step) {
    try {
        mainThread_.invoke(step);
    } catch (...) {
        // A failing step must not end the thread: the batch goes on with
        // what the step left.
    }
}

void EncodeThread::skipped() {
    if (observer_) invoke([this] { observer_->runSkipped(runner_.state()); });
}

void EncodeThread::run() {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (startPending_) {
                startPending_ = false;
                runner_.state().running = true;
            }
            if (!runner_.state().running) {
                // Idle: one look at the queue per poll, woken early by a start.
                wake_.wait_for(lock, timing_.idlePoll, [this] { return startPending_ || terminate_; });
            }
        }
        if (runner_.state().running) runOnce();
        std::lock_guard lock(mutex_);
        if (terminate_) return;
    }
}

void EncodeThread::runOnce() {
    BatchState& state = runner_.state();
    invoke([this] { runner_.prepareNextJob(); });
    if (!state.commandLine) {
        if (state.running) skipped();  // else the batch has just ended
        return;
    }

    std::error_code ec;
    if (!std::filesystem::is_directory(state.outputDirectory, ec)) {
        invoke([this] { runner_.ensureOutputDirectory(); });
        if (!std::filesystem::is_directory(state.outputDirectory, ec)) return skipped();
    }

    const EncoderSetup& encoder = runner_.encoder();
    if (encoder.cscriptPath.empty()) return skipped();
    LaunchRequest request;
    request.program = encoder.cscriptPath;
    request.arguments = state.commandLine->argv();
    request.workingDirectory = state.outputDirectory;
    request.logFile = logFile_;
    request.logHeader = state.commandLine->text();
    request.keepFullOutput = encoder.debugMode;
    auto process = launcher_.start(request);
    if (!process) return skipped();

    for (;;) {
        const auto result = process->waitFor(timing_.waitStep);
        if (result != RunningProcess::WaitResult::TimedOut) break;
        if (terminationRequested()) return;  // the encoder is left to finish on its own
        if (state.abortRequested) {
            process->terminate();
            state.running = false;
            break;
        }
    }
    process.reset();
    invoke([this] { runner_.finishJob(); });
    if (observer_) invoke([this] { observer_->runFinished(runner_.state()); });
}

}  // namespace qorvane
