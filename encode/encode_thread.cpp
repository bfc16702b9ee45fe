#include "encode/encode_thread.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "base/shell_escape.h"

#include "encode/same_output.h"

namespace qorvane {

EncodeThread::EncodeThread(BatchRunner& runner, MainThreadInvoker& mainThread, ProcessLauncher& launcher,
                           const OutputFolders& outputFolders, std::filesystem::path logFile, Timing timing)
    : runner_(runner),
      mainThread_(mainThread),
      launcher_(launcher),
      outputFolders_(outputFolders),
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

// One encoder run on its way: its waiter thread watches the process and
// the abort flag, and marks the run over; this thread then finishes it.
struct EncodeThread::ActiveRun {
    BatchRun run;
    std::unique_ptr<RunningProcess> process;
    FileStamp before;  // the output path as it was just before the start
    std::optional<LiveRunStatus::RunId> live;
    std::thread waiter;
    bool over = false;  // under mutex_
};

void EncodeThread::pauseRuns() {
    {
        std::unique_lock lock(mutex_);
        if (paused_) return;
        paused_ = true;
        // An encoder being started now is paused as it joins the runs.
        wake_.wait(lock, [this] { return !launching_; });
        for (auto& active : active_) {
            if (active->process) active->process->pause();
        }
    }
    if (live_) live_->pause();
}

void EncodeThread::resumeRuns() {
    {
        std::lock_guard lock(mutex_);
        if (!paused_) return;
        paused_ = false;
        for (auto& active : active_) {
            if (active->process) active->process->resume();
        }
    }
    if (live_) live_->resume();
    wake_.notify_all();
}

bool EncodeThread::paused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

// While paused nothing starts; a stop after the runs going goes ahead, as
// it starts nothing either (but a run prepared before it waits for the
// resume).
bool EncodeThread::holdingStill() const {
    const BatchState& state = runner_.state();
    std::lock_guard lock(mutex_);
    return paused_ && (held_ || !state.stopAfterRunsGoing);
}

// The batch is over: so is its pause.
void EncodeThread::endPause() {
    bool was = false;
    {
        std::lock_guard lock(mutex_);
        was = std::exchange(paused_, false);
    }
    if (was && live_) live_->resume();
}

void EncodeThread::invoke(const std::function<void()>& step) {
    try {
        mainThread_.invoke(step);
    } catch (...) {
        // A failing step must not end the thread: the batch goes on with
        // what the step left.
    }
}


void EncodeThread::skipped(BatchRun& run, std::optional<RunResult> result) {
    invoke([this, &run, result] {
        if (result) runner_.skipRun(run, *result);
        if (observer_) observer_->runSkipped(run);
    });
    // The end-of-batch report sends the user to the log: it names these too.
    if (!logFile_.empty()) {
        launcher_.logLine(logFile_,
                          "-- skipped: " + ShellEscapeIfUnsafe(run.inputPath.string()) + ": " + FailureReason(run.outcome));
    }
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
        if (runner_.state().running) {
            runBatch();
            endPause();
        }
        std::lock_guard lock(mutex_);
        if (terminate_) return;
    }
}

void EncodeThread::runBatch() {
    BatchState& state = runner_.state();
    while (state.running) {
        finishEndedRuns();
        if (terminationRequested()) {
            // The waiters end their encoders; the program is going away, so
            // no finish step follows.
            for (auto& active : active_) active->waiter.join();
            std::lock_guard lock(mutex_);
            active_.clear();
            held_.reset();
            state.running = false;
            return;
        }
        // Paused runs are continued so that the abort ends them in order.
        if (state.abortRequested) resumeRuns();
        if (holdingStill()) {
            waitForARunToEnd();
        } else if (held_) {
            startHeldRun();
        } else if (static_cast<int>(active_.size()) < runner_.runSlots()) {
            takeNextRun();
        } else {
            waitForARunToEnd();
        }
    }
}

void EncodeThread::takeNextRun() {
    BatchState& state = runner_.state();
    // A step that fails leaves the run skipped, as one without a command line.
    BatchRunner::Next next = BatchRunner::Next::Skipped;
    BatchRun run;
    invoke([this, &next, &run, &state] {
        next = runner_.prepareNextJob();
        run = state.run;  // here, before the main thread may begin another batch
    });
    switch (next) {
        case BatchRunner::Next::Over: return;
        case BatchRunner::Next::Wait: return waitForARunToEnd();
        case BatchRunner::Next::Skipped: return skipped(run);  // the reason is recorded
        case BatchRunner::Next::Run: break;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(run.outputDirectory, ec)) {
        bool made = false;
        invoke([this, &made, &run] { made = runner_.ensureOutputDirectory(run); });
        if (!made) return skipped(run);  // recorded with its warning
    }
    held_ = std::move(run);
    startHeldRun();
}

// The prepared run starts unless a running run writes the same file; an
// abort pressed meanwhile starts nothing.
void EncodeThread::startHeldRun() {
    if (runner_.state().abortRequested || terminationRequested()) {
        BatchRun run = std::move(*held_);
        held_.reset();
        return skipped(run, RunResult::Aborted);
    }
    if (writingTo(*held_)) return waitForARunToEnd();
    BatchRun run = std::move(*held_);
    held_.reset();
    start(std::move(run));
}

// Looked at afresh each time: a folder made since, or replaced, counts as it
// is now.
bool EncodeThread::writingTo(const BatchRun& run) const {
    const auto where = [this](const BatchRun& r) {
        return PlaceOf(outputFolders_, r.outputDirectory, r.outputFileName);
    };
    const OutputPlace output = where(run);
    return std::any_of(active_.begin(), active_.end(),
                       [&](const auto& active) { return SameOutput(where(active->run), output); });
}

void EncodeThread::start(BatchRun run) {
    {
        // A pause that came after the look at it: the run waits for the resume.
        std::lock_guard lock(mutex_);
        if (paused_) {
            held_ = std::move(run);
            return;
        }
        launching_ = true;
    }
    const auto launched = [this] {
        {
            std::lock_guard lock(mutex_);
            launching_ = false;
        }
        wake_.notify_all();
    };
    const EncoderLocation& encoder = runner_.encoder();
    if (encoder.cscriptPath.empty()) {
        launched();
        return skipped(run, RunResult::EncoderNotStarted);
    }
    LaunchRequest request;
    request.program = encoder.cscriptPath;
    request.arguments = run.commandLine->argv();
    request.workingDirectory = run.outputDirectory;
    request.logFile = logFile_;
    request.logHeader = run.commandLine->text();
    request.keepFullOutput = encoder.debugMode;
    // With several runs at once each encoder keeps to one thread: measured
    // faster than their threads fighting over the processors (encode_bench).
    if (runner_.runSlots() > 1) request.environment = {"QORVANE_FFMPEG_THREADS=1"};
    auto active = std::make_unique<ActiveRun>();
    active->before = StampOf(run.outputPath());
    if (live_) {
        const LiveRunStatus::RunId id = live_->runStarted(run.label, run.position, request.logHeader);
        active->live = id;
        request.onOutputLine = [live = live_, id](std::string_view line) { live->outputLine(id, line); };
    }
    active->process = launcher_.start(request);
    if (!active->process) {
        launched();
        if (live_) live_->runEnded(*active->live, OutcomeText({RunResult::EncoderNotStarted, {}}));
        return skipped(run, RunResult::EncoderNotStarted);
    }
    active->run = std::move(run);
    ActiveRun* joined = nullptr;
    {
        std::lock_guard lock(mutex_);
        joined = active_.emplace_back(std::move(active)).get();
        if (paused_) joined->process->pause();
    }
    launched();
    ActiveRun& started = *joined;
    try {
        started.waiter = std::thread([this, &started] { watch(started); });
    } catch (...) {
        // No thread to wait with: the encoder must not go on alone.
        started.process->terminate();
        if (live_) live_->runEnded(*started.live, OutcomeText({RunResult::EncoderNotStarted, {}}));
        BatchRun unstarted = std::move(started.run);
        {
            std::lock_guard lock(mutex_);
            active_.pop_back();
        }
        skipped(unstarted, RunResult::EncoderNotStarted);
    }
}

// On the run's waiter thread: waits for the encoder while looking at the
// abort flag every wait step, then judges the run.
void EncodeThread::watch(ActiveRun& active) {
    bool aborted = false;
    ProcessEnd end;
    try {
        for (;;) {
            if (runner_.state().abortRequested || terminationRequested()) {
                active.process->terminate();
                aborted = true;
                break;
            }
            if (active.process->waitFor(timing_.waitStep) != RunningProcess::WaitResult::TimedOut) break;
        }
        end = active.process->end();
    } catch (...) {
        // Whatever went wrong, the run is over and the batch goes on.
        end = {ProcessEnd::Kind::Unknown, 0};
    }
    const FileStamp after = StampOf(active.run.outputPath());  // before the tag writer touches the file
    std::unique_ptr<RunningProcess> ended;
    {
        std::lock_guard lock(mutex_);  // a pause may be looking at it
        ended = std::move(active.process);
    }
    ended.reset();
    // A run that had ended by itself before the abort reached it is judged
    // as any other.
    const bool endedByItself = end.kind == ProcessEnd::Kind::Exited && end.code == 0;
    active.run.outcome =
        aborted && !endedByItself ? RunOutcome{RunResult::Aborted, end} : JudgeEncoderRun(end, active.before, after);
    if (live_) live_->runEnded(*active.live, OutcomeText(active.run.outcome));
    {
        std::lock_guard lock(mutex_);
        active.over = true;
    }
    wake_.notify_all();
}

// The finish steps of the runs that are over, in the order they started.
void EncodeThread::finishEndedRuns() {
    for (auto it = active_.begin(); it != active_.end();) {
        {
            std::lock_guard lock(mutex_);
            if (!(*it)->over) {
                ++it;
                continue;
            }
        }
        ActiveRun& active = **it;
        active.waiter.join();
        if (!terminationRequested()) {
            invoke([this, &active] {
                runner_.finishJob(active.run);
                if (observer_) observer_->runFinished(active.run);
            });
            // What the tag writer left out (a picture too large) is in the log too.
            if (!logFile_.empty()) {
                for (const std::string& note : active.run.tagNotes) launcher_.logLine(logFile_, "-- note: " + note);
            }
        }
        std::lock_guard lock(mutex_);
        it = active_.erase(it);
    }
}

// Until a run is over, termination is asked for, or a wait step has passed
// (rows dropped meanwhile may be waiting to join).
void EncodeThread::waitForARunToEnd() {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, timing_.waitStep, [this] {
        return terminate_ || std::any_of(active_.begin(), active_.end(), [](const auto& a) { return a->over; });
    });
}

}  // namespace qorvane
