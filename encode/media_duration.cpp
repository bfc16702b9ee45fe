#include "encode/media_duration.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace qorvane {

namespace {

std::uint32_t Byte(std::string_view b, std::size_t at) { return static_cast<unsigned char>(b[at]); }

// The callers check that the bytes are there.
std::uint32_t Le16(std::string_view b, std::size_t at) { return Byte(b, at) | Byte(b, at + 1) << 8; }
std::uint32_t Le32(std::string_view b, std::size_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }
std::uint32_t Be32(std::string_view b, std::size_t at) {
    return Byte(b, at) << 24 | Byte(b, at + 1) << 16 | Byte(b, at + 2) << 8 | Byte(b, at + 3);
}

std::optional<double> Positive(double seconds) {
    if (std::isfinite(seconds) && seconds > 0) return seconds;
    return std::nullopt;
}

// ---- RIFF (WAV, AVI) ---------------------------------------------------------

// A RIFF chunk: its four-character name, where its body begins in the input
// and the size the chunk declares (which may reach past the input's end).
struct Chunk {
    std::string id;
    std::uint64_t body = 0;
    std::uint64_t size = 0;
};

// Hands the chunks in [begin, end) to `found` one after the other until it
// returns true; bodies of odd size are followed by a pad byte. Looks at no
// more than a bounded number of chunks.
void FindChunk(const ByteSource& input, std::uint64_t begin, std::uint64_t end,
               const std::function<bool(const Chunk&)>& found) {
    constexpr int kMostChunks = 1000;
    end = std::min(end, input.size());
    std::uint64_t at = begin;
    for (int seen = 0; seen < kMostChunks && at + 8 <= end; ++seen) {
        const std::string head = input.Read(at, 8);
        if (head.size() < 8) return;
        const Chunk chunk{head.substr(0, 4), at + 8, Le32(head, 4)};
        if (found(chunk)) return;
        at = chunk.body + chunk.size + (chunk.size & 1);
    }
}

// The data chunk's size over the byte rate of the format chunk. A data size
// of 0xFFFFFFFF (written before the size was known) or one past the file's
// end counts the bytes up to the end.
std::optional<double> WavDuration(const ByteSource& input) {
    std::optional<std::uint32_t> byteRate;
    std::optional<std::uint64_t> dataSize;
    FindChunk(input, 12, input.size(), [&](const Chunk& chunk) {
        if (chunk.id == "fmt " && chunk.size >= 16 && !byteRate) {
            // WAVEFORMATEX and WAVE_FORMAT_EXTENSIBLE begin alike: format tag,
            // channels, sample rate, byte rate, block align, bits per sample.
            const std::string format = input.Read(chunk.body, 16);
            if (format.size() == 16) byteRate = Le32(format, 8);
        } else if (chunk.id == "data" && !dataSize) {
            const std::uint64_t present = input.size() - chunk.body;
            dataSize = chunk.size == 0xFFFFFFFFu ? present : std::min(chunk.size, present);
        }
        return byteRate && dataSize;
    });
    if (!byteRate || !dataSize || *byteRate == 0) return std::nullopt;
    return Positive(static_cast<double>(*dataSize) / *byteRate);
}

// The body of the list "LIST <type>" in [begin, end), if there is one.
std::optional<Chunk> FindList(const ByteSource& input, std::uint64_t begin, std::uint64_t end,
                              std::string_view type) {
    std::optional<Chunk> list;
    FindChunk(input, begin, end, [&](const Chunk& chunk) {
        if (chunk.id != "LIST" || chunk.size < 4 || input.Read(chunk.body, 4) != type) return false;
        list = Chunk{chunk.id, chunk.body + 4, chunk.size - 4};
        return true;
    });
    return list;
}

// Microseconds per frame x total frames from the main AVI header in the
// header list; files of more than one RIFF part (OpenDML) count all their
// frames in "dmlh".
std::optional<double> AviDuration(const ByteSource& input) {
    const auto headers = FindList(input, 12, input.size(), "hdrl");
    if (!headers) return std::nullopt;
    const std::uint64_t end = headers->body + headers->size;
    std::optional<std::uint32_t> microsecondsPerFrame;
    std::uint32_t frames = 0;
    FindChunk(input, headers->body, end, [&](const Chunk& chunk) {
        if (chunk.id != "avih" || chunk.size < 20) return false;
        const std::string main = input.Read(chunk.body, 20);
        if (main.size() < 20) return false;
        microsecondsPerFrame = Le32(main, 0);
        frames = Le32(main, 16);
        return true;
    });
    if (!microsecondsPerFrame) return std::nullopt;
    if (const auto extended = FindList(input, headers->body, end, "odml")) {
        FindChunk(input, extended->body, extended->body + extended->size, [&](const Chunk& chunk) {
            if (chunk.id != "dmlh" || chunk.size < 4) return false;
            const std::string total = input.Read(chunk.body, 4);
            if (total.size() == 4 && Le32(total, 0) != 0) frames = Le32(total, 0);
            return true;
        });
    }
    return Positive(static_cast<double>(*microsecondsPerFrame) * frames / 1e6);
}

// ---- MPEG audio (MP3, MP2) -----------------------------------------------------

struct FrameHeader {
    bool mpeg1 = false;
    bool mono = false;
    int layer = 0;
    int bitRate = 0;  // bit/s
    int sampleRate = 0;
    int samplesPerFrame = 0;
    std::uint32_t bytes = 0;  // the whole frame, header included

    bool SameStream(const FrameHeader& other) const {
        return mpeg1 == other.mpeg1 && layer == other.layer && sampleRate == other.sampleRate;
    }
};

// The largest frame: MPEG-2.5 layer II at 160 kbit/s and 8 kHz.
constexpr std::size_t kLargestFrame = 2881;

std::optional<FrameHeader> ParseFrameHeader(std::uint32_t h) {
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
    const std::uint32_t version = h >> 19 & 3;  // 0 MPEG-2.5, 1 reserved, 2 MPEG-2, 3 MPEG-1
    const std::uint32_t layerBits = h >> 17 & 3;  // 0 reserved, 1 layer III, 2 II, 3 I
    const std::uint32_t rateIndex = h >> 12 & 15;
    const std::uint32_t sampleRateIndex = h >> 10 & 3;
    // Free format (rate index 0) gives no rate to count with.
    if (version == 1 || layerBits == 0 || rateIndex == 0 || rateIndex == 15 || sampleRateIndex == 3)
        return std::nullopt;
    FrameHeader frame;
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

// The frame count of a Xing/Info or VBRI header in the first frame (`frame`
// holds its bytes); 0 when there is none.
std::uint32_t VbrFrameCount(const FrameHeader& header, std::string_view frame) {
    if (header.layer != 3) return 0;
    // The Xing header follows the side information.
    const std::size_t xing = 4 + (header.mpeg1 ? (header.mono ? 17 : 32) : (header.mono ? 9 : 17));
    if (frame.size() >= xing + 12) {
        const std::string_view tag = frame.substr(xing, 4);
        if ((tag == "Xing" || tag == "Info") && (Be32(frame, xing + 4) & 1) != 0) return Be32(frame, xing + 8);
    }
    // VBRI: tag, version, delay, quality, bytes, frames.
    constexpr std::size_t vbri = 4 + 32;
    if (frame.size() >= vbri + 18 && frame.substr(vbri, 4) == "VBRI") return Be32(frame, vbri + 14);
    return 0;
}

// After any ID3v2 tags the first frame whose header is followed by another
// of the same stream (or by the end of the audio); a file without a tag must
// begin with it. From a Xing/Info or VBRI frame count if there is one, else
// at the first frame's bit rate to the end of the audio (before an ID3v1 tag).
std::optional<double> MpegAudioDuration(const ByteSource& input) {
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
    const std::uint64_t searched = std::min<std::uint64_t>(candidates + kLargestFrame + 4, end - start);
    const std::string bytes = input.Read(start, static_cast<std::size_t>(searched));
    for (std::size_t at = 0; at < candidates && at + 4 <= bytes.size(); ++at) {
        if (Byte(bytes, at) != 0xFF) continue;
        const auto frame = ParseFrameHeader(Be32(bytes, at));
        if (!frame) continue;
        const std::uint64_t next = start + at + frame->bytes;
        if (next > end) continue;
        if (next + 4 <= end) {
            const std::size_t inBytes = at + frame->bytes;
            if (inBytes + 4 > bytes.size()) continue;
            const auto following = ParseFrameHeader(Be32(bytes, inBytes));
            if (!following || !following->SameStream(*frame)) continue;
        }
        const std::uint32_t frames = VbrFrameCount(*frame, std::string_view(bytes).substr(at, frame->bytes));
        if (frames != 0) return Positive(static_cast<double>(frames) * frame->samplesPerFrame / frame->sampleRate);
        return Positive(static_cast<double>(end - (start + at)) * 8 / frame->bitRate);
    }
    return std::nullopt;
}

}  // namespace

std::optional<double> ReadHeaderDuration(const ByteSource& input) {
    const std::string head = input.Read(0, 12);
    if (head.size() == 12 && head.starts_with("RIFF")) {
        const std::string_view form = std::string_view(head).substr(8);
        if (form == "WAVE") return WavDuration(input);
        if (form == "AVI ") return AviDuration(input);
        return std::nullopt;
    }
    return MpegAudioDuration(input);
}

}  // namespace qorvane
