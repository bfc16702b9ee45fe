#pragma once
// Reads the ID3 tags of one media file and tells whether it holds MPEG audio:
// a plain MP3 stream (ID3v2.2/2.3/2.4 at the start, or ID3v1/1.1 at the end),
// or MP3 data inside a RIFF/WAVE file (format tag 0x0055). MPEG 1 and 2
// frames (sync 0xFFF) and MPEG 2.5 frames (sync 0xFFE: 8, 11.025, 12 kHz)
// count as MPEG audio.
//
// Usage: one object per file, ReadTags once, copy the wanted fields out.
//
//     qorvane::Cp932CodePage cp932;          // platform/posix/cp932_code_page.h
//     qorvane::TID3v2 id3(cp932);
//     if (id3.ReadTags(path)) row.Title = id3.Title;
//
// All text fields hold valid UTF-8 (the system code page here). Text that a
// tag stores in a legacy 8-bit code page (Shift-JIS from Japanese Windows,
// Latin-1 from elsewhere) is decoded with the code page passed in: bytes that
// are not valid UTF-8 are read as CP932 when they are valid CP932 outside its
// user-defined rows, else as Latin-1 (TagTextCodePage in tags/id3_text.h).
// UTF-16 frame text is converted to UTF-8.
//
// Frame sizes of version 2.4 tags are read as synchsafe numbers (falling back
// to plain ones where a writer stored those), a 2.4 footer is stepped over
// before the audio is looked for, and UTF-16 text honours its byte-order mark.
// A version 4 recording time ("TDRC", where current taggers keep the year)
// gives Year its first four digits when the tag has no "TYER".
//
// A file that cannot be opened, or a path that names no regular file (a
// folder, a FIFO), makes ReadTags throw qorvane::FileOpenError
// (platform/file_open_error.h). Every other problem (short file, broken sizes)
// ends in false or in empty fields, never in an error.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "tags/id3_genres.h"
#include "tags/source_tags.h"

namespace qorvane {

class Id3FileReader;

class TID3v2 {
public:
    // legacyCodePage decodes 8-bit tag text that is not UTF-8 (normally a
    // Cp932CodePage). It must outlive the object.
    explicit TID3v2(const CodePage& legacyCodePage) : legacy_(&legacyCodePage) {}

    // True when the file was recognised as MPEG audio; the text fields and
    // Track are meant to be used only then. Throws FileOpenError when the
    // file cannot be opened for reading.
    bool ReadTags(const std::filesystem::path& path);

    // ID3v2: tag size from the header (header and footer not included);
    // 128 after an ID3v1 read.
    std::int32_t TagSize = 0;
    // ID3v2: 2, 3 or 4; 1 after an ID3v1 read.
    std::int32_t MajorVersion = 0;
    // ID3v2: revision byte; 2 after an ID3v1 read.
    std::int32_t Revision = 0;
    // ID3v2 header flags. Unsynchronisation and Experimental are recorded only.
    bool Unsynchronisation = false;
    bool ExtendedHeader = false;
    bool Experimental = false;
    bool FooterPresent = false;

    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;       // as stored, not checked to be numeric
    std::string Comment;
    std::string Copyright;  // ID3v2 only
    std::string Genre;
    std::int32_t Track = 0;        // 0: none
    std::int32_t AudioOffset = 0;  // file offset of the first audio byte
    // ID3v2 only, as the output carries them over.
    std::string AlbumArtist;  // "TPE2"
    std::string Disc;         // "TPOS", as written: "1" or "1/2"
    std::string Composer;     // "TCOM"
    std::vector<SourcePicture> Pictures;  // "APIC" / "PIC", in tag order

    // False: picture frames are passed over unread. A row needs none of
    // them, and they are most of a tag's bytes.
    bool ReadPictures = true;

private:
    bool readId3v2(Id3FileReader& file, const unsigned char* header);
    bool readRiffWave(Id3FileReader& file);
    bool readId3v1(Id3FileReader& file);
    std::uint32_t frameSize(Id3FileReader& file, const unsigned char* sizeBytes,
                            std::uint64_t bodyStart);
    // The text of one ID3v2 frame whose `length` bytes after the encoding
    // byte start at `offset`; empty when fewer bytes arrive.
    std::string ReadTextFrame(Id3FileReader& file, std::uint64_t offset, std::uint32_t length,
                              unsigned char encoding);
    void readPictureFrame(Id3FileReader& file, std::uint64_t offset, std::uint32_t length,
                          unsigned char encoding, bool shortLayout);
    std::string ReadCommentFrame(Id3FileReader& file, std::uint64_t offset,
                                 std::uint32_t length, unsigned char encoding);

    const CodePage* legacy_;
};

}  // namespace qorvane
