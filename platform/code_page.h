#pragma once
// The program's text is byte text in one "system code page". On Linux that is
// UTF-8, where a multi-byte sequence plays the part of a double-byte
// character. CP932 (Japanese Windows) is provided as well so that the
// algorithms defined on double-byte text can be checked with its own bytes,
// and so that legacy tag text can be decoded.

#include <cstddef>
#include <string>
#include <string_view>

namespace qorvane {

class CodePage {
public:
    virtual ~CodePage() = default;

    // True when the byte starts a multi-byte character.
    virtual bool isLeadByte(unsigned char byte) const = 0;

    // Number of bytes of the character that starts at text[pos]. For a lead
    // byte this is the length the character needs, which may run past the end
    // of the text when the text is cut inside a character. pos < text.size().
    virtual std::size_t charLength(std::string_view text, std::size_t pos) const = 0;

    // True when every byte of the text forms a valid character.
    virtual bool isValid(std::string_view text) const = 0;

    // Conversions; invalid input becomes U+FFFD (or '?' when encoding), never
    // invalid output.
    virtual std::u16string toUtf16(std::string_view text) const = 0;
    virtual std::string fromUtf16(std::u16string_view text) const = 0;
};

// UTF-8, the system code page on Linux. Pure standard C++.
class Utf8CodePage final : public CodePage {
public:
    bool isLeadByte(unsigned char byte) const override;
    std::size_t charLength(std::string_view text, std::size_t pos) const override;
    bool isValid(std::string_view text) const override;
    std::u16string toUtf16(std::string_view text) const override;
    std::string fromUtf16(std::u16string_view text) const override;
};

// Text from older files often is not UTF-8: tag writers on Japanese Windows
// stored Shift-JIS (CP932), others Latin-1. This turns such bytes into valid
// UTF-8: valid UTF-8 stays as it is, else valid CP932 is converted, else the
// bytes are read as Latin-1.
std::string DecodeLegacyText(std::string_view bytes, const CodePage& cp932);

}  // namespace qorvane
