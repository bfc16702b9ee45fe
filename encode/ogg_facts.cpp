// Ogg: the codec header on each stream's first page, and the granule
// position of each stream's last page.
#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <string_view>

#include "encode/container_parts.h"
#include "encode/header_facts.h"

namespace qorvane {

namespace {

using headers::Be;
using headers::Byte;
using headers::Le;

constexpr std::size_t kPageHeader = 27;
// The largest page: 255 segments of 255 bytes behind its header.
constexpr std::size_t kLargestPage = kPageHeader + 255 + 255 * 255;

struct Stream {
    std::string codec;
    bool picture = false;
    AudioFacts audio;
    VideoFacts video;
    double granuleRate = 0;     // granule positions per second; 0 when they give no time
    std::uint64_t preSkip = 0;  // granules before the first sample (Opus)
    int granuleShift = 0;       // Theora: the key frame's number above this many bits
    std::optional<std::uint64_t> lastGranule;
};

// The codec header of a stream's first packet.
std::optional<Stream> ReadCodecHeader(std::string_view p) {
    Stream s;
    if (p.starts_with("\x01vorbis") && p.size() >= 28) {
        s.audio.codec = "Vorbis";
        s.audio.channels = static_cast<int>(Byte(p, 11));
        s.audio.sampleRate = static_cast<int>(std::min<std::uint64_t>(Le(p, 12, 4), 1u << 30));
        s.audio.bitRateKbps = KbpsOf(static_cast<double>(static_cast<std::int32_t>(Le(p, 20, 4))));
        s.granuleRate = s.audio.sampleRate;
    } else if (p.starts_with("OpusHead") && p.size() >= 19) {
        s.audio.codec = "Opus";
        s.audio.channels = static_cast<int>(Byte(p, 9));
        s.audio.sampleRate = 48000;  // what every Opus stream decodes to
        s.preSkip = Le(p, 10, 2);
        s.granuleRate = 48000;
    } else if (p.starts_with("\x7f" "FLAC") && p.size() >= 17 + 18 && p.substr(9, 4) == "fLaC") {
        // STREAMINFO behind its block header (at 13): after 10 bytes of
        // block and frame sizes, 20 bits of rate and 3 of channels.
        const std::uint64_t bits = Be(p, 17 + 10, 4);
        s.audio.codec = "FLAC";
        s.audio.sampleRate = static_cast<int>(bits >> 12);
        s.audio.channels = static_cast<int>((bits >> 9 & 7) + 1);
        s.granuleRate = s.audio.sampleRate;
    } else if (p.starts_with("Speex   ") && p.size() >= 56) {
        s.audio.codec = "Speex";
        s.audio.sampleRate = static_cast<int>(std::min<std::uint64_t>(Le(p, 36, 4), 1u << 30));
        s.audio.channels = static_cast<int>(std::min<std::uint64_t>(Le(p, 48, 4), 1024));
        s.audio.bitRateKbps = KbpsOf(static_cast<double>(static_cast<std::int32_t>(Le(p, 52, 4))));
        s.granuleRate = s.audio.sampleRate;
    } else if (p.starts_with("\x80theora") && p.size() >= 42) {
        s.picture = true;
        s.video.codec = "Theora";
        s.video.width = static_cast<int>(Be(p, 14, 3));
        s.video.height = static_cast<int>(Be(p, 17, 3));
        const std::uint64_t denominator = Be(p, 26, 4);
        if (denominator != 0) s.video.frameRate = static_cast<double>(Be(p, 22, 4)) / static_cast<double>(denominator);
        s.granuleRate = s.video.frameRate;
        s.granuleShift = static_cast<int>((Byte(p, 40) & 0x03) << 3 | Byte(p, 41) >> 5);
    } else if (p.starts_with("\x80" "daala") || p.starts_with("BBCD")) {
        s.picture = true;
        s.video.codec = p.starts_with("BBCD") ? "Dirac" : "Daala";
    } else {
        return std::nullopt;
    }
    return s;
}

// The CRC of a page (polynomial 0x04C11DB7, most significant bit first),
// with its own CRC field taken as zeros.
std::uint32_t PageCrc(std::string_view page) {
    static const std::array<std::uint32_t, 256> kTable = [] {
        std::array<std::uint32_t, 256> table{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t r = i << 24;
            for (int bit = 0; bit < 8; ++bit) r = (r & 0x80000000u) ? r << 1 ^ 0x04C11DB7u : r << 1;
            table[i] = r;
        }
        return table;
    }();
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < page.size(); ++i) {
        const auto byte = static_cast<std::uint32_t>(i >= 22 && i < 26 ? 0 : Byte(page, i));
        crc = crc << 8 ^ kTable[(crc >> 24 ^ byte) & 0xFF];
    }
    return crc;
}

// The page at `at` of `bytes` when it is whole and its CRC holds: its length.
std::optional<std::size_t> WholePage(std::string_view bytes, std::size_t at) {
    if (at + kPageHeader > bytes.size() || bytes.substr(at, 4) != "OggS" || Byte(bytes, at + 4) != 0) return std::nullopt;
    const std::size_t segments = Byte(bytes, at + 26);
    if (at + kPageHeader + segments > bytes.size()) return std::nullopt;
    std::size_t length = kPageHeader + segments;
    for (std::size_t i = 0; i < segments; ++i) length += Byte(bytes, at + kPageHeader + i);
    if (at + length > bytes.size()) return std::nullopt;
    if (PageCrc(bytes.substr(at, length)) != Le(bytes, at + 22, 4)) return std::nullopt;
    return length;
}

// Each stream's last granule position, from the pages in the input's last
// bytes, read from the end back.
void ReadLastGranules(const ByteSource& input, std::map<std::uint64_t, Stream>& streams) {
    const std::uint64_t tail = std::min<std::uint64_t>(input.size(), kLargestPage + 64 * 1024);
    const std::string bytes = input.Read(input.size() - tail, static_cast<std::size_t>(tail));
    std::size_t missing = streams.size();
    for (std::size_t at = bytes.rfind("OggS"); at != std::string::npos && missing > 0;
         at = at == 0 ? std::string::npos : bytes.rfind("OggS", at - 1)) {
        if (!WholePage(bytes, at)) continue;
        const std::uint64_t granule = Le(bytes, at + 6, 8);
        const auto stream = streams.find(Le(bytes, at + 14, 4));
        if (granule == ~std::uint64_t{0} || stream == streams.end() || stream->second.lastGranule) continue;
        stream->second.lastGranule = granule;
        --missing;
    }
}

double StreamSeconds(const Stream& s) {
    if (!s.lastGranule || s.granuleRate <= 0) return 0;
    std::uint64_t granules = *s.lastGranule;
    if (s.granuleShift > 0 && s.granuleShift < 64) {
        granules = (granules >> s.granuleShift) + (granules & ((std::uint64_t{1} << s.granuleShift) - 1));
    }
    granules -= std::min(granules, s.preSkip);
    return static_cast<double>(granules) / s.granuleRate;
}

}  // namespace

std::optional<MediaFacts> ReadOggFacts(const ByteSource& input) {
    std::map<std::uint64_t, Stream> streams;  // by serial number
    std::optional<AudioFacts> audio;
    std::optional<VideoFacts> video;
    std::uint64_t at = 0;
    // Every stream's first page comes before any other page.
    for (int page = 0; page < headers::kMostChildren; ++page) {
        const std::string head = input.Read(at, kPageHeader);
        if (head.size() < kPageHeader || !head.starts_with("OggS") || (Byte(head, 5) & 0x02) == 0) break;
        const std::size_t segments = Byte(head, 26);
        const std::string lacing = input.Read(at + kPageHeader, segments);
        if (lacing.size() < segments) break;
        std::uint64_t bodySize = 0;
        for (std::size_t i = 0; i < segments; ++i) bodySize += Byte(lacing, i);
        const auto stream = ReadCodecHeader(input.Read(at + kPageHeader + segments, 64));
        if (stream && streams.size() < 64) {
            streams.emplace(Le(head, 14, 4), *stream);
            if (stream->picture && !video) video = stream->video;
            if (!stream->picture && !audio) audio = stream->audio;
        }
        at += kPageHeader + segments + bodySize;
    }
    if (streams.empty()) return std::nullopt;
    ReadLastGranules(input, streams);
    double longest = 0;
    for (const auto& [serial, stream] : streams) longest = std::max(longest, StreamSeconds(stream));
    return FactsOf(longest, audio, video);
}

}  // namespace qorvane
