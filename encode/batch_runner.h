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
#include <vector>

#include "encode/batch_listener.h"
#include "encode/batch_services.h"
#include "encode/command_line.h"
#include "encode/encoder_location.h"
#include "encode/encoding_profile.h"
#include "encode/live_status.h"
#include "encode/run_outcome.h"
#include "encode/run_planner.h"
#include "platform/sound_player.h"
#include "platform/ui_text.h"

namespace qorvane {

inline constexpr const char* kCannotCreateFolderMessage = QORVANE_UI_TEXT("フォルダを作成できません");

// One encoder run of a batch: what it encodes into where, and, once it is
// over, how it turned out. Several may be going at the same time; each
// carries what its finish step needs, whatever was prepared after it.
struct BatchRun {
    int job = 0;  // the job's number in its batch, from 1: the runs of one job share it
    std::filesystem::path inputPath;
    std::string displayName;
    std::filesystem::path outputDirectory;
    std::string outputFileName;
    std::optional<EncoderCommandLine> commandLine;  // nothing: no run
    std::optional<VideoKbps> videoBitrate;          // none when the run takes none
    // The video bit rate as a report names it: the run's own, or, for a mode
    // that takes none (quality-based, uncompressed), the profile's text as
    // written. Empty for an audio input or the audio-only mode.
    std::string videoKbpsText;
    std::string label;     // "[300kbps] clip.avi" or the file name
    RunPosition position;  // "run 3 of 12"
    JobTagTexts tags;
    RunOutcome outcome;    // how it turned out, once it is over or skipped
    std::vector<std::string> tagNotes;  // for the batch log, from writing its tags

    // The full path of the output; the join never doubles a separator, also
    // at a root such as "/".
    std::filesystem::path outputPath() const { return outputDirectory / outputFileName; }
};

struct BatchState {
    std::atomic<bool> running{false};
    std::atomic<bool> abortRequested{false};

    // The profile last prepared in this batch; empty path: none yet.
    std::filesystem::path loadedProfilePath;
    EncodingProfile profile;
    int runIndex = -1;  // of the last taken job's runs (its bit-rate index); -1 at batch start

    BatchRun run;  // the run prepared last

    // The failures of this batch so far.
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

    // What prepareNextJob() found.
    enum class Next {
        Run,      // state().run is ready for its encoder
        Skipped,  // state().run made no run; its outcome says why
        Wait,     // nothing to take until a running run is over
        Over,     // the batch has ended, or stopped after an abort
    };

    // The abort button: the encode thread ends the running encoder at its
    // next look at the flag (a fraction of a second), and no further run
    // starts.
    void requestAbort();

    // Takes the next run into state().run: a further bit rate of the last
    // taken job, or the next row. With no row left the batch ends (sound,
    // shutdown request) once no run is going any more; after an abort it
    // stops the same way without taking a row, and without the end-of-batch
    // sound or shutdown, and the jobs it interrupted are back on top of the
    // list.
    Next prepareNextJob();

    // How many runs may go at the same time now (at least 1), as the setting
    // stood at the last step; read by the encode thread between steps.
    int runSlots() const;
    // The count the progress dialog shows: the jobs not yet finished, the
    // running ones included.
    int jobsLeft() const;
    // The jobs taken from the list whose runs are not all over yet (none
    // once a batch has ended or stopped).
    int jobsGoing() const { return static_cast<int>(runsLeftOfJob_.size()); }
    // Those jobs as their rows were, in the order they were taken.
    std::vector<EncodeJob> jobsGoingRows() const;

    // Creates the run's output folder with its parents; shows the warning
    // when it cannot. True when the folder exists afterwards.
    bool ensureOutputDirectory(BatchRun& run);

    // A run that never reached the encoder (see RunResult).
    void skipRun(BatchRun& run, RunResult result);

    // After a run (ended by itself or aborted), with its outcome set: tags
    // only for a good run, then the per-job sound. Tags that could not be
    // saved are noted in the outcome and reported with the failures; a
    // source that cannot be read again is not reported. Neither ends the
    // batch. What the tag writer left out goes into run.tagNotes.
    void finishJob(BatchRun& run);

    BatchState& state() { return state_; }
    const BatchState& state() const { return state_; }
    // Optional: told when a batch begins, ends or stops, on the thread of
    // the steps.
    void setListener(BatchListener* listener) { listener_ = listener; }
    const EncoderLocation& encoder() const { return encoder_; }

private:
    void endBatch();
    void stopAfterAbort();
    void runOver(BatchRun& run);
    void writeTags(BatchRun& run);
    void takeJob();
    void buildRun();
    int runsLeftInRows();

    Services services_;
    EncoderLocation encoder_;
    std::filesystem::path profileDir_;
    BatchState state_;
    int runsPlanned_ = 0;  // in this batch
    int jobsTaken_ = 0;    // in this batch
    int openRuns_ = 0;     // prepared and not yet over
    std::atomic<int> slots_{1};
    BatchListener* listener_ = nullptr;
    int runsDone_ = 0;  // in this batch: good runs with their tags
    std::filesystem::path lastOutputFolder_;  // of the last good run in this batch
    std::map<int, int> runsLeftOfJob_;  // by job number: its runs not yet over, for the jobs taken
    std::map<int, EncodeJob> rowsGoing_;  // by job number: the rows of those jobs
    std::map<int, EncodeJob> interrupted_;  // by job number: rows of jobs a run of which was aborted
    std::map<std::string, EncodingProfile> countedProfiles_;  // by profile name
    std::map<std::pair<std::string, std::string>, int> countedRuns_;  // by profile name and path
};

}  // namespace qorvane
