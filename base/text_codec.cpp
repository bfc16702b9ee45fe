#include "base/text_codec.h"

#include <algorithm>

#include "platform/code_page.h"

namespace qorvane {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes the well-formed sequence at text[pos], or returns false.
bool DecodeUtf8At(std::string_view text, std::size_t pos, char32_t& cp, std::size_t& len) {
    const auto b0 = static_cast<unsigned char>(text[pos]);
    if (b0 < 0x80) {
        cp = b0;
        len = 1;
        return true;
    }
    std::size_t need = Utf8ExpectedLength(b0);
    if (need == 1 || pos + need > text.size()) return false;
    const auto b1 = static_cast<unsigned char>(text[pos + 1]);
    // Second-byte limits exclude overlong forms, surrogates and values past U+10FFFF.
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
    if (b1 < lo || b1 > hi) return false;
    for (std::size_t i = 2; i < need; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(text[pos + i]))) return false;
    }
    char32_t value = need == 2 ? (b0 & 0x1F) : need == 3 ? (b0 & 0x0F) : (b0 & 0x07);
    for (std::size_t i = 1; i < need; ++i) {
        value = (value << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
    }
    cp = value;
    len = need;
    return true;
}

}  // namespace

std::size_t Utf8ExpectedLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 1;
}

std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) return 0;
    char32_t cp;
    std::size_t len;
    return DecodeUtf8At(text, pos, cp, len) ? len : 1;
}

bool IsValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp;
        std::size_t len;
        if (!DecodeUtf8At(text, pos, cp, len)) return false;
        pos += len;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp;
        std::size_t len;
        if (!DecodeUtf8At(text, pos, cp, len)) {
            cp = 0xFFFD;
            len = 1;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        pos += len;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, cp);  // a lone surrogate becomes U+FFFD there
    }
    return out;
}

std::string Latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

bool Utf8CodePage::isLeadByte(unsigned char byte) const { return Utf8ExpectedLength(byte) > 1; }

std::size_t Utf8CodePage::charLength(std::string_view text, std::size_t pos) const {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t need = Utf8ExpectedLength(lead);
    if (need == 1) return 1;
    if (pos + need > text.size()) {
        // Cut inside the character: report what it needs when the bytes that
        // are there fit the pattern, so callers can tell a truncated character.
        for (std::size_t i = pos + 1; i < text.size(); ++i) {
            if (!IsContinuation(static_cast<unsigned char>(text[i]))) return 1;
        }
        return need;
    }
    return Utf8SequenceLength(text, pos);
}

bool Utf8CodePage::isValid(std::string_view text) const { return IsValidUtf8(text); }

std::u16string Utf8CodePage::toUtf16(std::string_view text) const { return Utf8ToUtf16(text); }

std::string Utf8CodePage::fromUtf16(std::u16string_view text) const { return Utf16ToUtf8(text); }

std::string DecodeLegacyText(std::string_view bytes, const CodePage& cp932) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    if (cp932.isValid(bytes)) {
        const std::u16string text = cp932.toUtf16(bytes);
        // CP932's user-defined rows (lead bytes 0xF0-0xF9) map to the private
        // use area; real Japanese tags do not use them, while Latin-1 letters
        // such as "ö" (0xF6) fall there. Such text is taken as Latin-1.
        const bool privateUse = std::any_of(text.begin(), text.end(),
                                            [](char16_t u) { return u >= 0xE000 && u <= 0xF8FF; });
        if (!privateUse) return Utf16ToUtf8(text);
    }
    return Latin1ToUtf8(bytes);
}

}  // namespace qorvane
