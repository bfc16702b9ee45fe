#include "support/media_probe.h"

#include <cstdint>
#include <sstream>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace qorvane::testing {

const ProbedStream* ProbedMedia::first(const std::string& codecType) const {
    for (const ProbedStream& stream : streams)
        if (stream["codec_type"] == codecType) return &stream;
    return nullptr;
}

ProbedMedia Probe(const std::filesystem::path& file) {
    const ProgramResult result = RunTool(
        {"ffprobe", "-v", "error", "-show_entries",
         "format=format_name,duration:format_tags:stream=codec_type,codec_name,codec_tag_string,sample_rate,"
         "channels,width,height,pix_fmt,r_frame_rate:stream_tags",
         "file:" + file.string()},
        file.parent_path());
    ProbedMedia media;
    if (result.exitCode != 0) return media;
    media.readable = true;
    std::istringstream lines(result.output);
    ProbedStream* stream = nullptr;
    bool inFormat = false;
    for (std::string line; std::getline(lines, line);) {
        if (line == "[STREAM]") {
            media.streams.emplace_back();
            stream = &media.streams.back();
            continue;
        }
        if (line == "[FORMAT]") {
            inFormat = true;
            continue;
        }
        if (line.starts_with("[/")) {
            stream = nullptr;
            inFormat = false;
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key.starts_with("TAG:")) {
            media.tags.push_back(key.substr(4) + "=" + value);
        } else if (stream != nullptr) {
            stream->fields[key] = value;
        } else if (inFormat && key == "format_name") {
            media.formatName = value;
        } else if (inFormat && key == "duration") {
            media.duration = std::stod(value);
        }
    }
    return media;
}

double AsfDataBitrate(const std::filesystem::path& file, double duration) {
    const std::string bytes = ReadFileBytes(file);
    auto u64 = [&](std::size_t at) {
        std::uint64_t value = 0;
        if (at + 8 > bytes.size()) return value;
        for (int i = 7; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    const std::uint64_t headerSize = u64(16);
    const std::uint64_t dataSize = u64(headerSize + 16);
    constexpr std::uint64_t kDataObjectHeader = 50;
    if (dataSize <= kDataObjectHeader || duration <= 0) return 0;
    return static_cast<double>(dataSize - kDataObjectHeader) * 8.0 / duration;
}

}  // namespace qorvane::testing
