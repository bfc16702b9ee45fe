#include "encode/batch_runner.h"

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
    runsPlanned_ = 0;
    countedProfiles_.clear();
    return true;
}

void BatchRunner::requestAbort() {
    state_.abortRequested = true;
    services_.progress.hide();
}

void BatchRunner::prepareNextJob() {
    state_.commandLine.reset();
    if (state_.abortRequested) {
        stopAfterAbort();
        return;
    }
    int remaining = services_.jobs.count();

    // A further bit rate of the current job comes before the next row.
    const std::size_t runs = RunCount(state_.profile, state_.inputPath);
    if (state_.runIndex >= 0 && static_cast<std::size_t>(state_.runIndex) + 1 < runs) {
        ++state_.runIndex;
        buildRun(remaining + 1);  // the current job's row is already gone
        return;
    }
    if (remaining == 0) {
        endBatch();
        return;
    }
    takeJob();
    buildRun(remaining);
}

void BatchRunner::endBatch() {
    state_.running = false;
    services_.progress.hide();
    const CompletionSettings settings = services_.host.completionSettings();
    if (settings.ball && !settings.sall.empty()) services_.sounds.play(settings.sall);
    if (settings.shutdn) services_.host.requestShutdown();
    if (!state_.failures.empty()) services_.host.reportFailures(state_.failures);
}

void BatchRunner::stopAfterAbort() {
    // The rows behind stay for a later batch; no end-of-batch sound, no
    // shutdown.
    state_.running = false;
    services_.progress.hide();
    if (!state_.failures.empty()) services_.host.reportFailures(state_.failures);
}

void BatchRunner::record(const RunOutcome& outcome) {
    state_.lastRun = outcome;
    if (IsReportedFailure(outcome.result)) {
        const std::string output = state_.commandLine ? state_.outputFileName : std::string();
        state_.failures.push_back({state_.displayName, output, outcome});
    }
}

void BatchRunner::skipRun(RunResult result) { record({result, {}}); }

void BatchRunner::takeJob() {
    const EncodeJob job = services_.jobs.takeFirst();
    state_.tags = {job.Title, job.Author, job.Album, job.Copy, job.Year};

    const std::filesystem::path profilePath = ProfilePath(profileDir_, job.Profile);
    if (profilePath != state_.loadedProfilePath) {
        state_.loadedProfilePath = profilePath;
        state_.profile = PrepareEncodingProfile(LoadProfile(profilePath));
    }

    state_.runIndex = 0;
    state_.inputPath = ResolveFullPath(job.Path);
    state_.displayName = job.File;
    state_.outputDirectory = job.OutDir.empty() ? state_.inputPath.parent_path()
                                                : std::filesystem::path(job.OutDir);
}

void BatchRunner::buildRun(int remaining) {
    PlannedRun run = PlanRun(state_.profile, {state_.inputPath, state_.displayName}, encoder_,
                             static_cast<std::size_t>(state_.runIndex));
    state_.videoBitrate = run.videoBitrate;
    services_.progress.setLabels(run.label, FormatRemainingCount(remaining));
    state_.label = run.label;
    const int laterRunsOfJob =
        static_cast<int>(RunCount(state_.profile, state_.inputPath)) - 1 - state_.runIndex;
    state_.position.run = ++runsPlanned_;
    state_.position.total = runsPlanned_ + laterRunsOfJob + runsLeftInRows();
    state_.outputFileName = run.outputName();
    state_.commandLine = std::move(run.commandLine);
    if (!state_.commandLine) skipRun(RefusalResult(run.refusal));
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
        runs += static_cast<int>(RunCount(profile->second, job.Path));
    }
    return runs;
}

bool BatchRunner::ensureOutputDirectory() {
    std::error_code ec;
    std::filesystem::create_directories(state_.outputDirectory, ec);
    if (std::filesystem::is_directory(state_.outputDirectory, ec)) return true;
    services_.host.showWarning(kCannotCreateFolderMessage);
    skipRun(RunResult::FolderNotCreated);
    return false;
}

std::filesystem::path BatchRunner::outputPath() const {
    // The path join never doubles a separator, also at a root such as "/".
    return state_.outputDirectory / state_.outputFileName;
}

void BatchRunner::finishJob(const RunOutcome& outcome) {
    record(outcome);
    // Only a good run has a file of its own to tag: a failed run may have
    // left an earlier output of the same name, which is somebody else's.
    if (outcome.result == RunResult::Good) writeTags();
    const CompletionSettings settings = services_.host.completionSettings();
    if (settings.bone && !settings.sone.empty()) services_.sounds.play(settings.sone);
}

void BatchRunner::writeTags() {
    try {
        if (IsMp3Source(state_.inputPath)) {
            services_.tagWriter.writeTagsWithSource(state_.tags, state_.inputPath, outputPath());
        } else {
            services_.tagWriter.writeTags(state_.tags, outputPath());
        }
    } catch (...) {
        // The source could not be read again for its tags: the output keeps
        // what it has and the batch goes on.
    }
}

}  // namespace qorvane
