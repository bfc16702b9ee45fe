#pragma once
// The picture size and frame rate of an H.264 stream, from the sequence
// parameter set among its first NAL units (Annex B byte stream, as MPEG
// transport streams carry it).

#include <optional>
#include <string_view>

#include "encode/media_facts.h"

namespace qorvane {

// Codec "H.264" and what the first sequence parameter set in `bytes` gives:
// the size after cropping and, when its timing information is there, the
// frame rate. Nothing when no whole set can be read.
std::optional<VideoFacts> ReadH264Pictures(std::string_view bytes);

}  // namespace qorvane
