// The readers of RIFF and MPEG audio headers on bytes built here, edge by
// edge, and every reader on inputs cut short or damaged. Files of each
// format that ffmpeg makes are read in tests/e2e/header_facts_test.cpp.
#include "encode/header_facts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace qorvane {
namespace {

std::string Le16(std::uint32_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }
std::string Le32(std::uint32_t v) { return Le16(v) + Le16(v >> 16); }
std::string Be32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string Chunk(const std::string& id, const std::string& body, std::uint32_t declared) {
    return id + Le32(declared) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}
std::string Chunk(const std::string& id, const std::string& body) {
    return Chunk(id, body, static_cast<std::uint32_t>(body.size()));
}
std::string List(const std::string& type, const std::string& chunks) { return Chunk("LIST", type + chunks); }
std::string Riff(const std::string& form, const std::string& chunks) {
    return "RIFF" + Le32(static_cast<std::uint32_t>(4 + chunks.size())) + form + chunks;
}

// "fmt " of plain PCM, or of WAVE_FORMAT_EXTENSIBLE with its 22 more bytes.
std::string Format(std::uint32_t rate, std::uint32_t channels, std::uint32_t bits, bool extensible = false) {
    const std::uint32_t align = channels * bits / 8;
    std::string fmt = Le16(extensible ? 0xFFFE : 1) + Le16(channels) + Le32(rate) + Le32(rate * align) +
                      Le16(align) + Le16(bits);
    // The sub-format: KSDATAFORMAT_SUBTYPE_PCM.
    if (extensible) fmt += Le16(22) + Le16(bits) + Le32(3) + std::string("\x01\0\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71", 16);
    return Chunk("fmt ", fmt);
}

// ID3v2 of `major` version with a body of `size` bytes (synchsafe size).
std::string Id3v2(int major, std::uint32_t size, bool footer = false) {
    std::string tag = std::string("ID3") + static_cast<char>(major) + '\0' + static_cast<char>(footer ? 0x10 : 0);
    for (int shift = 21; shift >= 0; shift -= 7) tag += static_cast<char>(size >> shift & 0x7F);
    tag += std::string(size, 'T');
    if (footer) tag += "3DI" + tag.substr(3, 7);
    return tag;
}
const std::string kId3v1 = "TAG" + std::string(125, ' ');

// `count` MPEG audio frames of `bytes` bytes with the header `header`; the
// first frame's body may carry `info` at `at`.
std::string Frames(std::uint32_t header, std::size_t bytes, int count, const std::string& info = {},
                   std::size_t at = 0) {
    std::string frame = Be32(header) + std::string(bytes - 4, '\x55');
    std::string first = frame;
    first.replace(at, info.size(), info);
    std::string all = first;
    for (int i = 1; i < count; ++i) all += frame;
    return all;
}

// MPEG-1 layer III, 128 kbit/s, 44.1 kHz, stereo: 417-byte frames.
constexpr std::uint32_t kMp3 = 0xFFFB9000;
// MPEG-2 layer III, 64 kbit/s, 22.05 kHz, mono: 208-byte frames.
constexpr std::uint32_t kMpeg2Mono = 0xFFF380C0;
// MPEG-1 layer II, 192 kbit/s, 48 kHz: 576-byte frames.
constexpr std::uint32_t kMp2 = 0xFFFDA400;

std::string Avih(std::uint32_t microsecondsPerFrame, std::uint32_t frames) {
    return Chunk("avih", Le32(microsecondsPerFrame) + Le32(0) + Le32(0) + Le32(0x10) + Le32(frames) +
                             std::string(36, '\0'));
}
// A video stream of 25 pictures a second, 320x240 XVID.
std::string StreamList() {
    const std::string header = "vids" + std::string("XVID") + std::string(12, '\0') + Le32(1) + Le32(25) +
                               std::string(32, '\0');
    const std::string bitmap = Le32(40) + Le32(320) + Le32(static_cast<std::uint32_t>(-240)) + Le16(1) + Le16(24) +
                               "XVID" + std::string(20, '\0');
    return List("strl", Chunk("strh", header) + Chunk("strf", bitmap));
}

struct Case {
    const char* name;
    std::string bytes;
    std::optional<double> seconds;
};

std::vector<Case> Cases() {
    const std::string cbr = Frames(kMp3, 417, 20);
    return {
        {"wav pcm", Riff("WAVE", Format(8000, 1, 8) + Chunk("data", std::string(12000, 'd'))), 1.5},
        {"wav extensible", Riff("WAVE", Format(48000, 2, 24, true) + Chunk("data", std::string(72000, 'd'))), 0.25},
        {"wav odd chunks before and after",
         Riff("WAVE", Chunk("junk", "abc") + Format(8000, 1, 8) + List("INFO", Chunk("ISFT", "Lavf")) +
                          Chunk("data", std::string(4001, 'd')) + Chunk("id3 ", "xyz")),
         4001.0 / 8000},
        {"wav data size unknown", Riff("WAVE", Format(8000, 1, 8) + Chunk("data", std::string(800, 'd'), 0xFFFFFFFF)),
         0.1},
        {"wav data cut short", Riff("WAVE", Format(8000, 1, 8) + Chunk("data", std::string(800, 'd'), 80000)), 0.1},
        {"wav without format", Riff("WAVE", Chunk("data", std::string(800, 'd'))), std::nullopt},
        {"wav byte rate zero", Riff("WAVE", Format(0, 1, 8) + Chunk("data", std::string(800, 'd'))), std::nullopt},
        {"wav chunk past the end", Riff("WAVE", Chunk("junk", "", 0xFFFFFFF0) + Format(8000, 1, 8)), std::nullopt},

        {"mp3 cbr, ID3v2.3 and ID3v1", Id3v2(3, 300) + cbr + kId3v1, 20 * 417 * 8 / 128000.0},
        {"mp3 cbr, ID3v2.4 with footer", Id3v2(4, 200, true) + cbr, 20 * 417 * 8 / 128000.0},
        {"mp3 cbr, untagged", cbr, 20 * 417 * 8 / 128000.0},
        {"mp3 padding and a false sync after the tag", Id3v2(3, 20) + std::string(50, '\0') + "\xFF\xFB\x90" + cbr,
         20 * 417 * 8 / 128000.0},
        {"mp3 xing", Id3v2(3, 40) + Frames(kMp3, 417, 5, "Xing" + Be32(0xF) + Be32(1000), 36), 1000 * 1152 / 44100.0},
        {"mp3 info without frame count", Frames(kMp3, 417, 5, "Info" + Be32(0x2) + Be32(1000), 36),
         5 * 417 * 8 / 128000.0},
        {"mp3 vbri", Frames(kMp3, 417, 5, "VBRI" + std::string(10, '\0') + Be32(500), 36), 500 * 1152 / 44100.0},
        {"mpeg-2 mono xing", Frames(kMpeg2Mono, 208, 3, "Xing" + Be32(1) + Be32(200), 13), 200 * 576 / 22050.0},
        {"mp2 cbr", Frames(kMp2, 576, 10), 10 * 576 * 8 / 192000.0},
        {"mp3 untagged, not at the start", "x" + cbr, std::nullopt},
        {"mp3 frame not followed by another", Id3v2(3, 10) + Be32(kMp3) + std::string(1000, 'z'), std::nullopt},
        {"mp3 tag larger than the file", Id3v2(3, 10).substr(0, 6) + "\x7F\x7F\x7F\x7F" + cbr, std::nullopt},
        {"adts aac", "\xFF\xF1\x50\x80" + std::string(400, 'a'), std::nullopt},

        {"avi", Riff("AVI ", List("hdrl", Avih(40000, 50) + StreamList()) + List("movi", "")), 2.0},
        {"avi opendml",
         Riff("AVI ", List("hdrl", Avih(40000, 50) + StreamList() +
                                       List("odml", Chunk("dmlh", Le32(250) + std::string(244, '\0')))) +
                          List("movi", "")),
         10.0},
        {"avi without frame time", Riff("AVI ", List("hdrl", Avih(0, 50) + StreamList())), std::nullopt},
        {"avi without a stream", Riff("AVI ", List("hdrl", Avih(40000, 50))), std::nullopt},
        {"avi without header list", Riff("AVI ", List("movi", Avih(40000, 50))), std::nullopt},

        {"mpeg program stream", std::string("\0\0\x01\xBA", 4) + std::string(2000, '\0'), std::nullopt},
        {"other riff", Riff("CDXA", Format(8000, 1, 8)), std::nullopt},
        {"empty", "", std::nullopt},
    };
}

std::optional<double> Duration(std::string_view bytes) {
    const auto facts = ReadHeaderFacts(MemoryBytes(bytes));
    return facts ? facts->duration : std::nullopt;
}

TEST(HeaderFacts, DurationsOfRiffAndMpegAudio) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const auto seconds = Duration(c.bytes);
        ASSERT_EQ(seconds.has_value(), c.seconds.has_value()) << seconds.value_or(-1);
        if (seconds) {
            EXPECT_NEAR(*seconds, *c.seconds, 1e-9);
        }
    }
}

TEST(HeaderFacts, CodecsOfRiffAndMpegAudio) {
    const auto wav = ReadHeaderFacts(MemoryBytes(Riff("WAVE", Format(48000, 2, 24, true) + Chunk("data", "dd"))));
    ASSERT_TRUE(wav && wav->audio);
    EXPECT_EQ(wav->kind, MediaKind::Audio);
    EXPECT_EQ(*wav->audio, (AudioFacts{"PCM", 48000, 2, 2304}));

    const auto mp3 = ReadHeaderFacts(MemoryBytes(Frames(kMpeg2Mono, 208, 3, "Xing" + Be32(1) + Be32(200), 13)));
    ASSERT_TRUE(mp3 && mp3->audio);
    // The bit rate of a Xing file is its audio bytes over its length: 624
    // bytes in 5.2 s.
    EXPECT_EQ(*mp3->audio, (AudioFacts{"MP3", 22050, 1, 1}));

    const auto avi =
        ReadHeaderFacts(MemoryBytes(Riff("AVI ", List("hdrl", Avih(40000, 50) + StreamList()) + List("movi", ""))));
    ASSERT_TRUE(avi && avi->video);
    EXPECT_EQ(avi->kind, MediaKind::Video);
    EXPECT_EQ(*avi->video, (VideoFacts{"MPEG-4", 320, 240, 25.0}));
    EXPECT_FALSE(avi->audio);
}

// Cut short anywhere or with bytes changed, an input gives no duration or a
// positive one, and is never read outside (the sanitizers watch).
TEST(HeaderFacts, CutAndDamagedInputsAreSafe) {
    std::mt19937 random(7);
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const std::size_t step = c.bytes.size() / 300 + 1;
        for (std::size_t size = 0; size < c.bytes.size(); size += step) {
            const auto seconds = Duration(std::string_view(c.bytes).substr(0, size));
            EXPECT_TRUE(!seconds || (std::isfinite(*seconds) && *seconds > 0));
        }
        for (int damage = 0; damage < 300 && !c.bytes.empty(); ++damage) {
            std::string bytes = c.bytes;
            const std::size_t head = std::min<std::size_t>(bytes.size(), 600);  // where the headers are
            for (int i = 0; i < 4; ++i) bytes[random() % head] = static_cast<char>(random());
            const auto seconds = Duration(bytes);
            EXPECT_TRUE(!seconds || (std::isfinite(*seconds) && *seconds > 0));
        }
    }
}

}  // namespace
}  // namespace qorvane
