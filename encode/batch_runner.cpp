#include "encode/batch_runner.h"

#include <algorithm>
#include <system_error>

#include "profiles/profile_names.h"

namespace qorvane {

BatchRunner::BatchRunner(Services services, EncoderLocation encoder, std::filesystem::path profileDir)
    : services_(services), encoder_(std::move(encoder)), profileDir_(std::move(profileDir)) {}

bool BatchRunner::beginBatch() {
    if (state_.running || services_.jobs.count() == 0) return false;
    state_.abortRequested = false;
    state_.failures.clear();
    state_.runIndex = -1;
    state_.profile.videoBitrates.clear();
    state_.loadedProfilePath.clear();
    state_.run = {};
    runsPlanned_ = 0;
    jobsTaken_ = 0;
    openRuns_ = 0;
    runsDone_ = 0;
    lastOutputFolder_.clear();
    runsLeftOfJob_.clear();
    rowsGoing_.clear();
    interrupted_.clear();
    countedProfiles_.clear();
    countedRuns_.clear();
    slots_ = std::max(1, services_.host.parallelRuns());
    if (listener_) listener_->batchBegun(services_.jobs.count());
    return true;
}

void BatchRunner::requestAbort() {
    state_.abortRequested = true;
    services_.progress.hide();
}

int BatchRunner::runSlots() const { return slots_; }

int BatchRunner::jobsLeft() const {
    return services_.jobs.count() + jobsGoing();
}

BatchRunner::Next BatchRunner::prepareNextJob() {
    // The setting as it stands now, for the encode thread to read between steps.
    slots_ = std::max(1, services_.host.parallelRuns());
    state_.run.commandLine.reset();
    if (state_.abortRequested) {
        if (openRuns_ > 0) return Next::Wait;
        stopAfterAbort();
        return Next::Over;
    }
    // A further bit rate of the last taken job comes before the next row.
    const std::size_t runs = RunCount(state_.profile, state_.run.inputPath);
    if (state_.runIndex >= 0 && static_cast<std::size_t>(state_.runIndex) + 1 < runs) {
        ++state_.runIndex;
    } else if (services_.jobs.count() == 0) {
        // Rows added while the last runs go join the batch at the next look.
        if (openRuns_ > 0) return Next::Wait;
        endBatch();
        return Next::Over;
    } else {
        takeJob();
    }
    buildRun();
    return state_.run.commandLine ? Next::Run : Next::Skipped;
}

void BatchRunner::endBatch() {
    state_.running = false;
    services_.progress.hide();
    if (listener_) listener_->batchEnded({runsDone_, static_cast<int>(state_.failures.size()), lastOutputFolder_});
    const CompletionSettings settings = services_.host.completionSettings();
    if (settings.ball && !settings.sall.empty()) services_.sounds.play(settings.sall);
    if (settings.shutdn) services_.host.requestShutdown();
    if (!state_.failures.empty()) services_.host.reportFailures(state_.failures);
}

void BatchRunner::stopAfterAbort() {
    // The rows behind stay for a later batch; no end-of-batch sound, no
    // shutdown. The jobs the abort interrupted (a run ended, or bit rates
    // not begun) go back on top as they were, so that the next convert runs
    // them again with the tags the user typed.
    interrupted_.merge(rowsGoing_);
    std::vector<EncodeJob> rows;
    for (auto& [number, row] : interrupted_) rows.push_back(std::move(row));
    services_.jobs.putBackFirst(std::move(rows));
    interrupted_.clear();
    runsLeftOfJob_.clear();
    rowsGoing_.clear();
    state_.running = false;
    services_.progress.hide();
    if (listener_) listener_->batchStopped();
    if (!state_.failures.empty()) services_.host.reportFailures(state_.failures);
}

// Every prepared run comes here once, skipped or finished.
void BatchRunner::runOver(BatchRun& run) {
    if (IsReportedFailure(run.outcome)) {
        const std::string output = run.commandLine ? run.outputFileName : std::string();
        state_.failures.push_back({run.displayName, output, run.outcome});
    }
    --openRuns_;
    if (run.outcome.result == RunResult::Good) {
        lastOutputFolder_ = run.outputDirectory;
        if (run.outcome.tagsNotWritten.empty()) ++runsDone_;
    }
    if (run.outcome.result == RunResult::Aborted) {
        if (const auto row = rowsGoing_.find(run.job); row != rowsGoing_.end()) interrupted_.insert(*row);
    }
    const auto job = runsLeftOfJob_.find(run.job);
    if (job != runsLeftOfJob_.end() && --job->second <= 0) {
        rowsGoing_.erase(job->first);
        runsLeftOfJob_.erase(job);
        // With runs still going the count falls as each job is done; one at
        // a time, the next run's labels say it.
        if (openRuns_ > 0) services_.progress.setLabels(state_.run.label, FormatRemainingCount(jobsLeft()));
    }
}

void BatchRunner::skipRun(BatchRun& run, RunResult result) {
    run.outcome = {result, {}};
    runOver(run);
}

void BatchRunner::takeJob() {
    const EncodeJob job = services_.jobs.takeFirst();
    BatchRun& run = state_.run;
    run.tags = {job.Title, job.Author, job.Album, job.Copy, job.Year};

    const std::filesystem::path profilePath = ProfilePath(profileDir_, job.Profile);
    if (profilePath != state_.loadedProfilePath) {
        state_.loadedProfilePath = profilePath;
        state_.profile = PrepareEncodingProfile(LoadProfile(profilePath));
    }

    state_.runIndex = 0;
    run.job = ++jobsTaken_;
    run.inputPath = ResolveFullPath(job.Path);
    run.displayName = job.File;
    run.outputDirectory = job.OutDir.empty() ? run.inputPath.parent_path() : std::filesystem::path(job.OutDir);
    runsLeftOfJob_[run.job] = static_cast<int>(RunCount(state_.profile, run.inputPath));
    rowsGoing_[run.job] = job;
}

std::vector<EncodeJob> BatchRunner::jobsGoingRows() const {
    std::vector<EncodeJob> rows;
    for (const auto& [number, row] : rowsGoing_) rows.push_back(row);
    return rows;
}

void BatchRunner::buildRun() {
    BatchRun& run = state_.run;
    PlannedRun planned = PlanRun(state_.profile, {run.inputPath, run.displayName}, encoder_,
                                 static_cast<std::size_t>(state_.runIndex));
    run.outcome = {};
    run.videoBitrate = planned.videoBitrate;
    const ProfileSettings& settings = state_.profile.settings;
    run.videoKbpsText.clear();
    if (settings.VideoMode > 0 && IsVideoInputForRuns(run.inputPath)) {
        run.videoKbpsText = run.videoBitrate ? std::to_string(*run.videoBitrate) : settings.VideoBitrate;
    }
    run.label = planned.label;
    services_.progress.setLabels(run.label, FormatRemainingCount(jobsLeft()));
    const int laterRunsOfJob =
        static_cast<int>(RunCount(state_.profile, run.inputPath)) - 1 - state_.runIndex;
    run.position.run = ++runsPlanned_;
    run.position.total = runsPlanned_ + laterRunsOfJob + runsLeftInRows();
    run.outputFileName = planned.outputName();
    ++openRuns_;  // from here on the run is skipped or finished, whatever happens
    run.commandLine = std::move(planned.commandLine);
    if (!run.commandLine) {
        skipRun(run, RefusalResult(planned.refusal));
    } else if (WritesOverInput(run.inputPath, run.outputPath())) {
        // The source stays as it is; the report names the output it would have had.
        skipRun(run, RunResult::OutputIsInput);
        run.commandLine.reset();
    }
}

// The runs the rows still in the list will make, each by its own profile
// (loaded once per batch for this count).
int BatchRunner::runsLeftInRows() {
    int runs = 0;
    for (int row = 0; row < services_.jobs.count(); ++row) {
        const EncodeJob& job = services_.jobs.at(row);
        auto profile = countedProfiles_.find(job.Profile);
        if (profile == countedProfiles_.end()) {
            const EncodingProfile loaded = PrepareEncodingProfile(LoadProfile(ProfilePath(profileDir_, job.Profile)));
            profile = countedProfiles_.emplace(job.Profile, loaded).first;
        }
        // A container that may hold video is read to tell; once per row and profile in a batch.
        auto counted = countedRuns_.find({job.Profile, job.Path});
        if (counted == countedRuns_.end()) {
            counted = countedRuns_.emplace(std::pair(job.Profile, job.Path),
                                           static_cast<int>(RunCount(profile->second, job.Path))).first;
        }
        runs += counted->second;
    }
    return runs;
}

bool BatchRunner::ensureOutputDirectory(BatchRun& run) {
    std::error_code ec;
    std::filesystem::create_directories(run.outputDirectory, ec);
    if (std::filesystem::is_directory(run.outputDirectory, ec)) return true;
    services_.host.showWarning(UiText(kCannotCreateFolderMessage));
    skipRun(run, RunResult::FolderNotCreated);
    return false;
}

void BatchRunner::finishJob(BatchRun& run) {
    // Only a good run has a file of its own to tag: a failed run may have
    // left an earlier output of the same name, which is somebody else's.
    if (run.outcome.result == RunResult::Good) writeTags(run);
    runOver(run);
    const CompletionSettings settings = services_.host.completionSettings();
    if (settings.bone && !settings.sone.empty()) services_.sounds.play(settings.sone);
}

void BatchRunner::writeTags(BatchRun& run) {
    TagsWritten written;
    try {
        written = services_.tagWriter.writeTags(run.tags, run.inputPath, run.outputPath());
    } catch (...) {
        // The source could not be read again for its tags: the output keeps
        // the job's own and the batch goes on.
    }
    run.tagNotes = std::move(written.notes);
    // The file is as the encoder wrote it, so the run stays encoded; but the
    // user is told, since the tags they typed are not in it.
    if (!written.saved.saved) run.outcome.tagsNotWritten = written.saved.reason.empty() ? "?" : written.saved.reason;
}

}  // namespace qorvane
