// MPEG audio (MP3, MP2): frames after any ID3v2 tags.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "encode/container_parts.h"
#include "encode/header_facts.h"
#include "encode/mpeg_audio_frame.h"

namespace qorvane {

std::optional<MpegAudioFrame> ParseMpegAudioFrame(std::uint32_t h) {
    // kbit/s by [MPEG-1 / MPEG-2 and 2.5][layer I, II, III][index]
    static constexpr std::array<std::array<std::array<int, 15>, 3>, 2> kBitRates = {{
        {{{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
          {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
          {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}}},
        {{{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
          {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
          {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}},
    }};
    static constexpr std::array<int, 3> kMpeg1SampleRates = {44100, 48000, 32000};
    if ((h & 0xFFE00000u) != 0xFFE00000u) return std::nullopt;
    const std::uint32_t version = h >> 19 & 3;    // 0 MPEG-2.5, 1 reserved, 2 MPEG-2, 3 MPEG-1
    const std::uint32_t layerBits = h >> 17 & 3;  // 0 reserved, 1 layer III, 2 II, 3 I
    const std::uint32_t rateIndex = h >> 12 & 15;
    const std::uint32_t sampleRateIndex = h >> 10 & 3;
    if (version == 1 || layerBits == 0 || rateIndex == 0 || rateIndex == 15 || sampleRateIndex == 3)
        return std::nullopt;
    MpegAudioFrame frame;
    frame.mpeg1 = version == 3;
    frame.mono = (h >> 6 & 3) == 3;
    frame.layer = 4 - static_cast<int>(layerBits);
    frame.bitRate = kBitRates[frame.mpeg1 ? 0 : 1][frame.layer - 1][rateIndex] * 1000;
    frame.sampleRate = kMpeg1SampleRates[sampleRateIndex] >> (frame.mpeg1 ? 0 : version == 2 ? 1 : 2);
    frame.samplesPerFrame = frame.layer == 1 ? 384 : frame.layer == 2 || frame.mpeg1 ? 1152 : 576;
    // Layer I counts in slots of four bytes.
    const int padding = static_cast<int>(h >> 9 & 1);
    const int bytes = frame.layer == 1 ? (12 * frame.bitRate / frame.sampleRate + padding) * 4
                                       : frame.samplesPerFrame / 8 * frame.bitRate / frame.sampleRate + padding;
    frame.bytes = static_cast<std::uint32_t>(bytes);
    return frame;
}

namespace {

using headers::Be;
using headers::Byte;

// The frame count of a Xing/Info or VBRI header in the first frame (`frame`
// holds its bytes); 0 when there is none.
std::uint64_t VbrFrameCount(const MpegAudioFrame& header, std::string_view frame) {
    if (header.layer != 3) return 0;
    // The Xing header follows the side information.
    const std::size_t xing = 4 + (header.mpeg1 ? (header.mono ? 17 : 32) : (header.mono ? 9 : 17));
    if (frame.size() >= xing + 12) {
        const std::string_view tag = frame.substr(xing, 4);
        if ((tag == "Xing" || tag == "Info") && (Be(frame, xing + 4, 4) & 1) != 0) return Be(frame, xing + 8, 4);
    }
    // VBRI: tag, version, delay, quality, bytes, frames.
    constexpr std::size_t vbri = 4 + 32;
    if (frame.size() >= vbri + 18 && frame.substr(vbri, 4) == "VBRI") return Be(frame, vbri + 14, 4);
    return 0;
}

}  // namespace

// After any ID3v2 tags the first frame whose header is followed by another
// of the same stream (or by the end of the audio); a file without a tag must
// begin with it. The length from a Xing/Info or VBRI frame count if there is
// one, else at the first frame's bit rate to the end of the audio (before an
// ID3v1 tag); the bit rate is the audio's bytes over that length.
std::optional<MediaFacts> ReadMpegAudioFacts(const ByteSource& input) {
    std::uint64_t start = 0;
    bool tagged = false;
    for (int tags = 0; tags < 8; ++tags) {
        const std::string tag = input.Read(start, 10);
        if (tag.size() < 10 || !tag.starts_with("ID3")) break;
        if (Byte(tag, 3) == 0xFF || Byte(tag, 4) == 0xFF) return std::nullopt;
        std::uint64_t size = 0;
        for (std::size_t i = 6; i < 10; ++i) {
            if (Byte(tag, i) & 0x80) return std::nullopt;  // not synchsafe
            size = size << 7 | Byte(tag, i);
        }
        const bool footer = Byte(tag, 3) >= 4 && (Byte(tag, 5) & 0x10) != 0;
        start += 10 + size + (footer ? 10 : 0);
        tagged = true;
    }
    std::uint64_t end = input.size();
    if (end >= 128 && input.Read(end - 128, 3) == "TAG") end -= 128;
    if (start >= end) return std::nullopt;

    // A tagged file may have padding or junk before its first frame; a
    // search that far is enough for any writer.
    constexpr std::size_t kSearch = 64 * 1024;
    const std::size_t candidates = tagged ? kSearch : 1;
    const std::uint64_t searched = std::min<std::uint64_t>(candidates + kLargestMpegAudioFrame + 4, end - start);
    const std::string bytes = input.Read(start, static_cast<std::size_t>(searched));
    for (std::size_t at = 0; at < candidates && at + 4 <= bytes.size(); ++at) {
        if (Byte(bytes, at) != 0xFF) continue;
        const auto frame = ParseMpegAudioFrame(static_cast<std::uint32_t>(Be(bytes, at, 4)));
        if (!frame) continue;
        const std::uint64_t next = start + at + frame->bytes;
        if (next > end) continue;
        if (next + 4 <= end) {
            const std::size_t inBytes = at + frame->bytes;
            if (inBytes + 4 > bytes.size()) continue;
            const auto following = ParseMpegAudioFrame(static_cast<std::uint32_t>(Be(bytes, inBytes, 4)));
            if (!following || !following->SameStream(*frame)) continue;
        }
        const auto audioBytes = static_cast<double>(end - (start + at));
        const std::uint64_t frames = VbrFrameCount(*frame, std::string_view(bytes).substr(at, frame->bytes));
        const double seconds = frames != 0
                                   ? static_cast<double>(frames) * frame->samplesPerFrame / frame->sampleRate
                                   : audioBytes * 8 / frame->bitRate;
        AudioFacts audio;
        audio.codec = frame->codec();
        audio.sampleRate = frame->sampleRate;
        audio.channels = frame->mono ? 1 : 2;
        audio.bitRateKbps = frames == 0 ? frame->bitRate / 1000 : KbpsOf(audioBytes * 8 / seconds);
        return FactsOf(seconds, audio, std::nullopt);
    }
    return std::nullopt;
}

}  // namespace qorvane
