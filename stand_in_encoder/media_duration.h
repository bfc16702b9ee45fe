#pragma once
// The duration of an input read from its own headers, for the progress
// lines, so that the common inputs need no ffprobe run:
//
//   WAV  (RIFF "WAVE")  the "data" chunk's size / the byte rate of "fmt "
//   MP3  (MPEG audio)   frames x samples per frame / sample rate from a
//                       Xing/Info or VBRI header, else the audio bytes x 8 /
//                       the bit rate of the first frame (constant rate)
//   AVI  (RIFF "AVI ")  microseconds per frame x total frames ("avih";
//                       the OpenDML "dmlh" total when there is one)
//
// The readers take whatever bytes they are given: they never read outside
// the input, look at a bounded number of bytes, and give up (no duration)
// on anything they cannot make sense of.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "encode/byte_source.h"

namespace qorvane::encoder {

// The readers take their bytes from the core's byte sources.
using qorvane::ByteSource;
using qorvane::FileBytes;
using qorvane::MemoryBytes;

// The duration in seconds from the input's headers; empty when the input is
// none of the kinds above or its headers give no positive duration.
std::optional<double> ReadHeaderDuration(const ByteSource& input);

// Below this size an input whose headers give no duration gets no ffprobe
// run: it encodes in a few seconds, and one run of ffprobe costs about as
// much as encoding two seconds of sound.
inline constexpr std::uint64_t kProbeWorthyInputSize = std::uint64_t{64} << 20;

}  // namespace qorvane::encoder
