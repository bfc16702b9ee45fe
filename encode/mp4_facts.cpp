// MP4, QuickTime, 3GP: the boxes of moov.
#include <algorithm>
#include <array>
#include <bit>
#include <string>

#include "encode/codec_names.h"
#include "encode/container_parts.h"
#include "encode/header_facts.h"

namespace qorvane {

namespace {

using headers::Be;
using headers::FourCc;
using headers::Part;

std::optional<Part> Find(const ByteSource& input, const Part& parent, std::uint64_t type) {
    return headers::FindChild(input, headers::ReadBox, parent, type);
}

// A box's body, at most `longest` bytes of it.
std::string BodyOf(const ByteSource& input, const Part& box, std::size_t longest) {
    return input.Read(box.body, static_cast<std::size_t>(std::min<std::uint64_t>(box.size(), longest)));
}

// The time scale and duration of an mvhd or mdhd box (version 0: 32-bit
// times, version 1: 64-bit), as seconds.
std::optional<double> HeaderDuration(const ByteSource& input, const std::optional<Part>& box) {
    if (!box) return std::nullopt;
    const std::string body = BodyOf(input, *box, 32);
    if (body.empty()) return std::nullopt;
    const bool wide = body[0] == 1;
    const std::size_t scaleAt = wide ? 20 : 12;
    if (body.size() < scaleAt + (wide ? 12 : 8)) return std::nullopt;
    const std::uint64_t scale = Be(body, scaleAt, 4);
    const std::uint64_t duration = Be(body, scaleAt + 4, wide ? 8 : 4);
    if (scale == 0) return std::nullopt;
    return static_cast<double>(duration) / static_cast<double>(scale);
}

std::uint64_t TimeScale(const ByteSource& input, const std::optional<Part>& box) {
    if (!box) return 0;
    const std::string body = BodyOf(input, *box, 24);
    const std::size_t at = !body.empty() && body[0] == 1 ? 20 : 12;
    return body.size() >= at + 4 ? Be(body, at, 4) : 0;
}

// An esds box's decoder configuration: object type, average bit rate, and
// from an AAC stream's own configuration its rate and channels (3GP files
// say two channels in the sample entry whatever they hold).
struct DecoderConfig {
    std::uint32_t objectType = 0;
    std::uint64_t averageBitRate = 0;
    int sampleRate = 0;
    int channels = 0;
};

// AudioSpecificConfig: 5 bits of object type, 4 of rate index (15: 24 bits
// of rate follow), 4 of channel configuration.
void ReadAacConfig(std::string_view b, DecoderConfig& config) {
    static constexpr std::array<int, 13> kRates{96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                                22050, 16000, 12000, 11025, 8000,  7350};
    static constexpr std::array<int, 8> kChannels{0, 1, 2, 3, 4, 5, 6, 8};
    if (b.size() < 5) return;
    const std::uint64_t bits = Be(b, 0, 5);  // 40 bits
    const std::uint64_t index = bits >> 31 & 0x0F;
    const std::uint64_t channels = index == 15 ? bits >> 3 & 0x0F : bits >> 27 & 0x0F;
    if (index < kRates.size()) config.sampleRate = kRates[index];
    if (index == 15) config.sampleRate = static_cast<int>(bits >> 7 & 0xFFFFFF);
    if (channels < kChannels.size()) config.channels = kChannels[channels];
}

// The descriptors of an esds box: tag, a size in up to four bytes of seven
// bits, body. The decoder configuration (tag 4) sits in the ES descriptor
// (tag 3) after its own fields.
DecoderConfig ReadDecoderConfig(std::string_view esds) {
    DecoderConfig config;
    std::size_t at = 4;  // after version and flags
    for (int step = 0; step < 5 && at < esds.size(); ++step) {
        const std::uint64_t tag = headers::Byte(esds, at++);
        std::uint64_t size = 0;
        for (int i = 0; i < 4 && at < esds.size(); ++i) {
            const std::uint64_t byte = headers::Byte(esds, at++);
            size = size << 7 | (byte & 0x7F);
            if ((byte & 0x80) == 0) break;
        }
        if (tag == 3) {
            if (at + 3 > esds.size()) break;
            const std::uint64_t flags = headers::Byte(esds, at + 2);
            at += 3 + ((flags & 0x80) ? 2 : 0) + ((flags & 0x20) ? 2 : 0);
            if ((flags & 0x40) && at < esds.size()) at += 1 + headers::Byte(esds, at);
        } else if (tag == 4) {
            // Its own fields, then the decoder-specific information (tag 5).
            if (at + 13 > esds.size()) break;
            config.objectType = static_cast<std::uint32_t>(headers::Byte(esds, at));
            config.averageBitRate = Be(esds, at + 9, 4);
            at += 13;
        } else if (tag == 5) {
            if (config.objectType == 0x40 || config.objectType == 0x67) ReadAacConfig(esds.substr(std::min(at, esds.size())), config);
            break;
        } else {
            at += size;
        }
    }
    return config;
}

// A sound sample entry: channels and rate (QuickTime's version 2 keeps them
// elsewhere), then boxes, an esds among them, after the fields of its
// version.
AudioFacts SoundEntry(const ByteSource& input, const Part& entry, std::uint64_t timeScale) {
    const std::string body = BodyOf(input, entry, 48);
    AudioFacts audio;
    if (body.size() < 28) return audio;
    const std::uint64_t version = Be(body, 8, 2);
    std::uint64_t children = 28;
    if (version == 2 && body.size() >= 44) {
        audio.sampleRate = HertzOf(std::bit_cast<double>(Be(body, 32, 8)));
        audio.channels = static_cast<int>(std::min<std::uint64_t>(Be(body, 40, 4), 1024));
        children = 64;
    } else {
        audio.channels = static_cast<int>(Be(body, 16, 2));
        audio.sampleRate = static_cast<int>(Be(body, 24, 2));
        if (version == 1) children = 44;
    }
    // 16.16 cannot hold rates from 65536 Hz up; the track's time scale can.
    if (audio.sampleRate == 0) audio.sampleRate = static_cast<int>(std::min<std::uint64_t>(timeScale, 1u << 30));
    DecoderConfig config;
    if (entry.size() > children) {
        if (const auto esds = Find(input, Part{0, entry.body + children, entry.end}, FourCc("esds")))
            config = ReadDecoderConfig(BodyOf(input, *esds, 96));
    }
    audio.codec = Mp4SoundName(headers::FourCcText(entry.id), config.objectType);
    audio.bitRateKbps = KbpsOf(static_cast<double>(config.averageBitRate));
    if (config.sampleRate != 0) audio.sampleRate = config.sampleRate;
    if (config.channels != 0) audio.channels = config.channels;
    return audio;
}

struct Mp4Tracks {
    std::optional<AudioFacts> audio;
    std::optional<VideoFacts> video;
    double longest = 0;
};

void ReadTrack(const ByteSource& input, const Part& trak, Mp4Tracks& tracks) {
    const auto media = Find(input, trak, FourCc("mdia"));
    if (!media) return;
    const auto handler = Find(input, *media, FourCc("hdlr"));
    if (!handler) return;
    const std::string type = input.Read(handler->body + 8, 4);  // after version, flags and a field
    if (type != "soun" && type != "vide") return;
    const auto mediaHeader = Find(input, *media, FourCc("mdhd"));
    const std::optional<double> duration = HeaderDuration(input, mediaHeader);
    if (duration) tracks.longest = std::max(tracks.longest, *duration);
    std::optional<Part> table;
    if (const auto info = Find(input, *media, FourCc("minf"))) table = Find(input, *info, FourCc("stbl"));
    const auto descriptions = table ? Find(input, *table, FourCc("stsd")) : std::nullopt;
    // The first sample entry, after version, flags and the entry count.
    const auto entry = descriptions && descriptions->size() > 8
                           ? headers::ReadBox(input, descriptions->body + 8, descriptions->end)
                           : std::nullopt;
    if (type == "soun") {
        if (!tracks.audio)
            tracks.audio = entry ? SoundEntry(input, *entry, TimeScale(input, mediaHeader)) : AudioFacts{};
        return;
    }
    // One sample is a still picture; a count of 0 is a fragmented file whose
    // samples come later.
    const auto sizes = table ? Find(input, *table, FourCc("stsz")) : std::nullopt;
    const std::string count = sizes ? input.Read(sizes->body + 8, 4) : std::string();
    const std::uint64_t samples = count.size() == 4 ? Be(count, 0, 4) : 0;
    if (samples == 1 || tracks.video) return;
    VideoFacts video;
    if (entry) {
        const std::string body = BodyOf(input, *entry, 28);
        video.codec = VideoFourCcName(headers::FourCcText(entry->id));
        if (body.size() >= 28) {
            video.width = static_cast<int>(Be(body, 24, 2));
            video.height = static_cast<int>(Be(body, 26, 2));
        }
    }
    if (duration && *duration > 0) video.frameRate = static_cast<double>(samples) / *duration;
    tracks.video = video;
}

}  // namespace

std::optional<MediaFacts> ReadMp4Facts(const ByteSource& input) {
    static constexpr std::array kFirstBoxes{FourCc("ftyp"), FourCc("moov"), FourCc("mdat"), FourCc("free"),
                                           FourCc("skip"), FourCc("wide")};
    const auto first = headers::ReadBox(input, 0, input.size());
    if (!first || std::find(kFirstBoxes.begin(), kFirstBoxes.end(), first->id) == kFirstBoxes.end())
        return std::nullopt;
    const auto moov = Find(input, headers::Whole(input), FourCc("moov"));
    if (!moov) return std::nullopt;
    Mp4Tracks tracks;
    headers::ForEachChild(input, headers::ReadBox, *moov, [&](const Part& part) {
        if (part.id == FourCc("trak")) ReadTrack(input, part, tracks);
    });
    // A fragmented file (one with mvex) gives its whole length in mehd, if
    // anywhere in its headers: its moov holds only the first fragment's.
    const auto movieHeader = Find(input, *moov, FourCc("mvhd"));
    std::optional<double> duration = HeaderDuration(input, movieHeader);
    if (!duration || *duration <= 0) duration = tracks.longest;
    if (const auto extends = Find(input, *moov, FourCc("mvex"))) {
        duration.reset();
        const auto fragments = Find(input, *extends, FourCc("mehd"));
        const std::uint64_t scale = TimeScale(input, movieHeader);
        if (fragments && scale != 0) {
            const std::string body = BodyOf(input, *fragments, 12);
            const std::size_t width = !body.empty() && body[0] == 1 ? 8 : 4;
            if (body.size() >= 4 + width) duration = static_cast<double>(Be(body, 4, width)) / static_cast<double>(scale);
        }
    }
    return FactsOf(duration, tracks.audio, tracks.video);
}

}  // namespace qorvane
