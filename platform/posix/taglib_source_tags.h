#pragma once
// Tags of the formats TagLib knows, read through its format-neutral property
// map (TITLE, ARTIST, ALBUM, DATE, COPYRIGHT, GENRE, TRACKNUMBER, DISCNUMBER,
// ALBUMARTIST, COMPOSER, COMMENT) and each format's own picture list
// (platform/posix/taglib_pictures.h). Several values of one field are joined
// with "; "; Year is the first four digits of DATE, Track the number before
// any "/".
//
// The format is chosen by the extension (platform/posix/taglib_formats.h);
// .wav gives its RIFF INFO only (below); every other extension gives nothing.

#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/code_page.h"
#include "platform/posix/taglib_formats.h"
#include "tags/source_tags.h"

namespace qorvane {

// Nothing for an extension not listed above, a file TagLib cannot read as
// its format, or one whose tags are all empty. Throws FileOpenError when the file cannot be opened.
std::optional<SourceTags> ReadTagLibTags(const std::filesystem::path& source, bool pictures);

// A WAV file's RIFF INFO chunk: INAM, IART, IPRD, ICRD, ICOP, IGNR, ICMT,
// ITRK (or IPRT). Its text is 8-bit text in whatever code page the writer used, read by
// the ID3 reader's rules (UTF-8, else legacyCodePage, else Latin-1). Nothing
// when the file has no INFO chunk or holds none of those fields. Throws
// FileOpenError when the file cannot be opened.
std::optional<SourceTags> ReadRiffInfoTags(const std::filesystem::path& source, const CodePage& legacyCodePage);

}  // namespace qorvane
