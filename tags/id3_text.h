#pragma once
// Turning the bytes of ID3 fields and frames into UTF-8 text.
//
// 8-bit tag text is whatever code page the writing program used. Bytes that
// are valid UTF-8 stay as they are; otherwise the legacy code page (normally
// CP932) decodes them when they are valid in it and stay out of its
// user-defined rows, else they are Latin-1. TagTextCodePage makes that choice
// for every 8-bit text of a tag.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace qorvane {

// The code page 8-bit tag text is read in: UTF-8 when the bytes are valid
// UTF-8; else `legacy` when they are valid in it and none of them decodes to
// the private use area (U+E000-U+F8FF, where CP932's user-defined rows, lead
// bytes 0xF0-0xF9, lie: real Japanese tags do not use them, while Latin-1
// letters such as "ö" (0xF6) fall there); else null, which means Latin-1.
// A non-null result is `legacy` or an object that lives as long as the program.
const CodePage* TagTextCodePage(std::string_view bytes, const CodePage& legacy);

// One fixed-width ID3v1 field as bytes in the code page it is written in:
// at most `width` bytes (and never past `bytes`), up to the first zero byte,
// with trailing single-byte spaces removed and leading ones kept. A lead byte
// of `codePage` is taken together with its trail bytes, which never count as
// spaces; a character cut off by the end of the field (or by a zero byte) is
// dropped. A null `codePage` means single-byte text.
std::string TrimTagField(std::string_view bytes, std::size_t width, const CodePage* codePage);

// An ID3v1 field as UTF-8: the code page is chosen by TagTextCodePage from
// the field's bytes up to its first zero byte, the field is trimmed with that
// code page's lead bytes, then converted.
std::string Id3v1FieldText(std::string_view bytes, std::size_t width, const CodePage& legacy);

// The text of an ID3v2 text frame, given the bytes after its encoding byte.
// Encoding 1: UTF-16 with optional byte-order marks (little-endian when none),
// up to the first zero code unit. Encoding 2: UTF-16 big-endian. Any other
// value: 8-bit text up to the first zero byte, in the code page
// TagTextCodePage chooses.
std::string DecodeFrameText(std::string_view bytes, unsigned char encoding,
                            const CodePage& legacy);

// Where the text after a content description (of a comment or a picture
// frame) starts: just past the description's terminator, one zero code unit
// for UTF-16 (encodings 1 and 2), else one zero byte. npos when the
// description has no terminator.
std::size_t DescriptionEnd(std::string_view bytes, unsigned char encoding);

// The text of a comment frame, given the bytes after its language code: the
// content description and its terminator are passed over and the rest is
// read as by DecodeFrameText. Empty when the description has no terminator.
std::string DecodeCommentText(std::string_view bytes, unsigned char encoding,
                              const CodePage& legacy);

// The value of the leading decimal digits ("3/12" gives 3, "A1" gives 0),
// held at INT32_MAX when it would grow past it.
std::int32_t TrackValue(std::string_view text);

// The year of a date as taggers write it ("2004", "2004-05-06T12:00"): its
// leading digits, at most four.
std::string YearOfDate(std::string_view date);

}  // namespace qorvane
