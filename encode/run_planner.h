#pragma once
// The runs a job makes of a prepared profile. A video job whose profile lists
// several bit rates is encoded once per bit rate, each run into its own file
// ("clip_v300.wmv"); every other job once. The batch runner, qorvane-cli and
// the benchmarks plan their runs here; the bit rate stays a number until it
// is written into a name, a label or an argument, all of which happens here.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "encode/command_line.h"
#include "encode/encoder_location.h"
#include "encode/encoding_profile.h"

namespace qorvane {

// What a job brings to its runs.
struct RunJob {
    std::filesystem::path inputPath;  // absolute
    std::string displayName;          // the row's file name, shown in the label
};

struct PlannedRun {
    std::filesystem::path inputPath;
    std::string nameSuffix;                 // "_v300", or empty
    std::optional<VideoKbps> videoBitrate;  // none when the mode or the input takes none
    std::string label;                      // "[300kbps] clip.avi", or the display name
    std::optional<EncoderCommandLine> commandLine;  // nothing: no run can be made, for `refusal`
    CommandLineRefusal refusal{};

    // The bare output file name; empty when there is no command line.
    std::string outputName() const { return commandLine ? commandLine->outputName : std::string(); }
};

// The video bit rate of each run of a job, in order: one run per listed
// bit rate for a video input when two or more are listed, else one run, at
// the single listed rate for a video input and at none for an audio input or
// a mode that takes no bit rate.
std::vector<std::optional<VideoKbps>> RunVideoBitrates(const EncodingProfile& profile, bool videoInput);

// How many runs a job on this input makes: one per listed bit rate for a
// video input (IsVideoInputForRuns) with two or more, else one.
std::size_t RunCount(const EncodingProfile& profile, const std::filesystem::path& input);

// Run `index` (below RunCount) of a job. The command line is built, and the
// input looked at, when this is called.
PlannedRun PlanRun(const EncodingProfile& profile, const RunJob& job, const EncoderLocation& encoder,
                   std::size_t index);

// Every run of a job, in order.
std::vector<PlannedRun> PlanRuns(const EncodingProfile& profile, const RunJob& job,
                                 const EncoderLocation& encoder);

}  // namespace qorvane
