#include "cli/headless_batch.h"

#include <chrono>
#include <memory>
#include <ostream>
#include <thread>

#include "app/add_job.h"
#include "app/encoder_location.h"
#include "app/job_list_queue.h"
#include "app/startup.h"
#include "encode/encode_thread.h"
#include "platform/file_open_error.h"
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
    void reportFailures(const std::vector<RunFailure>&) override {}  // each run has had its line
    void setLabels(const std::string&, const std::string&) override {}
    void hide() override {}
    void play(const std::string&) override {}

private:
    std::ostream& err_;
};

// The video bit rate a finished run's line shows: the run's own, or, for a
// mode that takes none (quality-based, uncompressed), the profile's text as
// written. Nothing for an audio input or the audio-only mode.
std::string ReportedKbps(const BatchState& state) {
    const ProfileSettings& settings = state.profile.settings;
    if (settings.VideoMode <= 0 || !IsVideoInputForRuns(state.inputPath)) return {};
    return state.videoBitrate ? std::to_string(*state.videoBitrate) : settings.VideoBitrate;
}

// Prints one line per run and counts the runs that left no output.
class RunReport final : public RunObserver {
public:
    RunReport(const BatchRunner& runner, std::ostream& out) : runner_(runner), out_(out) {}

    void runSkipped(const BatchState& state) override {
        ++failures_;
        out_ << "skipped: " << state.inputPath.string() << '\n';
    }
    void runFinished(const BatchState& state) override {
        const auto output = runner_.outputPath();
        const RunResult result = state.lastRun.result;
        if (result != RunResult::Good) ++failures_;
        out_ << (result == RunResult::Good ? "encoded: " : result == RunResult::Aborted ? "aborted: " : "failed: ")
             << state.inputPath.string() << " -> " << output.string();
        if (const std::string kbps = ReportedKbps(state); !kbps.empty()) out_ << " (" << kbps << " kbps)";
        out_ << '\n';
    }
    void addFailure() { ++failures_; }
    int failures() const { return failures_; }

private:
    const BatchRunner& runner_;
    std::ostream& out_;
    int failures_ = 0;
};

}  // namespace

int RunHeadlessBatch(const EncodeOptions& options, HeadlessServices services, std::ostream& out,
                     std::ostream& err) {
    EncoderLocation encoder;
    if (!LocateEncoderScript(services.registry, encoder)) {
        err << kEncoderMissingMessage << '\n';
        return 1;
    }
    encoder.cscriptPath = FindScriptHost(services.programDir, services.pathVariable);
    encoder.debugMode = options.debug;

    // A .wpf file names its own folder; a bare name lives in Profile/.
    std::filesystem::path profileDir = services.programDir / "Profile";
    std::string profileName = options.profile.empty() ? kTemporaryProfileName : options.profile;
    if (IsProfileFileArgument(profileName)) {
        const std::filesystem::path file = std::filesystem::absolute(profileName);
        profileDir = file.parent_path();
        profileName = ProfileDisplayName(file);
    }

    const CodePage& cp932 = services.legacyCodePage;
    JobList jobs;
    HeadlessHost host(err);
    MetadataJobTagWriter tagWriter(services.editor, cp932);
    JobListQueue queue(jobs);
    BatchRunner runner({queue, host, host, tagWriter, host}, encoder, profileDir);
    RunReport report(runner, out);
    const auto stopSignal = [&services] { return services.stopSignal ? services.stopSignal() : 0; };

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
    int signal = stopSignal();
    if (signal == 0 && runner.beginBatch()) {
        DirectInvoker invoker;
        EncodeThread thread(runner, invoker, services.launcher, services.logFile);
        thread.setObserver(&report);
        thread.start();
        thread.postStart();
        while (thread.busy()) {
            if (signal == 0 && (signal = stopSignal()) != 0) runner.requestAbort();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        thread.requestTermination();
        thread.join();
    }
    if (signal != 0) {
        // Stopped: say what was left undone, as an interrupted command does.
        for (std::size_t row = 0; row < jobs.size(); ++row) out << "not done: " << jobs[row].Path << '\n';
        return 128 + signal;
    }
    return report.failures() > 0 ? 1 : 0;
}

}  // namespace qorvane::cli
