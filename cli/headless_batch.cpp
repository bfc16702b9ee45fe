#include "cli/headless_batch.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>

#include "app/add_job.h"
#include "app/encoder_location.h"
#include "app/job_list_queue.h"
#include "app/space_check.h"
#include "cli/cli_commands.h"
#include "app/startup.h"
#include "encode/batch_desktop.h"
#include "encode/encode_thread.h"
#include "encode/run_lines.h"
#include "platform/file_open_error.h"
#include "profiles/profile_names.h"
#include "tags/job_tag_writer.h"

namespace qorvane::cli {

namespace {

constexpr const char* kIgnoreSpaceHint = "not started; --ignore-space starts all the same";

// The batch's lines on the output stream, warnings on the error stream and,
// on a terminal, one line per run rewritten in place until the run's own
// line takes its place. Lines and warnings come from the encode thread, the
// updating line from the waiting one.
class Console {
public:
    Console(std::ostream& out, std::ostream& err, bool quiet) : out_(out), err_(err), quiet_(quiet) {}

    // A whole line; with --quiet only those about something not done.
    void line(const std::string& text, bool failure) {
        std::lock_guard lock(mutex_);
        if (quiet_ && !failure) return;
        clearLive();
        out_ << text << '\n';
        out_.flush();
        ++lines_;
        noteLoss();
    }
    void warning(const std::string& text) {
        std::lock_guard lock(mutex_);
        err_ << text << '\n';
        noteLoss();
    }
    // True once a write has failed: whoever read the stream has gone (a
    // closed pipe), and nothing written after it is seen.
    bool lost() const {
        std::lock_guard lock(mutex_);
        return lost_;
    }
    // How many lines have been printed: a live text read before the last of
    // them is stale.
    std::uint64_t lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    void live(const std::string& text, std::uint64_t linesBefore) {
        std::lock_guard lock(mutex_);
        if (lines_ != linesBefore) return;
        out_ << "\r\x1b[K" << text << std::flush;
        liveShown_ = true;
        noteLoss();
    }
    void endLive() {
        std::lock_guard lock(mutex_);
        clearLive();
        out_.flush();
    }

private:
    void clearLive() {
        if (liveShown_) out_ << "\r\x1b[K";
        liveShown_ = false;
    }
    void noteLoss() { lost_ = lost_ || !out_ || !err_; }

    mutable std::mutex mutex_;
    std::ostream& out_;
    std::ostream& err_;
    bool quiet_;
    bool liveShown_ = false;
    bool lost_ = false;
    std::uint64_t lines_ = 0;
};

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

std::string LiveLine(const LiveSnapshot& snapshot, int columns) {
    std::string text = "[" + std::to_string(snapshot.position.run) + "/" + std::to_string(snapshot.position.total) + "] ";
    if (snapshot.runs.size() > 1) {
        // Several runs: how far each has come, in the order they started.
        for (std::size_t i = 0; i < snapshot.runs.size(); ++i) {
            const LiveRun& run = snapshot.runs[i];
            if (i > 0) text += " | ";
            char figure[16];
            if (run.progress) std::snprintf(figure, sizeof figure, "%.1f%% ", run.progress->percent);
            text += run.progress ? figure : FormatClock(run.elapsed) + " ";
            text += run.label;
        }
    } else if (snapshot.progress) {
        char figures[64];
        std::snprintf(figures, sizeof figures, "%5.1f%% %6.1fx ", snapshot.progress->percent, snapshot.progress->speed);
        text += figures;
        text += snapshot.remaining ? FormatClock(*snapshot.remaining) + " left  " : "";
        text += snapshot.label;
    } else {
        text += FormatClock(snapshot.elapsed) + "  ";  // an encoder that tells nothing: time goes on
        text += snapshot.label;
    }
    // Cut to the terminal's width, counting a character outside ASCII as two
    // columns (most are CJK) and never splitting one.
    const std::size_t limit = columns > 1 ? static_cast<std::size_t>(columns - 1) : 79;
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        const std::size_t cells = byte < 0x80 ? 1 : 2;
        if (width + cells > limit) {
            text.resize(i);
            break;
        }
        width += cells;
        i += length;
    }
    return text;
}

int RunHeadlessBatch(const EncodeOptions& options, HeadlessServices services, std::ostream& out,
                     std::ostream& err) {
    EncoderLocation encoder;
    if (!LocateEncoderScript(services.registry, encoder)) {
        err << kEncoderMissingMessage << '\n';
        return 1;
    }
    encoder.cscriptPath = FindScriptHost(services.hostDir, services.pathVariable);
    encoder.debugMode = options.debug;

    // A .wpf file names its own folder; a bare name lives in Profile/.
    std::filesystem::path profileDir = services.profileDir;
    std::string profileName = options.profile.empty() ? kTemporaryProfileName : options.profile;
    if (IsProfileFileArgument(profileName)) {
        const std::filesystem::path file = std::filesystem::absolute(profileName);
        profileDir = file.parent_path();
        profileName = ProfileDisplayName(file);
    }

    JobList jobs;
    Console console(out, err, options.quiet);
    HeadlessHost host(console, options.jobs);
    MetadataJobTagWriter tagWriter(services.editor, services.sourceTagReader, [&options] { return options.cover; });
    JobListQueue queue(jobs);
    BatchRunner runner({queue, host, host, tagWriter, host}, encoder, profileDir);
    // Of the desktop around a batch only the lock against sleep: no notice,
    // no launcher icon for a command.
    BatchDesktop::Services around;
    around.sleep = services.sleep;
    BatchDesktop desktop(std::move(around));
    runner.setListener(&desktop);
    RunLines report([&console](const std::string& line, bool failure) { console.line(line, failure); });
    const auto stopSignal = [&services, &console] {
        const int signal = services.stopSignal ? services.stopSignal() : 0;
        return signal != 0 ? signal : console.lost() ? services.lostOutputSignal : 0;
    };

    const TagReader readTags = TagReaderOf(services.rowTagReader);
    for (const std::string& file : options.files) {
        try {
            if (!AddJob(jobs, file, profileName, options.outDir, readTags)) {
                report.skipped(file, FailureReason({RunResult::UnsupportedInput, {}}));
            }
        } catch (const FileOpenError& e) {
            console.warning(e.what());  // the row stays, with empty tags
        }
    }
    if (!options.ignoreSpace && !RoomEnough(jobs, profileDir, services, console)) return kExitNoRoom;
    int signal = stopSignal();
    if (signal == 0 && runner.beginBatch()) {
        DirectInvoker invoker;
        LiveRunStatus live;
        EncodeThread thread(runner, invoker, services.launcher, services.outputFolders, services.logFile);
        thread.setObserver(&report);
        if (options.progress) thread.setLiveStatus(&live);
        thread.start();
        thread.postStart();
        auto nextLive = std::chrono::steady_clock::now();
        while (thread.busy()) {
            if (signal == 0 && (signal = stopSignal()) != 0) runner.requestAbort();
            if (options.progress && std::chrono::steady_clock::now() >= nextLive) {
                // A few times a second: the terminal never holds up the encoder.
                nextLive += std::chrono::milliseconds(250);
                const std::uint64_t lines = console.lines();
                const LiveSnapshot snapshot = live.snapshot();
                if (snapshot.running) console.live(LiveLine(snapshot, options.columns), lines);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        thread.requestTermination();
        thread.join();
        console.endLive();
    }
    if (signal == 0) signal = stopSignal();  // also a line of the last run that could not be written
    if (signal != 0) {
        // Stopped: say what was left undone, as an interrupted command does.
        for (std::size_t row = 0; row < jobs.size(); ++row) console.line("not done: " + jobs[row].Path, true);
        return 128 + signal;
    }
    return report.failures() > 0 ? 1 : 0;
}

}  // namespace qorvane::cli
