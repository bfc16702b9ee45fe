#pragma once
// Builders for the bytes of small tagged files used by the ID3 reader tests.

#include <cstdint>
#include <string>
#include <string_view>

namespace qorvane::testing {

inline std::string BigEndian32(std::uint32_t n) {
    return {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
            static_cast<char>(n)};
}

inline std::string BigEndian24(std::uint32_t n) { return BigEndian32(n).substr(1); }

inline std::string LittleEndian32(std::uint32_t n) {
    return {static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
            static_cast<char>(n >> 24)};
}

inline std::string SynchSafe32(std::uint32_t n) {
    return {static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F),
            static_cast<char>((n >> 7) & 0x7F), static_cast<char>(n & 0x7F)};
}

// Frame bodies: the encoding byte, then the text.
inline std::string Text(std::string_view text, char encoding = 0) {
    return std::string(1, encoding) + std::string(text);
}

inline std::string Utf16Le(std::u16string_view text) {
    std::string out;
    for (const char16_t unit : text) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

inline std::string Utf16Be(std::u16string_view text) {
    std::string out;
    for (const char16_t unit : text) {
        out += static_cast<char>(unit >> 8);
        out += static_cast<char>(unit & 0xFF);
    }
    return out;
}

// Frames of the three layouts.
inline std::string Frame22(std::string_view id, std::string_view body) {
    return std::string(id) + BigEndian24(static_cast<std::uint32_t>(body.size())) +
           std::string(body);
}

inline std::string Frame23(std::string_view id, std::string_view body) {
    return std::string(id) + BigEndian32(static_cast<std::uint32_t>(body.size())) +
           std::string(2, '\0') + std::string(body);
}

inline std::string Frame24(std::string_view id, std::string_view body) {
    return std::string(id) + SynchSafe32(static_cast<std::uint32_t>(body.size())) +
           std::string(2, '\0') + std::string(body);
}

// An ID3v2 tag whose size counts `content` (extended header, frames, padding).
inline std::string Tag(int major, unsigned char flags, std::string_view content) {
    std::string out = "ID3";
    out += static_cast<char>(major);
    out += '\0';
    out += static_cast<char>(flags);
    out += SynchSafe32(static_cast<std::uint32_t>(content.size()));
    out += content;
    return out;
}

// The start of an MPEG-1 Layer III stream, then filler.
inline std::string MpegAudio(std::size_t bytes = 400) {
    std::string out = "\xFF\xFB\x90\x64";
    out.resize(bytes, '\x55');
    return out;
}

struct Id3v1Fields {
    std::string title, artist, album, year, comment;
    int track = -1;  // -1: ID3v1.0 layout, the comment may fill 30 bytes
    unsigned char genre = 255;
};

inline std::string Id3v1(const Id3v1Fields& f) {
    auto field = [](const std::string& text, std::size_t width) {
        std::string out = text.substr(0, width);
        out.resize(width, '\0');
        return out;
    };
    std::string out = "TAG" + field(f.title, 30) + field(f.artist, 30) + field(f.album, 30) +
                      field(f.year, 4) + field(f.comment, 30);
    if (f.track >= 0) {
        out[125] = '\0';
        out[126] = static_cast<char>(f.track);
    }
    out += static_cast<char>(f.genre);
    return out;
}

}  // namespace qorvane::testing
