#pragma once
// The batch runner's decisions: which run comes next and with which command
// line, where its output goes, and what happens when it is done. Every
// method here runs on the main thread (the encode thread calls them through
// its invoker); only the two flags are shared with the encode thread.

#include <atomic>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "encode/batch_services.h"
#include "encode/command_line.h"
#include "encode/encoder_location.h"
#include "encode/encoding_profile.h"
#include "encode/live_status.h"
#include "encode/run_outcome.h"
#include "encode/run_planner.h"
#include "platform/sound_player.h"

namespace qorvane {

inline constexpr const char* kCannotCreateFolderMessage = "フォルダを作成できません";

struct BatchState {
    std::atomic<bool> running{false};
    std::atomic<bool> abortRequested{false};

    // The profile last prepared in this batch; empty path: none yet.
    std::filesystem::path loadedProfilePath;
    EncodingProfile profile;
    int runIndex = -1;  // of the current job's runs (its bit-rate index); -1 at batch start

    // The current run.
    std::filesystem::path inputPath;
    std::string displayName;
    std::filesystem::path outputDirectory;
    std::string outputFileName;
    std::optional<EncoderCommandLine> commandLine;  // nothing: no run
    std::optional<VideoKbps> videoBitrate;          // none when the run takes none
    std::string label;                              // "[300kbps] clip.avi" or the file name
    RunPosition position;                           // "run 3 of 12"
    JobTagTexts tags;

    // How the last run (or skipped job) turned out, and the failures of
    // this batch so far.
    RunOutcome lastRun;
    std::vector<RunFailure> failures;
};

class BatchRunner {
public:
    struct Services {
        JobQueue& jobs;
        BatchProgressView& progress;
        BatchHost& host;
        JobTagWriter& tagWriter;
        SoundPlayer& sounds;
    };

    BatchRunner(Services services, EncoderLocation encoder, std::filesystem::path profileDir);

    // The convert command: false (and nothing done) while a batch runs or
    // when the list is empty. Otherwise the abort flag and the prepared
    // profile are cleared so that the first job loads its profile afresh;
    // the caller then shows the progress dialog and posts the start.
    bool beginBatch();

    // The abort button: the encode thread ends the running encoder at its
    // next look at the flag (a fraction of a second), and no further run
    // starts.
    void requestAbort();

    // Takes the next run: a further bit rate of the current job, or the next
    // row. With no row left the batch ends (sound, shutdown request); after
    // an abort it stops without taking a row, and without the end-of-batch
    // sound or shutdown. After the call, state().commandLine is empty when
    // there is nothing to run; when a job could not be given a command line,
    // state().lastRun says why.
    void prepareNextJob();

    // Creates the output folder with its parents; shows the warning when it
    // cannot. True when the folder exists afterwards.
    bool ensureOutputDirectory();

    // A run that never reached the encoder (see RunResult).
    void skipRun(RunResult result);

    // After a run (ended by itself or aborted): tags only for a good run,
    // then the per-job sound. A failure to write tags is not reported and
    // ends nothing.
    void finishJob(const RunOutcome& outcome);

    // The full path of the current run's output.
    std::filesystem::path outputPath() const;

    BatchState& state() { return state_; }
    const BatchState& state() const { return state_; }
    const EncoderLocation& encoder() const { return encoder_; }

private:
    void endBatch();
    void stopAfterAbort();
    void record(const RunOutcome& outcome);
    void writeTags();
    void takeJob();
    void buildRun(int remaining);
    int runsLeftInRows();

    Services services_;
    EncoderLocation encoder_;
    std::filesystem::path profileDir_;
    BatchState state_;
    int runsPlanned_ = 0;  // in this batch
    std::map<std::string, EncodingProfile> countedProfiles_;  // by profile name
};

}  // namespace qorvane
