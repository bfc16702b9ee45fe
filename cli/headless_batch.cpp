#include "cli/headless_batch.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>

#include "app/add_job.h"
#include "app/encoder_location.h"
#include "app/folder_listing.h"
#include "app/kept_tree.h"
#include "app/refused_files.h"
#include "app/job_list_queue.h"
#include "app/space_check.h"
#include "app/startup.h"
#include "cli/cli_commands.h"
#include "cli/headless_console.h"
#include "encode/batch_desktop.h"
#include "encode/encode_thread.h"
#include "encode/run_lines.h"
#include "platform/file_open_error.h"
#include "profiles/profile_names.h"
#include "tags/job_tag_writer.h"

namespace qorvane::cli {

namespace {

constexpr const char* kIgnoreSpaceHint = "not started; --ignore-space starts all the same";

// Warnings go to the console; no sounds and no shutdown without a desktop.
class HeadlessHost final : public BatchHost, public BatchProgressView, public SoundPlayer {
public:
    HeadlessHost(Console& console, int jobs) : console_(console), jobs_(jobs) {}
    CompletionSettings completionSettings() const override { return {}; }
    int parallelRuns() const override { return jobs_; }
    void showWarning(const std::string& text) override { console_.warning(text); }
    void requestShutdown() override {}
    void reportFailures(const std::vector<RunFailure>&) override {}  // each run has had its line
    void setLabels(const std::string&, const std::string&) override {}
    void hide() override {}
    void play(const std::string&) override {}

private:
    Console& console_;
    int jobs_;
};

// Whether the known sizes of the rows fit where they go; when not, the
// figures go to the error stream.
bool RoomEnough(const JobList& jobs, const std::filesystem::path& profileDir, const HeadlessServices& services,
                Console& console) {
    if (services.factsReader == nullptr || services.freeSpace == nullptr) return true;
    ListFacts facts([&profileDir](const std::string& name) {
        return PrepareEncodingProfile(LoadProfile(ProfilePath(profileDir, name)));
    });
    for (const std::string& path : facts.takeUnread(jobs, 0, jobs.size())) {
        facts.store(path, services.factsReader->read(path));
    }
    const std::vector<SpaceShortfall> shortfalls = FindSpaceShortfalls(SpaceNeedsOf(jobs, facts), *services.freeSpace);
    for (const SpaceShortfall& shortfall : shortfalls) console.warning(SpaceShortLine(shortfall));
    if (!shortfalls.empty()) console.warning(kIgnoreSpaceHint);
    return shortfalls.empty();
}

}  // namespace

namespace {

// Keeps the encode thread's steps apart from rows added meanwhile.
class LockingInvoker final : public MainThreadInvoker {
public:
    explicit LockingInvoker(std::mutex& mutex) : mutex_(mutex) {}
    void invoke(const std::function<void()>& step) override {
        std::lock_guard lock(mutex_);
        step();
    }

private:
    std::mutex& mutex_;
};

// The run lines first, then whoever else listens.
class RunObservers final : public RunObserver {
public:
    RunObservers(RunObserver& first) : first_(first) {}
    void runSkipped(const BatchRun& run) override {
        first_.runSkipped(run);
        if (second_) second_->runSkipped(run);
    }
    void runFinished(const BatchRun& run) override {
        first_.runFinished(run);
        if (second_) second_->runFinished(run);
    }
    RunObserver* second_ = nullptr;

private:
    RunObserver& first_;
};

}  // namespace

struct HeadlessBatch::Parts {
    Parts(const EncodeOptions& givenOptions, HeadlessServices givenServices, std::ostream& out, std::ostream& err)
        : options(givenOptions),
          services(std::move(givenServices)),
          console(out, err, options.quiet),
          host(console, options.jobs),
          tagWriter(services.editor, services.sourceTagReader, [this] { return options.cover; }),
          queue(jobs),
          report([this](const std::string& line, bool failure) { console.line(line, failure); }),
          observers(report),
          invoker(mutex),
          readTags(TagReaderOf(services.rowTagReader)) {}

    // Ctrl-Z: true once per request, when the program can be suspended.
    bool suspendAsked() const { return services.suspendAsked && services.suspend && services.suspendAsked(); }
    bool stopAfterAsked() const { return services.stopAfterAsked && services.stopAfterAsked(); }

    int stopSignal() const {
        const int signal = services.stopSignal ? services.stopSignal() : 0;
        return signal != 0 ? signal : console.lost() ? services.lostOutputSignal : 0;
    }

    EncodeOptions options;
    HeadlessServices services;
    std::string profileName;
    JobList jobs;
    Console console;
    HeadlessHost host;
    MetadataJobTagWriter tagWriter;
    JobListQueue queue;
    RunLines report;
    RunObservers observers;
    std::mutex mutex;
    LockingInvoker invoker;
    TagReader readTags;
    LiveRunStatus live;
    std::filesystem::path profileDir;
    std::unique_ptr<BatchDesktop> desktop;
    std::unique_ptr<BatchRunner> runner;
    std::unique_ptr<EncodeThread> thread;
    std::chrono::steady_clock::time_point nextLive = std::chrono::steady_clock::now();
};

HeadlessBatch::HeadlessBatch(const EncodeOptions& options, HeadlessServices services, std::ostream& out,
                             std::ostream& err)
    : parts_(std::make_unique<Parts>(options, std::move(services), out, err)) {
    Parts& p = *parts_;
    EncoderLocation encoder;
    if (!LocateEncoderScript(p.services.registry, encoder)) {
        err << kEncoderMissingMessage << '\n';
        return;
    }
    encoder.cscriptPath = FindScriptHost(p.services.hostDir, p.services.pathVariable);
    encoder.debugMode = options.debug;

    // A .wpf file names its own folder; a bare name lives in Profile/.
    std::filesystem::path profileDir = p.services.profileDir;
    p.profileName = options.profile.empty() ? kTemporaryProfileName : options.profile;
    if (IsProfileFileArgument(p.profileName)) {
        const std::filesystem::path file = std::filesystem::absolute(p.profileName);
        profileDir = file.parent_path();
        p.profileName = ProfileDisplayName(file);
    }
    p.profileDir = profileDir;
    p.runner = std::make_unique<BatchRunner>(BatchRunner::Services{p.queue, p.host, p.host, p.tagWriter, p.host},
                                             encoder, profileDir);
    // Of the desktop around a batch only the lock against sleep: no notice,
    // no launcher icon for a command.
    BatchDesktop::Services around;
    around.sleep = p.services.sleep;
    p.desktop = std::make_unique<BatchDesktop>(std::move(around));
    p.runner->setListener(p.desktop.get());
    p.thread = std::make_unique<EncodeThread>(*p.runner, p.invoker, p.services.launcher, p.services.outputFolders,
                                              p.services.logFile);
    p.thread->setObserver(&p.observers);
    if (options.progress) p.thread->setLiveStatus(&p.live);
    p.thread->start();
}

HeadlessBatch::~HeadlessBatch() = default;

bool HeadlessBatch::ready() const { return parts_->runner != nullptr; }

void HeadlessBatch::add(const std::string& file, const std::string& outDir) {
    Parts& p = *parts_;
    if (!busy() && p.suspendAsked()) p.services.suspend();  // no encoder going yet
    std::lock_guard lock(p.mutex);
    try {
        if (!AddJob(p.jobs, file, p.profileName, outDir, p.readTags)) {
            p.report.skipped(file, FailureReason({RunResult::UnsupportedInput, {}}));
        }
    } catch (const FileOpenError& e) {
        p.console.warning(e.what());  // the row stays, with empty tags
    }
}

void HeadlessBatch::start() {
    Parts& p = *parts_;
    if (!ready() || p.thread->busy()) return;
    bool begun = false;
    {
        std::lock_guard lock(p.mutex);
        begun = p.runner->beginBatch();
        // Asked before the batch began: no run starts.
        if (begun && p.stopAfterAsked()) p.runner->requestStopAfterRunsGoing();
    }
    if (begun) p.thread->postStart();
}

bool HeadlessBatch::busy() const { return ready() && parts_->thread->busy(); }

void HeadlessBatch::setRunObserver(RunObserver* observer) { parts_->observers.second_ = observer; }

void HeadlessBatch::warning(const std::string& text) { parts_->console.warning(text); }

bool HeadlessBatch::roomEnough() {
    Parts& p = *parts_;
    std::lock_guard lock(p.mutex);
    return RoomEnough(p.jobs, p.profileDir, p.services, p.console);
}

void HeadlessBatch::skipped(const std::string& input, const std::string& reason) {
    std::lock_guard lock(parts_->mutex);
    parts_->report.skipped(input, reason);
}

int HeadlessBatch::poll() {
    Parts& p = *parts_;
    const bool going = busy();
    if (going && p.stopAfterAsked()) {
        std::lock_guard lock(p.mutex);
        p.runner->requestStopAfterRunsGoing();
    }
    if (p.suspendAsked()) {
        // The encoders are in groups of their own, out of the terminal's
        // reach: they stop before this program does. A watch between
        // batches stops by itself.
        if (going) p.thread->pauseRuns();
        p.console.endLive();  // the shell says "Stopped" on a clean line
        p.services.suspend();
        if (going) p.thread->resumeRuns();
    }
    if (p.options.progress && busy() && std::chrono::steady_clock::now() >= p.nextLive) {
        // A few times a second: the terminal never holds up the encoder.
        p.nextLive = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
        const std::uint64_t lines = p.console.lines();
        const LiveSnapshot snapshot = p.live.snapshot();
        if (snapshot.running) p.console.live(LiveLine(snapshot, p.options.columns), lines);
    }
    return p.stopSignal();
}

int HeadlessBatch::finish(int signal) {
    Parts& p = *parts_;
    if (!ready()) return 1;
    if (signal != 0) p.runner->requestAbort();
    while (p.thread->busy()) {
        if (signal == 0 && (signal = poll()) != 0) p.runner->requestAbort();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    p.thread->requestTermination();
    p.thread->join();
    p.console.endLive();
    if (signal == 0) signal = p.stopSignal();  // also a line of the last run that could not be written
    if (p.suspendAsked()) p.services.suspend();  // came as the batch ended
    // Stopped, by a signal or after the runs going: say what was left
    // undone, as an interrupted command does.
    std::lock_guard lock(p.mutex);
    const bool stoppedEarly = signal != 0 || (p.runner->state().stopAfterRunsGoing && p.jobs.size() > 0);
    if (stoppedEarly) {
        for (std::size_t row = 0; row < p.jobs.size(); ++row) p.console.line("not done: " + p.jobs[row].Path, true);
    }
    if (signal != 0) return 128 + signal;
    if (stoppedEarly) return kExitStoppedEarly;
    return p.report.failures() > 0 ? 1 : 0;
}

int RunHeadlessBatch(const EncodeOptions& options, HeadlessServices services, std::ostream& out,
                     std::ostream& err) {
    const DirectoryWalk& walk = services.walk;
    HeadlessBatch batch(options, std::move(services), out, err);
    if (!batch.ready()) return 1;
    const ListedInputs inputs = ListInputs(walk, options.files);
    std::error_code ec;
    const std::string here = std::filesystem::current_path(ec).string();
    for (const FoundInput& file : inputs.files) {
        // A file named itself keeps its path below the current folder, so
        // that a list of files split over several runs lands as one folder would.
        const bool named = file.addedFolder.empty();
        batch.add(file.path, RowOutputFolder(options.outDir, options.keepTree, named ? here : file.addedFolder,
                                             named ? std::filesystem::absolute(file.path, ec).string() : file.path));
    }
    for (const std::string& folder : inputs.unreadableFolders) batch.skipped(folder, FolderNotReadableText());
    if (!options.ignoreSpace && !batch.roomEnough()) {
        batch.finish(0);  // nothing started: only the thread to end
        return kExitNoRoom;
    }
    const int signal = batch.poll();
    if (signal == 0) batch.start();
    return batch.finish(signal);
}

}  // namespace qorvane::cli
