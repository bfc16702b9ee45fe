// WAV and AVI: RIFF files of chunks, little-endian.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "encode/codec_names.h"
#include "encode/container_parts.h"
#include "encode/header_facts.h"

namespace qorvane {

namespace {

using headers::Le;

// A RIFF chunk: its four-character name, where its body begins in the input
// and the size the chunk declares (which may reach past the input's end).
struct Chunk {
    std::string id;
    std::uint64_t body = 0;
    std::uint64_t size = 0;
    std::uint64_t end() const { return body + size; }
};

// Hands the chunks in [begin, end) to `found` one after the other until it
// returns true; bodies of odd size are followed by a pad byte.
void ForEachChunk(const ByteSource& input, std::uint64_t begin, std::uint64_t end,
                  const std::function<bool(const Chunk&)>& found) {
    end = std::min(end, input.size());
    std::uint64_t at = begin;
    for (int seen = 0; seen < headers::kMostChildren && at + 8 <= end; ++seen) {
        const std::string head = input.Read(at, 8);
        if (head.size() < 8) return;
        const Chunk chunk{head.substr(0, 4), at + 8, Le(head, 4, 4)};
        if (found(chunk)) return;
        at = chunk.body + chunk.size + (chunk.size & 1);
    }
}

// The body of the list "LIST <type>" in [begin, end), if there is one.
std::optional<Chunk> FindList(const ByteSource& input, std::uint64_t begin, std::uint64_t end, std::string_view type) {
    std::optional<Chunk> list;
    ForEachChunk(input, begin, end, [&](const Chunk& chunk) {
        if (chunk.id != "LIST" || chunk.size < 4 || input.Read(chunk.body, 4) != type) return false;
        list = Chunk{chunk.id, chunk.body + 4, chunk.size - 4};
        return true;
    });
    return list;
}

// A WAVEFORMATEX (and WAVE_FORMAT_EXTENSIBLE, whose sub-format's first two
// bytes are the format tag it stands for); nothing when it is too short.
std::optional<AudioFacts> WaveFormat(std::string_view format) {
    if (format.size() < 16) return std::nullopt;
    std::uint64_t tag = Le(format, 0, 2);
    if (tag == 0xFFFE && format.size() >= 26) tag = Le(format, 24, 2);
    AudioFacts audio;
    audio.codec = WaveFormatName(static_cast<std::uint32_t>(tag));
    audio.channels = static_cast<int>(Le(format, 2, 2));
    audio.sampleRate = static_cast<int>(std::min<std::uint64_t>(Le(format, 4, 4), 1u << 30));
    audio.bitRateKbps = KbpsOf(static_cast<double>(Le(format, 8, 4)) * 8);
    return audio;
}

// The data chunk's size over the byte rate of the format chunk. A data size
// of 0xFFFFFFFF (written before the size was known) or one past the file's
// end counts the bytes up to the end.
std::optional<MediaFacts> WavFacts(const ByteSource& input) {
    std::optional<std::string> format;
    std::optional<std::uint64_t> dataSize;
    ForEachChunk(input, 12, input.size(), [&](const Chunk& chunk) {
        if (chunk.id == "fmt " && chunk.size >= 16 && !format) {
            format = input.Read(chunk.body, static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size, 40)));
        } else if (chunk.id == "data" && !dataSize) {
            const std::uint64_t present = input.size() - chunk.body;
            dataSize = chunk.size == 0xFFFFFFFFu ? present : std::min(chunk.size, present);
        }
        return format && dataSize;
    });
    const std::optional<AudioFacts> audio = format ? WaveFormat(*format) : std::nullopt;
    if (!audio) return std::nullopt;
    const std::uint64_t byteRate = Le(*format, 8, 4);
    std::optional<double> duration;
    if (dataSize && byteRate != 0) duration = static_cast<double>(*dataSize) / static_cast<double>(byteRate);
    return FactsOf(duration, audio, std::nullopt);
}

// One stream of an AVI file: its "strh" (type, rate / scale) and "strf"
// (a bitmap header for video, a WAVEFORMATEX for sound).
void ReadAviStream(const ByteSource& input, const Chunk& list, std::optional<AudioFacts>& audio,
                   std::optional<VideoFacts>& video) {
    std::string header;
    std::string format;
    ForEachChunk(input, list.body, list.end(), [&](const Chunk& chunk) {
        if (chunk.id == "strh") header = input.Read(chunk.body, static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size, 56)));
        if (chunk.id == "strf") format = input.Read(chunk.body, static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size, 40)));
        return false;
    });
    if (header.size() < 28) return;
    const std::string_view type = std::string_view(header).substr(0, 4);
    if (type == "auds" && !audio) {
        audio = WaveFormat(format);
    } else if (type == "vids" && !video && format.size() >= 20) {
        VideoFacts facts;
        facts.codec = VideoFourCcName(std::string_view(format).substr(16, 4));
        // Heights below zero mark a picture stored top down.
        facts.width = std::abs(static_cast<std::int32_t>(Le(format, 4, 4)));
        facts.height = std::abs(static_cast<std::int32_t>(Le(format, 8, 4)));
        const std::uint64_t scale = Le(header, 20, 4);
        if (scale != 0) facts.frameRate = static_cast<double>(Le(header, 24, 4)) / static_cast<double>(scale);
        video = facts;
    }
}

// Microseconds per frame x total frames from the main AVI header in the
// header list; files of more than one RIFF part (OpenDML) count all their
// frames in "dmlh".
std::optional<MediaFacts> AviFacts(const ByteSource& input) {
    const auto headers = FindList(input, 12, input.size(), "hdrl");
    if (!headers) return std::nullopt;
    std::optional<double> microsecondsPerFrame;
    std::uint64_t frames = 0;
    std::optional<AudioFacts> audio;
    std::optional<VideoFacts> video;
    ForEachChunk(input, headers->body, headers->end(), [&](const Chunk& chunk) {
        if (chunk.id == "avih" && chunk.size >= 20 && !microsecondsPerFrame) {
            const std::string main = input.Read(chunk.body, 20);
            if (main.size() < 20) return false;
            microsecondsPerFrame = static_cast<double>(Le(main, 0, 4));
            frames = Le(main, 16, 4);
        } else if (chunk.id == "LIST" && chunk.size >= 4) {
            const std::string type = input.Read(chunk.body, 4);
            const Chunk list{type, chunk.body + 4, chunk.size - 4};
            if (type == "strl") ReadAviStream(input, list, audio, video);
            if (type != "odml") return false;
            ForEachChunk(input, list.body, list.end(), [&](const Chunk& extended) {
                if (extended.id != "dmlh" || extended.size < 4) return false;
                const std::string total = input.Read(extended.body, 4);
                if (total.size() == 4 && Le(total, 0, 4) != 0) frames = Le(total, 0, 4);
                return true;
            });
        }
        return false;
    });
    std::optional<double> duration;
    if (microsecondsPerFrame) duration = *microsecondsPerFrame * static_cast<double>(frames) / 1e6;
    return FactsOf(duration, audio, video);
}

}  // namespace

std::optional<MediaFacts> ReadRiffFacts(const ByteSource& input) {
    const std::string head = input.Read(0, 12);
    if (head.size() < 12 || !head.starts_with("RIFF")) return std::nullopt;
    const std::string_view form = std::string_view(head).substr(8);
    if (form == "WAVE") return WavFacts(input);
    if (form == "AVI ") return AviFacts(input);
    return std::nullopt;
}

}  // namespace qorvane
