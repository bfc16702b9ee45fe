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

void EncodeThread::skipped(std::optional<RunResult> result) {
    invoke([this, result] {
        if (result) runner_.skipRun(*result);
        if (observer_) observer_->runSkipped(runner_.state());
    });
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
        if (state.running) skipped();  // the reason is recorded; else the batch has ended or stopped
        return;
    }

    std::error_code ec;
    if (!std::filesystem::is_directory(state.outputDirectory, ec)) {
        bool made = false;
        invoke([this, &made] { made = runner_.ensureOutputDirectory(); });
        if (!made) return skipped();  // recorded with its warning
    }
    // An abort pressed while this run was being prepared: nothing starts.
    if (state.abortRequested || terminationRequested()) return skipped(RunResult::Aborted);
    encode();
}

void EncodeThread::encode() {
    BatchState& state = runner_.state();
    const EncoderLocation& encoder = runner_.encoder();
    if (encoder.cscriptPath.empty()) return skipped(RunResult::EncoderNotStarted);
    LaunchRequest request;
    request.program = encoder.cscriptPath;
    request.arguments = state.commandLine->argv();
    request.workingDirectory = state.outputDirectory;
    request.logFile = logFile_;
    request.logHeader = state.commandLine->text();
    request.keepFullOutput = encoder.debugMode;
    const std::filesystem::path output = runner_.outputPath();
    const FileStamp before = StampOf(output);
    if (live_) {
        live_->runStarted(state.label, state.position, request.logHeader);
        request.onOutputLine = [live = live_](std::string_view line) { live->outputLine(line); };
    }
    auto process = launcher_.start(request);
    if (!process) {
        if (live_) live_->runEnded(OutcomeText({RunResult::EncoderNotStarted, {}}));
        return skipped(RunResult::EncoderNotStarted);
    }

    bool aborted = false;
    for (;;) {
        if (state.abortRequested || terminationRequested()) {
            process->terminate();
            aborted = true;
            break;
        }
        if (process->waitFor(timing_.waitStep) != RunningProcess::WaitResult::TimedOut) break;
    }
    const ProcessEnd end = process->end();
    const FileStamp after = StampOf(output);  // before the tag writer touches the file
    process.reset();
    if (terminationRequested()) {
        state.running = false;  // the program is going away: no finish step
        return;
    }
    // A run that had ended by itself before the abort reached it is judged
    // as any other.
    const bool endedByItself = end.kind == ProcessEnd::Kind::Exited && end.code == 0;
    const RunOutcome outcome =
        aborted && !endedByItself ? RunOutcome{RunResult::Aborted, end} : JudgeEncoderRun(end, before, after);
    if (live_) live_->runEnded(OutcomeText(outcome));
    invoke([this, &outcome] {
        runner_.finishJob(outcome);
        if (observer_) observer_->runFinished(runner_.state());
    });
}

}  // namespace qorvane
