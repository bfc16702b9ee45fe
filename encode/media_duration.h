#pragma once
// The duration of an input read from its own headers, without starting a
// process (the stand-in encoder's progress lines need it for every input):
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

namespace qorvane {

// The duration in seconds from the input's headers; empty when the input is
// none of the kinds above or its headers give no positive duration.
std::optional<double> ReadHeaderDuration(const ByteSource& input);

}  // namespace qorvane
