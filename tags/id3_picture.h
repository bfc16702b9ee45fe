#pragma once
// Attached pictures of ID3v2 tags: "APIC" (versions 3 and 4) and "PIC"
// (version 2).

#include <optional>
#include <string_view>

#include "platform/code_page.h"
#include "tags/source_tags.h"

namespace qorvane {

// One picture frame, given the bytes after its encoding byte. "APIC" holds a
// zero-terminated MIME type, "PIC" (shortLayout) a three-letter image format
// ("JPG" and "PNG" become image/jpeg and image/png); then the picture type,
// the description in the frame's encoding and the picture's bytes. Nothing
// when the frame ends before its picture does or holds no bytes of one.
std::optional<SourcePicture> DecodePictureFrame(std::string_view bytes, unsigned char encoding,
                                                bool shortLayout, const CodePage& legacy);

}  // namespace qorvane
