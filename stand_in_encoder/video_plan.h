#pragma once
// Which real ASF video codec stands in for the requested one, and how the
// encoding modes, preprocessing, size, frame rate, pixel format and effort
// become ffmpeg filters and options.

#include <string>
#include <vector>

#include "stand_in_encoder/encoder_options.h"

namespace qorvane::encoder {

// Used when the command line leaves them out.
inline constexpr long kDefaultVideoBitrate = 250000;
inline constexpr int kDefaultVideoQuality = 75;
inline constexpr double kDefaultKeyDistanceSeconds = 8.0;

struct VideoPlan {
    std::string encoder;                 // ffmpeg encoder name
    std::string tag;                     // codec tag ("MP4S"), empty for the encoder's own
    std::string pixelFormat;             // encoder input format (ffmpeg name)
    std::string filter;                  // -vf chain, may be empty
    std::vector<std::string> options;    // rate control and coding options
    bool twoPass = false;
};

// The ffmpeg pixel format that a pixel format name converts the picture to.
std::string FfmpegPixelFormat(const std::string& name);

// The filter for a preprocessing number 1..18; empty for 0.
std::string PreprocessFilter(int preprocess);

// The quantiser (2 best .. 31 worst) for a quality 0..100.
int QuantiserForQuality(int quality);

VideoPlan PlanVideo(const EncoderSettings& settings);

}  // namespace qorvane::encoder
