#pragma once
// The ffmpeg argument vectors for one encoding: one run, or two when the
// video is encoded in two passes.

#include <string>
#include <vector>

#include "stand_in_encoder/encoder_options.h"

namespace qorvane::encoder {

struct FfmpegTarget {
    std::string ffmpeg = "ffmpeg";  // program path or name
    std::string output;             // where the ASF file goes (not yet its final name)
    std::string passLog;            // prefix of the two-pass statistics files
    std::string progress;           // where ffmpeg writes its progress reports ("pipe:4"); empty: nowhere
    int threads = 0;                // threads of each decoder and encoder; 0: ffmpeg's own choice
};

using ArgumentVector = std::vector<std::string>;

std::vector<ArgumentVector> BuildFfmpegRuns(const EncoderSettings& settings, const FfmpegTarget& target);

// The ffprobe programs to try for `ffmpeg`: the one beside it, then the one
// on PATH.
std::vector<std::string> ProbeProgramsFor(const std::string& ffmpeg);

// An ffprobe run that prints the input's duration in seconds, or "N/A".
ArgumentVector BuildDurationProbe(const std::string& ffprobe, const std::string& input);

// One line per argument vector for the debug output, quoting where needed.
std::string RenderCommand(const ArgumentVector& arguments);

}  // namespace qorvane::encoder
