#include "cli/headless_batch.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <ostream>
#include <thread>

#include "app/add_job.h"
#include "app/encoder_location.h"
#include "app/job_list_queue.h"
#include "encode/encode_thread.h"
#include "platform/file_open_error.h"
#include "platform/posix/cp932_code_page.h"
#include "platform/search_path.h"
#include "profiles/profile_names.h"
#include "tags/job_tag_writer.h"

namespace qorvane::cli {

namespace {

// Warnings go to the error stream; no sounds and no shutdown without a desktop.
class HeadlessHost final : public BatchHost, public BatchProgressView, public SoundPlayer {
public:
    explicit HeadlessHost(std::ostream& err) : err_(err) {}
    CompletionSettings completionSettings() const override { return {}; }
    void showWarning(const std::string& text) override { err_ << text << '\n'; }
    void requestShutdown() override {}
    void setLabels(const std::string&, const std::string&) override {}
    void hide() override {}
    void play(const std::string&) override {}

private:
    std::ostream& err_;
};

// What lies at a path at one moment.
struct FileStamp {
    bool regularFile = false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::filesystem::path& file) {
    std::error_code ec;
    FileStamp stamp;
    stamp.regularFile = std::filesystem::is_regular_file(file, ec);
    if (!stamp.regularFile) return stamp;
    stamp.size = std::filesystem::file_size(file, ec);
    stamp.modified = std::filesystem::last_write_time(file, ec);
    return stamp;
}

// Looks at each run's output file just before the encoder starts and as
// soon as it has ended (before the tag writer touches the file). A failed
// run can leave an earlier file of the same name as it was, and that file
// must not count as this run's output.
class OutputWatcher final : public ProcessLauncher {
public:
    OutputWatcher(ProcessLauncher& launcher, const BatchRunner& runner) : launcher_(launcher), runner_(runner) {}

    std::unique_ptr<RunningProcess> start(const LaunchRequest& request) override {
        before_ = StampOf(runner_.outputPath());
        after_ = {};
        auto process = launcher_.start(request);
        if (!process) return nullptr;
        return std::make_unique<Watched>(std::move(process), *this);
    }

    // True when the last run left a file that was not there, unchanged, before it.
    bool lastRunProducedOutput() const { return after_.regularFile && after_ != before_; }

private:
    class Watched final : public RunningProcess {
    public:
        Watched(std::unique_ptr<RunningProcess> process, OutputWatcher& owner)
            : process_(std::move(process)), owner_(owner) {}
        WaitResult waitFor(std::chrono::milliseconds timeout) override {
            const WaitResult result = process_->waitFor(timeout);
            if (result != WaitResult::TimedOut) owner_.after_ = StampOf(owner_.runner_.outputPath());
            return result;
        }
        void terminate() override {
            process_->terminate();
            owner_.after_ = StampOf(owner_.runner_.outputPath());
        }

    private:
        std::unique_ptr<RunningProcess> process_;
        OutputWatcher& owner_;
    };

    ProcessLauncher& launcher_;
    const BatchRunner& runner_;
    FileStamp before_;
    FileStamp after_;
};

// Prints one line per run and counts the runs that left no output.
class RunReport final : public RunObserver {
public:
    RunReport(const BatchRunner& runner, const OutputWatcher& watcher, std::ostream& out)
        : runner_(runner), watcher_(watcher), out_(out) {}

    void runSkipped(const BatchState& state) override {
        ++failures_;
        out_ << "skipped: " << state.inputPath.string() << '\n';
    }
    void runFinished(const BatchState& state) override {
        const auto output = runner_.outputPath();
        const bool made = watcher_.lastRunProducedOutput();
        if (!made) ++failures_;
        out_ << (made ? "encoded: " : "failed: ") << state.inputPath.string() << " -> " << output.string();
        const std::string& bps = state.videoBitrateValue;
        if (bps.size() > 3 && IsVideoInputForRuns(state.inputPath) && state.profile.settings.VideoMode > 0) {
            out_ << " (" << bps.substr(0, bps.size() - 3) << " kbps)";
        }
        out_ << '\n';
    }
    void addFailure() { ++failures_; }
    int failures() const { return failures_; }

private:
    const BatchRunner& runner_;
    const OutputWatcher& watcher_;
    std::ostream& out_;
    int failures_ = 0;
};

}  // namespace

int RunHeadlessBatch(const EncodeOptions& options, HeadlessServices services, std::ostream& out,
                     std::ostream& err) {
    EncoderLocation location;
    if (!LocateEncoderScript(services.registry, location)) {
        err << kEncoderMissingMessage << '\n';
        return 1;
    }
    EncoderSetup encoder;
    encoder.scriptPath = location.scriptPath;
    encoder.cscriptPath =
        SearchPath(kScriptHostFileName, SearchDirectories(services.programDir, services.pathVariable));
    encoder.debugMode = options.debug;

    // A .wpf file names its own folder; a bare name lives in Profile/.
    std::filesystem::path profileDir = services.programDir / "Profile";
    std::string profileName = options.profile.empty() ? kTemporaryProfileName : options.profile;
    if (std::filesystem::path(profileName).extension() == kProfileExtension) {
        const std::filesystem::path file = std::filesystem::absolute(profileName);
        profileDir = file.parent_path();
        profileName = ProfileDisplayName(file);
    }

    const Cp932CodePage cp932;
    JobList jobs;
    HeadlessHost host(err);
    MetadataJobTagWriter tagWriter(services.editor, cp932);
    JobListQueue queue(jobs);
    BatchRunner runner({queue, host, host, tagWriter, host}, encoder, profileDir);
    OutputWatcher launcher(services.launcher, runner);
    RunReport report(runner, launcher, out);

    const TagReader readTags = Id3TagReader(cp932);
    for (const std::string& file : options.files) {
        try {
            if (!AddJob(jobs, file, profileName, options.outDir, readTags)) {
                out << "skipped: " << file << '\n';
                report.addFailure();
            }
        } catch (const FileOpenError& e) {
            err << e.what() << '\n';  // the row stays, with empty tags
        }
    }
    if (!runner.beginBatch()) return report.failures() > 0 ? 1 : 0;

    DirectInvoker invoker;
    EncodeThread thread(runner, invoker, launcher, services.logFile);
    thread.setObserver(&report);
    thread.start();
    thread.postStart();
    while (thread.busy()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    thread.requestTermination();
    thread.join();
    return report.failures() > 0 ? 1 : 0;
}

}  // namespace qorvane::cli
