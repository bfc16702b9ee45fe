// ASF (.wma .wmv .asf): the objects of the header object.
#include <algorithm>
#include <map>
#include <string>
#include <string_view>

#include "encode/codec_names.h"
#include "encode/container_parts.h"
#include "encode/header_facts.h"

namespace qorvane {

namespace {

using headers::Le;

constexpr std::size_t kMostHeaderBytes = 1 << 20;

constexpr std::string_view kHeader{"\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16};
constexpr std::string_view kFileProperties{"\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16};
constexpr std::string_view kStreamProperties{"\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65", 16};
constexpr std::string_view kExtendedStreamProperties{"\xCB\xA5\xE6\x14\x72\xC6\x32\x43\x83\x99\xA9\x69\x52\x06\x5B\x5A",
                                                     16};
constexpr std::string_view kAudioMedia{"\x40\x9E\x69\xF8\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B", 16};
constexpr std::string_view kVideoMedia{"\xC0\xEF\x19\xBC\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B", 16};

// Where each object of this type begins in the header: in the header itself
// and inside its header extension (extended stream properties carry stream
// properties of their own), found wherever they are.
template <class Each>
void ForEachObject(std::string_view header, std::string_view type, Each each) {
    for (std::size_t at = header.find(type, 24); at != std::string_view::npos; at = header.find(type, at + 1)) each(at);
}

// The Stream Properties Object's fields: stream type at 24, type-specific
// data at 78, its stream number in the low bits of the flags at 72.
constexpr std::size_t kTypeAt = 24;
constexpr std::size_t kFlagsAt = 72;
constexpr std::size_t kSpecificAt = 78;

}  // namespace

std::optional<MediaFacts> ReadAsfFacts(const ByteSource& input) {
    const std::string head = input.Read(0, 24);
    if (head.size() < 24 || !head.starts_with(kHeader)) return std::nullopt;
    const std::string header =
        input.Read(0, static_cast<std::size_t>(std::min<std::uint64_t>(Le(head, 16, 8), kMostHeaderBytes)));
    const auto fits = [&](std::size_t at, std::size_t length) { return at + length <= header.size(); };

    // Frame durations (100 ns units) by stream number, from the extended
    // stream properties, which not every writer gives.
    std::map<std::uint64_t, std::uint64_t> frameTimes;
    ForEachObject(header, kExtendedStreamProperties, [&](std::size_t at) {
        if (fits(at, 84)) frameTimes[Le(header, at + 72, 2)] = Le(header, at + 76, 8);
    });

    std::optional<AudioFacts> audio;
    std::optional<VideoFacts> video;
    ForEachObject(header, kStreamProperties, [&](std::size_t at) {
        if (!fits(at, kSpecificAt)) return;
        const std::string_view type = std::string_view(header).substr(at + kTypeAt, 16);
        const std::size_t data = at + kSpecificAt;
        if (type == kAudioMedia && !audio && fits(data, 16)) {
            AudioFacts facts;
            facts.codec = WaveFormatName(static_cast<std::uint32_t>(Le(header, data, 2)));
            facts.channels = static_cast<int>(Le(header, data + 2, 2));
            facts.sampleRate = static_cast<int>(std::min<std::uint64_t>(Le(header, data + 4, 4), 1u << 30));
            facts.bitRateKbps = KbpsOf(static_cast<double>(Le(header, data + 8, 4)) * 8);
            audio = facts;
        }
        // A bitmap header behind 11 bytes: its size, width, height, planes,
        // bit count, then the compression FourCC.
        constexpr std::size_t kBitmap = 11;
        if (type != kVideoMedia || video || !fits(data, kBitmap + 20)) return;
        const std::string_view fourCc = std::string_view(header).substr(data + kBitmap + 16, 4);
        if (IsPictureFourCc(fourCc)) return;  // a cover picture
        VideoFacts facts;
        facts.codec = VideoFourCcName(fourCc);
        facts.width = static_cast<int>(std::min<std::uint64_t>(Le(header, data, 4), 1u << 30));
        facts.height = static_cast<int>(std::min<std::uint64_t>(Le(header, data + 4, 4), 1u << 30));
        const auto frameTime = frameTimes.find(Le(header, at + kFlagsAt, 2) & 0x7F);
        if (frameTime != frameTimes.end() && frameTime->second != 0)
            facts.frameRate = 1e7 / static_cast<double>(frameTime->second);
        video = facts;
    });

    // The play duration (100 ns units) counts the preroll (milliseconds) in.
    std::optional<double> duration;
    ForEachObject(header, kFileProperties, [&](std::size_t at) {
        if (duration || !fits(at, 88)) return;
        const double play = static_cast<double>(Le(header, at + 64, 8)) / 1e7;
        duration = play - static_cast<double>(Le(header, at + 80, 8)) / 1e3;
    });
    return FactsOf(duration, audio, video);
}

}  // namespace qorvane
