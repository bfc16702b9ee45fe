#include "encode/container_kind.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace qorvane {

namespace {

// Bounds on what one file may make the readers look at.
constexpr int kMostChildren = 4096;               // per level of boxes or elements
constexpr std::size_t kMostHeaderBytes = 1 << 20;  // of an ASF header

std::uint64_t Byte(std::string_view b, std::size_t at) { return static_cast<unsigned char>(b[at]); }
std::uint64_t Be(std::string_view b, std::size_t at, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < count; ++i) value = value << 8 | Byte(b, at + i);
    return value;
}
std::uint64_t Le(std::string_view b, std::size_t at, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = count; i > 0; --i) value = value << 8 | Byte(b, at + i - 1);
    return value;
}

struct Tracks {
    bool video = false;
    bool audio = false;
    std::optional<MediaKind> kind() const {
        if (video) return MediaKind::Video;
        if (audio) return MediaKind::Audio;
        return std::nullopt;
    }
};

// A part of the input: a box or an element, its body [body, end).
struct Part {
    std::uint64_t id = 0;
    std::uint64_t body = 0;
    std::uint64_t end = 0;
};

// Hands the parts in [begin, end) to `found` until it returns true; `next`
// reads the part at an offset, or nothing where none can be read.
using PartReader = std::function<std::optional<Part>(std::uint64_t at, std::uint64_t end)>;
void ForEachPart(const PartReader& next, std::uint64_t begin, std::uint64_t end,
                 const std::function<bool(const Part&)>& found) {
    std::uint64_t at = begin;
    for (int seen = 0; seen < kMostChildren && at < end; ++seen) {
        const std::optional<Part> part = next(at, end);
        if (!part || part->end <= at || found(*part)) return;
        at = part->end;
    }
}

// ---- MP4, QuickTime ------------------------------------------------------------

constexpr std::uint64_t FourCc(const char (&name)[5]) {
    return std::uint64_t{static_cast<unsigned char>(name[0])} << 24 | std::uint64_t{static_cast<unsigned char>(name[1])} << 16 |
           std::uint64_t{static_cast<unsigned char>(name[2])} << 8 | static_cast<unsigned char>(name[3]);
}

std::optional<Part> ReadBox(const ByteSource& input, std::uint64_t at, std::uint64_t end) {
    const std::string head = input.Read(at, 16);
    if (head.size() < 8) return std::nullopt;
    std::uint64_t size = Be(head, 0, 4);
    std::uint64_t header = 8;
    if (size == 1) {
        if (head.size() < 16) return std::nullopt;
        size = Be(head, 8, 8);
        header = 16;
    } else if (size == 0) {
        size = end - at;  // to the end of what holds it
    }
    if (size < header) return std::nullopt;
    return Part{Be(head, 4, 4), at + header, size > end - at ? end : at + size};
}

// The first child box of this type inside a box.
std::optional<Part> FindBox(const ByteSource& input, const Part& parent, std::uint64_t type) {
    std::optional<Part> box;
    ForEachPart([&](std::uint64_t at, std::uint64_t end) { return ReadBox(input, at, end); }, parent.body, parent.end,
                [&](const Part& part) {
                    if (part.id == type) box = part;
                    return box.has_value();
                });
    return box;
}

void ReadMp4Track(const ByteSource& input, const Part& trak, Tracks& tracks) {
    const auto media = FindBox(input, trak, FourCc("mdia"));
    if (!media) return;
    const auto handler = FindBox(input, *media, FourCc("hdlr"));
    if (!handler) return;
    const std::string type = input.Read(handler->body + 8, 4);  // after version, flags and a field
    if (type == "soun") tracks.audio = true;
    if (type != "vide") return;
    // One sample is a still picture; a count of 0 is a fragmented file whose
    // samples come later.
    std::optional<Part> sizes;
    if (const auto info = FindBox(input, *media, FourCc("minf"))) {
        if (const auto table = FindBox(input, *info, FourCc("stbl"))) sizes = FindBox(input, *table, FourCc("stsz"));
    }
    const std::string count = sizes ? input.Read(sizes->body + 8, 4) : std::string();
    if (count.size() < 4 || Be(count, 0, 4) != 1) tracks.video = true;
}

std::optional<MediaKind> ReadMp4(const ByteSource& input) {
    static constexpr std::array kFirstBoxes{FourCc("ftyp"), FourCc("moov"), FourCc("mdat"), FourCc("free"),
                                           FourCc("skip"), FourCc("wide")};
    const auto first = ReadBox(input, 0, input.size());
    if (!first || std::find(kFirstBoxes.begin(), kFirstBoxes.end(), first->id) == kFirstBoxes.end()) return std::nullopt;
    const auto moov = FindBox(input, Part{0, 0, input.size()}, FourCc("moov"));
    if (!moov) return std::nullopt;
    Tracks tracks;
    ForEachPart([&](std::uint64_t at, std::uint64_t end) { return ReadBox(input, at, end); }, moov->body, moov->end,
                [&](const Part& part) {
                    if (part.id == FourCc("trak")) ReadMp4Track(input, part, tracks);
                    return false;
                });
    return tracks.kind();
}

// ---- Matroska, WebM ------------------------------------------------------------

constexpr std::uint64_t kEbml = 0x1A45DFA3;
constexpr std::uint64_t kSegment = 0x18538067;
constexpr std::uint64_t kTracks = 0x1654AE6B;
constexpr std::uint64_t kCluster = 0x1F43B675;
constexpr std::uint64_t kTrackEntry = 0xAE;
constexpr std::uint64_t kTrackType = 0x83;
constexpr std::uint64_t kCodecId = 0x86;
constexpr std::uint64_t kCodecPrivate = 0x63A2;

// An EBML variable-length number: its length from the first byte's leading
// zeros (at most `longest`), the marker bit kept for an ID.
std::optional<std::pair<std::uint64_t, std::size_t>> ReadVint(std::string_view b, std::size_t at, std::size_t longest,
                                                              bool keepMarker) {
    if (at >= b.size()) return std::nullopt;
    const auto first = static_cast<unsigned char>(b[at]);
    std::size_t length = 1;
    while (length <= longest && (first & (0x80u >> (length - 1))) == 0) ++length;
    if (length > longest || at + length > b.size()) return std::nullopt;
    std::uint64_t value = Be(b, at, length);
    if (!keepMarker) value &= (std::uint64_t{1} << (7 * length)) - 1;
    return std::pair{value, length};
}

std::optional<Part> ReadElement(const ByteSource& input, std::uint64_t at, std::uint64_t end) {
    const std::string head = input.Read(at, 12);
    const auto id = ReadVint(head, 0, 4, true);
    if (!id) return std::nullopt;
    const auto size = ReadVint(head, id->second, 8, false);
    if (!size) return std::nullopt;
    const std::uint64_t body = at + id->second + size->second;
    const bool unknown = size->first == (std::uint64_t{1} << (7 * size->second)) - 1;
    if (body > end) return std::nullopt;
    return Part{id->first, body, unknown || size->first > end - body ? end : body + size->first};
}

// Still-image codecs, by the FourCC of a Video for Windows header.
bool IsPictureFourCc(std::string_view fourCc) {
    static constexpr std::array<std::string_view, 5> kPictures{"MJPG", "MPNG", "PNG ", "png ", "JPEG"};
    return std::find(kPictures.begin(), kPictures.end(), fourCc) != kPictures.end();
}

void ReadMatroskaTrack(const ByteSource& input, const Part& entry, Tracks& tracks) {
    std::uint64_t type = 0;
    std::string codec;
    std::string bitmapHeader;
    ForEachPart([&](std::uint64_t at, std::uint64_t end) { return ReadElement(input, at, end); }, entry.body, entry.end,
                [&](const Part& part) {
                    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(part.end - part.body, 64));
                    if (part.id == kTrackType && length <= 8) type = Be(input.Read(part.body, length), 0, length);
                    if (part.id == kCodecId) codec = input.Read(part.body, length);
                    if (part.id == kCodecPrivate) bitmapHeader = input.Read(part.body, 20);
                    return false;
                });
    if (type == 2) tracks.audio = true;
    if (type != 1) return;
    const bool picture = codec == "V_MJPEG" ||
                         (codec == "V_MS/VFW/FOURCC" && bitmapHeader.size() >= 20 && IsPictureFourCc(bitmapHeader.substr(16, 4)));
    if (!picture) tracks.video = true;
}

std::optional<MediaKind> ReadMatroska(const ByteSource& input) {
    const auto header = ReadElement(input, 0, input.size());
    if (!header || header->id != kEbml) return std::nullopt;
    const auto segment = ReadElement(input, header->end, input.size());
    if (!segment || segment->id != kSegment) return std::nullopt;
    const auto element = [&](std::uint64_t at, std::uint64_t end) { return ReadElement(input, at, end); };
    Tracks tracks;
    // The track list comes before the first cluster.
    ForEachPart(element, segment->body, segment->end, [&](const Part& part) {
        if (part.id == kTracks) {
            ForEachPart(element, part.body, part.end, [&](const Part& entry) {
                if (entry.id == kTrackEntry) ReadMatroskaTrack(input, entry, tracks);
                return false;
            });
        }
        return part.id == kTracks || part.id == kCluster;
    });
    return tracks.kind();
}

// ---- Ogg -------------------------------------------------------------------------

std::optional<MediaKind> ReadOgg(const ByteSource& input) {
    static constexpr std::array<std::string_view, 3> kVideo{"\x80theora", "\x80" "daala", "BBCD"};
    static constexpr std::array<std::string_view, 5> kAudio{"\x01vorbis", "OpusHead", "\x7f" "FLAC", "fLaC", "Speex   "};
    const auto startsWithOne = [](const std::string& packet, const auto& heads) {
        return std::any_of(heads.begin(), heads.end(), [&](std::string_view head) { return packet.starts_with(head); });
    };
    Tracks tracks;
    std::uint64_t at = 0;
    // Every stream's first page comes before any other page.
    for (int page = 0; page < kMostChildren; ++page) {
        const std::string head = input.Read(at, 27);
        if (head.size() < 27 || !head.starts_with("OggS") || (Byte(head, 5) & 0x02) == 0) break;
        const std::size_t segments = Byte(head, 26);
        const std::string lacing = input.Read(at + 27, segments);
        if (lacing.size() < segments) break;
        std::uint64_t bodySize = 0;
        for (std::size_t i = 0; i < segments; ++i) bodySize += Byte(lacing, i);
        const std::string packet = input.Read(at + 27 + segments, 8);
        if (startsWithOne(packet, kVideo)) tracks.video = true;
        if (startsWithOne(packet, kAudio)) tracks.audio = true;
        at += 27 + segments + bodySize;
    }
    return tracks.kind();
}

// ---- ASF -------------------------------------------------------------------------

constexpr std::string_view kAsfHeader{"\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16};
constexpr std::string_view kAsfStreamProperties{"\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65", 16};
constexpr std::string_view kAsfAudioMedia{"\x40\x9E\x69\xF8\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B", 16};
constexpr std::string_view kAsfVideoMedia{"\xC0\xEF\x19\xBC\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B", 16};

std::optional<MediaKind> ReadAsf(const ByteSource& input) {
    const std::string head = input.Read(0, 24);
    if (head.size() < 24 || !head.starts_with(kAsfHeader)) return std::nullopt;
    // Stream Properties Objects stand in the header, and inside its header
    // extension (the extended stream properties): found wherever they are.
    const std::string header =
        input.Read(0, static_cast<std::size_t>(std::min<std::uint64_t>(Le(head, 16, 8), kMostHeaderBytes)));
    Tracks tracks;
    for (std::size_t at = header.find(kAsfStreamProperties, 24); at != std::string::npos;
         at = header.find(kAsfStreamProperties, at + 1)) {
        const std::string_view type = std::string_view(header).substr(std::min(at + 24, header.size()), 16);
        if (type == kAsfAudioMedia) tracks.audio = true;
        if (type != kAsfVideoMedia) continue;
        // The type-specific data (after 78 bytes) is a bitmap header behind 11
        // bytes; its compression FourCC is 16 bytes in.
        constexpr std::size_t kFourCcAt = 78 + 11 + 16;
        const bool picture = at + kFourCcAt + 4 <= header.size() && IsPictureFourCc(header.substr(at + kFourCcAt, 4));
        if (!picture) tracks.video = true;
    }
    return tracks.kind();
}

}  // namespace

std::optional<MediaKind> ReadContainerKind(const ByteSource& input) {
    for (const auto reader : {ReadMatroska, ReadOgg, ReadAsf, ReadMp4}) {
        if (const auto kind = reader(input)) return kind;
    }
    return std::nullopt;
}

}  // namespace qorvane
