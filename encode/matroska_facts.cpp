// Matroska, WebM: the Info and Tracks elements of the Segment.
#include <algorithm>
#include <string>

#include "encode/codec_names.h"
#include "encode/container_parts.h"
#include "encode/header_facts.h"

namespace qorvane {

namespace {

using headers::Part;

constexpr std::uint64_t kEbml = 0x1A45DFA3;
constexpr std::uint64_t kSegment = 0x18538067;
constexpr std::uint64_t kInfo = 0x1549A966;
constexpr std::uint64_t kTimecodeScale = 0x2AD7B1;
constexpr std::uint64_t kDuration = 0x4489;
constexpr std::uint64_t kTracks = 0x1654AE6B;
constexpr std::uint64_t kCluster = 0x1F43B675;
constexpr std::uint64_t kTrackEntry = 0xAE;
constexpr std::uint64_t kTrackType = 0x83;
constexpr std::uint64_t kCodecId = 0x86;
constexpr std::uint64_t kCodecPrivate = 0x63A2;
constexpr std::uint64_t kDefaultDuration = 0x23E383;
constexpr std::uint64_t kVideo = 0xE0;
constexpr std::uint64_t kPixelWidth = 0xB0;
constexpr std::uint64_t kPixelHeight = 0xBA;
constexpr std::uint64_t kAudio = 0xE1;
constexpr std::uint64_t kSamplingFrequency = 0xB5;
constexpr std::uint64_t kChannels = 0x9F;

int Whole(std::optional<std::uint64_t> value) { return static_cast<int>(std::min<std::uint64_t>(value.value_or(0), 1u << 30)); }

struct Track {
    std::uint64_t type = 0;  // 1 video, 2 sound
    std::string codec;
    std::string codecPrivate;  // its first bytes: a bitmap header or a WAVEFORMATEX
    std::uint64_t frameNanoseconds = 0;
    int width = 0;
    int height = 0;
    double sampleRate = 0;
    int channels = 0;
};

Track ReadTrack(const ByteSource& input, const Part& entry) {
    Track track;
    headers::ForEachChild(input, headers::ReadElement, entry, [&](const Part& part) {
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(part.size(), 64));
        if (part.id == kTrackType) track.type = headers::ReadUnsigned(input, part).value_or(0);
        if (part.id == kCodecId) track.codec = input.Read(part.body, length);
        if (part.id == kCodecPrivate) track.codecPrivate = input.Read(part.body, 20);
        if (part.id == kDefaultDuration) track.frameNanoseconds = headers::ReadUnsigned(input, part).value_or(0);
        if (part.id == kVideo) {
            headers::ForEachChild(input, headers::ReadElement, part, [&](const Part& field) {
                if (field.id == kPixelWidth) track.width = Whole(headers::ReadUnsigned(input, field));
                if (field.id == kPixelHeight) track.height = Whole(headers::ReadUnsigned(input, field));
            });
        }
        if (part.id == kAudio) {
            track.sampleRate = 8000;  // the format's default
            track.channels = 1;
            headers::ForEachChild(input, headers::ReadElement, part, [&](const Part& field) {
                if (field.id == kSamplingFrequency) track.sampleRate = headers::ReadFloat(input, field).value_or(0);
                if (field.id == kChannels) track.channels = Whole(headers::ReadUnsigned(input, field));
            });
        }
    });
    return track;
}

// Video for Windows and ACM codecs keep their codes in the codec's private
// data: a bitmap header's compression FourCC, a WAVEFORMATEX's format tag.
std::string VfwFourCc(const Track& track) {
    return track.codec == "V_MS/VFW/FOURCC" && track.codecPrivate.size() >= 20 ? track.codecPrivate.substr(16, 4)
                                                                                : std::string();
}

void AddTrack(const Track& track, std::optional<AudioFacts>& audio, std::optional<VideoFacts>& video) {
    if (track.type == 2 && !audio) {
        AudioFacts facts;
        facts.codec = MatroskaCodecName(track.codec);
        if (track.codec == "A_MS/ACM" && track.codecPrivate.size() >= 12) {
            facts.codec = WaveFormatName(static_cast<std::uint32_t>(headers::Le(track.codecPrivate, 0, 2)));
            facts.bitRateKbps = KbpsOf(static_cast<double>(headers::Le(track.codecPrivate, 8, 4)) * 8);
        }
        facts.sampleRate = HertzOf(track.sampleRate);
        facts.channels = track.channels;
        audio = facts;
    }
    if (track.type != 1 || video) return;
    const std::string fourCc = VfwFourCc(track);
    if (track.codec == "V_MJPEG" || IsPictureFourCc(fourCc)) return;  // a cover picture
    VideoFacts facts;
    facts.codec = fourCc.empty() ? MatroskaCodecName(track.codec) : VideoFourCcName(fourCc);
    facts.width = track.width;
    facts.height = track.height;
    if (track.frameNanoseconds != 0) facts.frameRate = 1e9 / static_cast<double>(track.frameNanoseconds);
    video = facts;
}

}  // namespace

std::optional<MediaFacts> ReadMatroskaFacts(const ByteSource& input) {
    const auto header = headers::ReadElement(input, 0, input.size());
    if (!header || header->id != kEbml) return std::nullopt;
    const auto segment = headers::ReadElement(input, header->end, input.size());
    if (!segment || segment->id != kSegment) return std::nullopt;
    std::optional<AudioFacts> audio;
    std::optional<VideoFacts> video;
    std::optional<double> duration;
    // Info and the track list come before the first cluster.
    headers::ForEachPart(input, headers::ReadElement, segment->body, segment->end, [&](const Part& part) {
        if (part.id == kTracks) {
            headers::ForEachChild(input, headers::ReadElement, part, [&](const Part& entry) {
                if (entry.id == kTrackEntry) AddTrack(ReadTrack(input, entry), audio, video);
            });
        }
        if (part.id == kInfo) {
            std::uint64_t scale = 1'000'000;  // nanoseconds per tick, by default
            std::optional<double> ticks;
            headers::ForEachChild(input, headers::ReadElement, part, [&](const Part& field) {
                if (field.id == kTimecodeScale) scale = headers::ReadUnsigned(input, field).value_or(scale);
                if (field.id == kDuration) ticks = headers::ReadFloat(input, field);
            });
            if (ticks) duration = *ticks * static_cast<double>(scale) / 1e9;
        }
        return part.id == kCluster;
    });
    return FactsOf(duration, audio, video);
}

}  // namespace qorvane
