#include "encode/run_planner.h"

#include <cstdint>

namespace qorvane {

namespace {

// The texts a bit rate is written as.
std::string NameSuffix(VideoKbps kbps) { return "_v" + std::to_string(kbps); }

std::string Label(VideoKbps kbps, const std::string& displayName) {
    return "[" + std::to_string(kbps) + "kbps] " + displayName;
}

// The encoder takes bits per second; 64-bit, so that the largest listed
// rate does not wrap around.
std::string BitsPerSecond(VideoKbps kbps) { return std::to_string(static_cast<std::int64_t>(kbps) * 1000); }

}  // namespace

std::vector<std::optional<VideoKbps>> RunVideoBitrates(const EncodingProfile& profile, bool videoInput) {
    const VideoBitrateList& listed = profile.videoBitrates;
    if (!videoInput || listed.empty()) return {std::nullopt};
    if (listed.size() == 1) return {listed.front()};
    return {listed.begin(), listed.end()};
}

std::size_t RunCount(const EncodingProfile& profile, const std::filesystem::path& input) {
    return RunVideoBitrates(profile, IsVideoInputForRuns(input)).size();
}

PlannedRun PlanRun(const EncodingProfile& profile, const RunJob& job, const EncoderLocation& encoder,
                   std::size_t index) {
    PlannedRun run;
    run.inputPath = job.inputPath;
    run.label = job.displayName;
    const auto bitrates = RunVideoBitrates(profile, IsVideoInputForRuns(job.inputPath));
    run.videoBitrate = bitrates.at(index);
    if (bitrates.size() > 1) {
        run.nameSuffix = NameSuffix(*run.videoBitrate);
        run.label = Label(*run.videoBitrate, job.displayName);
    }

    EncoderRunInput input;
    input.inputPath = job.inputPath;
    input.nameSuffix = run.nameSuffix;
    if (run.videoBitrate) input.videoBitrateValue = BitsPerSecond(*run.videoBitrate);
    input.scriptPath = encoder.scriptPath;
    input.debugMode = encoder.debugMode;
    run.commandLine = BuildEncoderCommandLine(input, profile.settings, &run.refusal);
    return run;
}

std::vector<PlannedRun> PlanRuns(const EncodingProfile& profile, const RunJob& job,
                                 const EncoderLocation& encoder) {
    std::vector<PlannedRun> runs;
    const std::size_t count = RunCount(profile, job.inputPath);
    for (std::size_t index = 0; index < count; ++index) runs.push_back(PlanRun(profile, job, encoder, index));
    return runs;
}

}  // namespace qorvane
