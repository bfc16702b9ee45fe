#pragma once
// A source file's tags, by its format. The formats TagLib knows go through
// TagLib (platform/posix/taglib_source_tags.h), chosen by the extension; MP3,
// WAV and every other file go through the program's own ID3 reader (its
// code-page rules, ID3v1, MP3 inside WAV), as they always have. A WAV file
// without ID3 tags falls back to its RIFF INFO chunk. Audio properties are never read, so a file costs little more
// than its tags.
//
//     const qorvane::Cp932CodePage cp932;
//     const qorvane::FileMediaTagReader reader(cp932);
//     if (auto tags = reader.read("song.flac")) show(tags->Title);

#include "platform/code_page.h"
#include "tags/source_tags.h"

namespace qorvane {

class FileMediaTagReader final : public MediaTagReader {
public:
    enum class Pictures { Read, Skip };

    // legacyCodePage decodes 8-bit ID3 text that is not UTF-8; it must
    // outlive the reader. Pictures::Skip leaves them out where they can be
    // left unread (a job row needs none).
    explicit FileMediaTagReader(const CodePage& legacyCodePage, Pictures pictures = Pictures::Read)
        : legacy_(&legacyCodePage), pictures_(pictures) {}

    // Nothing for a file the ID3 reader finds no MPEG audio in (a WAV file
    // without RIFF INFO, Matroska, which TagLib does not read, and the like)
    // and for a file TagLib cannot make sense of or finds no tags in. MPEG
    // audio gives what the ID3 reader read, empty or not. Throws
    // FileOpenError when the file cannot be opened.
    std::optional<SourceTags> read(const std::filesystem::path& source) const override;

private:
    const CodePage* legacy_;
    Pictures pictures_;
};

}  // namespace qorvane
