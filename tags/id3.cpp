#include "tags/id3.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

#include "tags/id3_file_reader.h"
#include "tags/id3_picture.h"
#include "tags/id3_text.h"

namespace qorvane {

namespace {

constexpr std::uint64_t kHeaderSize = 10;
constexpr std::uint64_t kId3v1Size = 128;

std::uint32_t BigEndian(const unsigned char* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
    return value;
}

std::uint32_t LittleEndian(const unsigned char* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}

// Seven bits per byte, most significant first.
std::uint32_t SynchSafe(const unsigned char* p) {
    return (p[0] & 0x7Fu) << 21 | (p[1] & 0x7Fu) << 14 | (p[2] & 0x7Fu) << 7 | (p[3] & 0x7Fu);
}

// MPEG 1 and 2 (sync 0xFFF) or MPEG 2.5 (sync 0xFFE, version bits 00); the
// version bits 01 are reserved.
bool IsMpegSync(const unsigned char* p) {
    return p[0] == 0xFF && ((p[1] & 0xF0) == 0xF0 || (p[1] & 0xF8) == 0xE0);
}

std::int32_t ToOffset(std::uint64_t offset) {
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(offset < kMax ? offset : kMax);
}

enum class FrameKind {
    Title, Subtitle, Artist, Genre, Album, Year, Copyright, Comment, Track,
    AlbumArtist, Disc, Composer, RecordingTime, Picture, Other
};

struct FrameName {
    std::string_view shortId;  // version 2
    std::string_view longId;   // versions 3 and 4
    FrameKind kind;
};

constexpr FrameName kFrames[] = {
    {"TT2", "TIT2", FrameKind::Title},     {"TT3", "TIT3", FrameKind::Subtitle},
    {"TP1", "TPE1", FrameKind::Artist},    {"TCO", "TCON", FrameKind::Genre},
    {"TAL", "TALB", FrameKind::Album},     {"TYE", "TYER", FrameKind::Year},
    {"TCR", "TCOP", FrameKind::Copyright}, {"COM", "COMM", FrameKind::Comment},
    {"TRK", "TRCK", FrameKind::Track},     {"TP2", "TPE2", FrameKind::AlbumArtist},
    {"TPA", "TPOS", FrameKind::Disc},      {"TCM", "TCOM", FrameKind::Composer},
    {"", "TDRC", FrameKind::RecordingTime}, {"PIC", "APIC", FrameKind::Picture},
};

FrameKind KindOf(std::string_view id, bool shortLayout) {
    // Padding and most other frames are told apart by their first letter;
    // the walk over a long padding stays cheap.
    if (id[0] != 'T' && id[0] != 'C' && id[0] != 'A' && id[0] != 'P') return FrameKind::Other;
    for (const FrameName& frame : kFrames) {
        if (id == (shortLayout ? frame.shortId : frame.longId)) return frame.kind;
    }
    return FrameKind::Other;
}

// True when a frame may begin at `offset`: the tag ends there, padding starts
// there, or four letters or digits stand there.
bool LooksLikeFrameStart(Id3FileReader& file, std::uint64_t offset, std::uint64_t tagEnd) {
    if (offset == tagEnd) return true;
    if (offset > tagEnd) return false;
    unsigned char id[4];
    if (file.readAt(offset, id, 4) < 4) return false;
    if (id[0] == 0 && id[1] == 0 && id[2] == 0 && id[3] == 0) return true;
    for (const unsigned char c : id) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

bool Wanted(FrameKind kind, const TID3v2& id3) {
    switch (kind) {
        case FrameKind::Other: return false;
        case FrameKind::Subtitle: return id3.Comment.empty();  // a comment wins
        case FrameKind::Picture: return id3.ReadPictures;
        default: return true;
    }
}

}  // namespace

bool TID3v2::ReadTags(const std::filesystem::path& path) {
    Title.clear();
    Artist.clear();
    Album.clear();
    Year.clear();
    Comment.clear();
    Copyright.clear();
    Genre.clear();
    Track = 0;
    AudioOffset = 0;
    AlbumArtist.clear();
    Disc.clear();
    Composer.clear();
    Pictures.clear();

    Id3FileReader file(path);
    unsigned char header[kHeaderSize];
    if (file.readAt(0, header, kHeaderSize) < kHeaderSize) return false;
    if (std::memcmp(header, "ID3", 3) == 0) return readId3v2(file, header);

    // No ID3v2 tag: the file must start with audio or be MP3 inside RIFF/WAVE.
    if (!file.holds(0, kId3v1Size)) return false;
    if (IsMpegSync(header)) return readId3v1(file);
    if (std::memcmp(header, "RIFF", 4) == 0) return readRiffWave(file) && readId3v1(file);
    return false;
}

bool TID3v2::readId3v2(Id3FileReader& file, const unsigned char* header) {
    MajorVersion = header[3];
    Revision = header[4];
    Unsynchronisation = (header[5] & 0x80) != 0;
    ExtendedHeader = (header[5] & 0x40) != 0;
    Experimental = (header[5] & 0x20) != 0;
    FooterPresent = (header[5] & 0x10) != 0;
    TagSize = static_cast<std::int32_t>(SynchSafe(header + 6));

    // Frames lie between the header and the end of the tag (the footer, when
    // there is one, follows that end).
    const std::uint64_t tagEnd = kHeaderSize + static_cast<std::uint64_t>(TagSize);
    const bool shortLayout = MajorVersion == 2;
    const std::uint64_t frameHeaderSize = shortLayout ? 6 : 10;
    std::int64_t count = TagSize;  // tag bytes left to walk
    std::uint64_t pos = kHeaderSize;
    bool hasYearFrame = false;
    std::string recordingYear;

    if (MajorVersion > 2 && ExtendedHeader) {
        unsigned char ext[10] = {};
        if (file.readAt(pos, ext, 10) < 4) {
            count = 0;
        } else if (MajorVersion == 3) {
            // Size S (6 or 10, not counting itself), flags, padding size, CRC.
            const std::uint32_t size = BigEndian(ext, 4);
            count -= size;
            if (size == 10) count -= BigEndian(ext + 6, 4);
            pos += 4 + static_cast<std::uint64_t>(size);
        } else {
            const std::uint32_t size = SynchSafe(ext);  // counts itself
            count -= size;
            pos += size;
        }
    }
    if (MajorVersion > 3 && FooterPresent) count -= 10;

    while (count > 0) {
        // Padding reads as frames of size 0 that name nothing; passing a run
        // of them in one step gives the same result as walking it.
        const std::uint64_t zeroFrames = file.zeroBytesAt(pos) / frameHeaderSize;
        if (zeroFrames > 0) {
            const auto left = static_cast<std::uint64_t>(count);
            const auto steps =
                std::min<std::uint64_t>(zeroFrames, (left + frameHeaderSize - 1) / frameHeaderSize);
            pos += steps * frameHeaderSize;
            count -= static_cast<std::int64_t>(steps * frameHeaderSize);
            continue;
        }
        unsigned char frame[11];
        if (file.readAt(pos, frame, frameHeaderSize + 1) < frameHeaderSize + 1) break;
        const std::string_view id(reinterpret_cast<const char*>(frame), shortLayout ? 3 : 4);
        const std::uint64_t bodyStart = pos + frameHeaderSize;
        const std::uint32_t size =
            shortLayout ? BigEndian(frame + 3, 3) : frameSize(file, frame + 4, bodyStart);
        count -= static_cast<std::int64_t>(frameHeaderSize + size);
        const unsigned char encoding = frame[frameHeaderSize];

        const FrameKind kind = KindOf(id, shortLayout);
        if (Wanted(kind, *this)) {
            // A frame that claims more than the tag or the file holds is not
            // read at all; a frame of size 0 has no encoding byte and no text.
            const std::uint64_t end = bodyStart + size;
            const bool readable = size > 0 && end <= tagEnd && file.holds(bodyStart, size);
            std::string text;
            if (readable && kind == FrameKind::Comment) {
                text = ReadCommentFrame(file, bodyStart + 1, size - 1, encoding);
            } else if (readable && kind == FrameKind::Picture) {
                readPictureFrame(file, bodyStart + 1, size - 1, encoding, shortLayout);
            } else if (readable) {
                text = ReadTextFrame(file, bodyStart + 1, size - 1, encoding);
            }
            switch (kind) {
                case FrameKind::Title: Title = std::move(text); break;
                case FrameKind::Subtitle: Comment = std::move(text); break;
                case FrameKind::Artist: Artist = std::move(text); break;
                case FrameKind::Album: Album = std::move(text); break;
                case FrameKind::Year:
                    Year = std::move(text);
                    hasYearFrame = true;
                    break;
                case FrameKind::RecordingTime: recordingYear = YearOfDate(text); break;
                case FrameKind::Copyright: Copyright = std::move(text); break;
                case FrameKind::Track: Track = TrackValue(text); break;
                case FrameKind::Genre:
                    if (auto genre = ResolveGenre(text)) Genre = std::move(*genre);
                    break;
                case FrameKind::Comment:
                    if (!text.empty()) Comment = std::move(text);
                    break;
                case FrameKind::AlbumArtist: AlbumArtist = std::move(text); break;
                case FrameKind::Disc: Disc = std::move(text); break;
                case FrameKind::Composer: Composer = std::move(text); break;
                case FrameKind::Picture:
                case FrameKind::Other: break;
            }
            if (!readable && size > 0) break;
        }
        pos = bodyStart + size;
    }

    if (!hasYearFrame) Year = std::move(recordingYear);

    // The audio follows the header, the tag and, in version 4, the footer.
    std::uint64_t audio = tagEnd;
    if (MajorVersion > 3 && FooterPresent) audio += 10;
    AudioOffset = ToOffset(audio);
    unsigned char sync[4];
    return file.readAt(audio, sync, 4) == 4 && IsMpegSync(sync);
}

std::uint32_t TID3v2::frameSize(Id3FileReader& file, const unsigned char* sizeBytes,
                                std::uint64_t bodyStart) {
    const std::uint32_t plain = BigEndian(sizeBytes, 4);
    if (MajorVersion != 4 || plain < 0x80) return plain;
    // Version 4 sizes are synchsafe, but some writers stored plain numbers
    // there; where the two readings differ, the one after which a frame (or
    // the end of the tag) follows wins.
    if (((sizeBytes[0] | sizeBytes[1] | sizeBytes[2] | sizeBytes[3]) & 0x80) != 0) return plain;
    const std::uint32_t synchSafe = SynchSafe(sizeBytes);
    if (synchSafe == plain) return plain;
    const std::uint64_t tagEnd = kHeaderSize + static_cast<std::uint64_t>(TagSize);
    if (!LooksLikeFrameStart(file, bodyStart + synchSafe, tagEnd) &&
        LooksLikeFrameStart(file, bodyStart + plain, tagEnd)) {
        return plain;
    }
    return synchSafe;
}

std::string TID3v2::ReadTextFrame(Id3FileReader& file, std::uint64_t offset,
                                  std::uint32_t length, unsigned char encoding) {
    std::string bytes(length, '\0');
    if (file.readAt(offset, bytes.data(), length) < length) return {};
    return DecodeFrameText(bytes, encoding, *legacy_);
}

std::string TID3v2::ReadCommentFrame(Id3FileReader& file, std::uint64_t offset,
                                     std::uint32_t length, unsigned char encoding) {
    // Three bytes of language code (not used), then description and text.
    if (length < 3) return {};
    std::string bytes(length - 3, '\0');
    if (file.readAt(offset + 3, bytes.data(), bytes.size()) < bytes.size()) return {};
    return DecodeCommentText(bytes, encoding, *legacy_);
}

void TID3v2::readPictureFrame(Id3FileReader& file, std::uint64_t offset, std::uint32_t length,
                              unsigned char encoding, bool shortLayout) {
    std::string bytes(length, '\0');
    if (file.readAt(offset, bytes.data(), length) < length) return;
    if (auto picture = DecodePictureFrame(bytes, encoding, shortLayout, *legacy_)) {
        Pictures.push_back(std::move(*picture));
    }
}

bool TID3v2::readRiffWave(Id3FileReader& file) {
    unsigned char bytes[4];
    if (file.readAt(8, bytes, 4) < 4 || std::memcmp(bytes, "WAVE", 4) != 0) return false;
    if (file.readAt(12, bytes, 4) < 4 || std::memcmp(bytes, "fmt ", 4) != 0) return false;
    if (file.readAt(16, bytes, 4) < 4) return false;
    std::uint64_t offset = LittleEndian(bytes, 4) + std::uint64_t{20};
    AudioOffset = ToOffset(offset);
    if (file.readAt(20, bytes, 2) < 2 || LittleEndian(bytes, 2) != 0x0055) return false;

    // Walk the chunks after the format chunk to the first byte of "data".
    // Every step moves forward, so the walk ends at the end of the file.
    while (file.readAt(offset, bytes, 4) == 4) {
        if (std::memcmp(bytes, "data", 4) == 0) {
            AudioOffset = ToOffset(offset + 8);
            break;
        }
        if (file.readAt(offset + 4, bytes, 4) < 4) break;
        offset += 8 + std::uint64_t{LittleEndian(bytes, 4)};
    }
    return true;
}

bool TID3v2::readId3v1(Id3FileReader& file) {
    unsigned char tag[kId3v1Size];
    if (file.readLast(tag, kId3v1Size) < kId3v1Size) return false;
    if (std::memcmp(tag, "TAG", 3) != 0) return true;

    const std::string_view bytes(reinterpret_cast<const char*>(tag), kId3v1Size);
    TagSize = static_cast<std::int32_t>(kId3v1Size);
    MajorVersion = 1;
    Revision = 2;
    Title = Id3v1FieldText(bytes.substr(3), 30, *legacy_);
    Artist = Id3v1FieldText(bytes.substr(33), 30, *legacy_);
    Album = Id3v1FieldText(bytes.substr(63), 30, *legacy_);
    Year = Id3v1FieldText(bytes.substr(93), 4, *legacy_);
    // In the ID3v1.1 layout byte 125 is the zero that ends the comment.
    Comment = Id3v1FieldText(bytes.substr(97), 30, *legacy_);
    Copyright.clear();
    const unsigned char genre = tag[127];
    Genre.clear();
    if (genre < kGenreCount) {
        Genre.append("(").append(std::to_string(genre)).append(")").append(GenreNames[genre]);
    }
    Track = tag[125] == 0 ? tag[126] : 0;
    return true;
}

}  // namespace qorvane
