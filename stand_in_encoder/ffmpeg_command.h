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
};

using ArgumentVector = std::vector<std::string>;

std::vector<ArgumentVector> BuildFfmpegRuns(const EncoderSettings& settings, const FfmpegTarget& target);

// One line per argument vector for the debug output, quoting where needed.
std::string RenderCommand(const ArgumentVector& arguments);

}  // namespace qorvane::encoder
