#pragma once
// The header of one MPEG audio frame (MPEG-1, 2 and 2.5, layers I to III),
// read by the MP3 reader and by the readers of MPEG program and transport
// streams.

#include <cstdint>
#include <optional>
#include <string>

namespace qorvane {

struct MpegAudioFrame {
    bool mpeg1 = false;
    bool mono = false;
    int layer = 0;
    int bitRate = 0;  // bit/s
    int sampleRate = 0;
    int samplesPerFrame = 0;
    std::uint32_t bytes = 0;  // the whole frame, header included

    bool SameStream(const MpegAudioFrame& other) const {
        return mpeg1 == other.mpeg1 && layer == other.layer && sampleRate == other.sampleRate;
    }
    std::string codec() const { return layer == 3 ? "MP3" : layer == 2 ? "MP2" : "MP1"; }
};

// The largest frame: MPEG-2.5 layer II at 160 kbit/s and 8 kHz.
inline constexpr std::size_t kLargestMpegAudioFrame = 2881;

// Nothing for four bytes that are no frame header, or one of free format
// (which gives no rate to count with).
std::optional<MpegAudioFrame> ParseMpegAudioFrame(std::uint32_t header);

}  // namespace qorvane
