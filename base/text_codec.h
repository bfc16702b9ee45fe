#pragma once
// Unicode conversions between UTF-8, UTF-16 and Latin-1 that need nothing
// beyond the standard library.

#include <cstddef>
#include <string>
#include <string_view>

namespace qorvane {

// Length of the well-formed UTF-8 sequence at text[pos]: 1 for ASCII and for
// any byte that does not start a well-formed sequence; 0 when pos is past the end.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos);

// Length a UTF-8 lead byte announces (2 to 4), or 1 for any other byte.
std::size_t Utf8ExpectedLength(unsigned char lead);

bool IsValidUtf8(std::string_view text);

// Ill-formed input becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
std::string Latin1ToUtf8(std::string_view text);

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace qorvane
