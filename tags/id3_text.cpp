#include "tags/id3_text.h"

#include <algorithm>
#include <limits>

#include "base/text_codec.h"

namespace qorvane {

namespace {

bool IsUtf16(unsigned char encoding) { return encoding == 1 || encoding == 2; }

std::string_view UpToZeroByte(std::string_view bytes) {
    const std::size_t zero = bytes.find('\0');
    return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

char16_t UnitAt(std::string_view bytes, std::size_t index, bool bigEndian) {
    const auto a = static_cast<unsigned char>(bytes[index * 2]);
    const auto b = static_cast<unsigned char>(bytes[index * 2 + 1]);
    return static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
}

// UTF-16 text up to the first zero unit (an odd last byte is ignored). Leading
// byte-order marks are skipped; the first one decides the byte order, which
// without a mark is little-endian for encoding 1 and big-endian for 2.
std::string Utf16FrameText(std::string_view bytes, unsigned char encoding) {
    const std::size_t units = bytes.size() / 2;
    bool bigEndian = encoding == 2;
    if (units > 0) {
        const auto b0 = static_cast<unsigned char>(bytes[0]);
        const auto b1 = static_cast<unsigned char>(bytes[1]);
        if (b0 == 0xFF && b1 == 0xFE) bigEndian = false;
        if (b0 == 0xFE && b1 == 0xFF) bigEndian = true;
    }
    std::size_t i = 0;
    while (i < units && (UnitAt(bytes, i, bigEndian) == 0xFEFF ||
                         UnitAt(bytes, i, bigEndian) == 0xFFFE)) {
        ++i;
    }
    std::u16string text;
    for (; i < units; ++i) {
        const char16_t unit = UnitAt(bytes, i, bigEndian);
        if (unit == 0) break;
        text += unit;
    }
    return Utf16ToUtf8(text);
}

const CodePage& Utf8Text() {
    static const Utf8CodePage utf8;
    return utf8;
}

// 8-bit text in the code page TagTextCodePage chose for it, as UTF-8.
std::string ToUtf8(std::string_view bytes, const CodePage* codePage) {
    if (codePage == nullptr) return Latin1ToUtf8(bytes);
    if (codePage == &Utf8Text()) return std::string(bytes);
    return Utf16ToUtf8(codePage->toUtf16(bytes));
}

}  // namespace

const CodePage* TagTextCodePage(std::string_view bytes, const CodePage& legacy) {
    if (IsValidUtf8(bytes)) return &Utf8Text();
    if (!legacy.isValid(bytes)) return nullptr;
    const std::u16string text = legacy.toUtf16(bytes);
    const bool privateUse =
        std::any_of(text.begin(), text.end(), [](char16_t u) { return u >= 0xE000 && u <= 0xF8FF; });
    return privateUse ? nullptr : &legacy;
}

std::string TrimTagField(std::string_view bytes, std::size_t width, const CodePage* codePage) {
    const std::string_view field = UpToZeroByte(bytes.substr(0, std::min(width, bytes.size())));
    std::size_t end = 0;  // just past the last byte that is not a space
    std::size_t pos = 0;
    while (pos < field.size()) {
        const auto byte = static_cast<unsigned char>(field[pos]);
        std::size_t length = 1;
        if (codePage != nullptr && codePage->isLeadByte(byte)) {
            length = codePage->charLength(field, pos);
            if (pos + length > field.size()) break;  // cut character: dropped
        }
        pos += length;
        if (length > 1 || byte != ' ') end = pos;
    }
    return std::string(field.substr(0, end));
}

std::string Id3v1FieldText(std::string_view bytes, std::size_t width, const CodePage& legacy) {
    const std::string_view raw = UpToZeroByte(bytes.substr(0, std::min(width, bytes.size())));
    const CodePage* codePage = TagTextCodePage(raw, legacy);
    return ToUtf8(TrimTagField(bytes, width, codePage), codePage);
}

std::string DecodeFrameText(std::string_view bytes, unsigned char encoding,
                            const CodePage& legacy) {
    if (IsUtf16(encoding)) return Utf16FrameText(bytes, encoding);
    const std::string_view text = UpToZeroByte(bytes);
    return ToUtf8(text, TagTextCodePage(text, legacy));
}

std::size_t DescriptionEnd(std::string_view bytes, unsigned char encoding) {
    if (IsUtf16(encoding)) {
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            if (bytes[i] == '\0' && bytes[i + 1] == '\0') return i + 2;
        }
        return std::string_view::npos;
    }
    const std::size_t zero = bytes.find('\0');
    return zero == std::string_view::npos ? zero : zero + 1;
}

std::string DecodeCommentText(std::string_view bytes, unsigned char encoding,
                              const CodePage& legacy) {
    const std::size_t textStart = DescriptionEnd(bytes, encoding);
    if (textStart == std::string_view::npos) return {};
    return DecodeFrameText(bytes.substr(textStart), encoding, legacy);
}

std::int32_t TrackValue(std::string_view text) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    std::int32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') break;
        const int digit = c - '0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return value;
}

std::string YearOfDate(std::string_view date) {
    std::size_t digits = 0;
    while (digits < 4 && digits < date.size() && date[digits] >= '0' && date[digits] <= '9') ++digits;
    return std::string(date.substr(0, digits));
}

}  // namespace qorvane
