// The facts read from the headers of files ffmpeg makes, against what
// ffprobe reads from them: length within 0.05 s, codec, rate, channels,
// picture size and frame rate. One test per family of formats.

#include "encode/header_facts.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/media_probe.h"
#include "support/media_tools.h"
#include "support/temp_dir.h"

namespace qorvane::testing {
namespace {

struct Made {
    Made(std::string file_, std::vector<std::string> arguments_, std::string audioCodec_, std::string videoCodec_,
         int audioKbps_ = 0, bool frameRate_ = true)
        : file(std::move(file_)), arguments(std::move(arguments_)), audioCodec(std::move(audioCodec_)),
          videoCodec(std::move(videoCodec_)), audioKbps(audioKbps_), frameRate(frameRate_) {}
    std::string file;
    std::vector<std::string> arguments;  // after the inputs: codecs and options
    std::string audioCodec;              // empty: no sound track
    std::string videoCodec;              // empty: no moving picture
    int audioKbps = 0;                   // the bit rate asked for; 0: not checked
    bool frameRate = true;               // the headers give the frame rate
};

double Fraction(const std::string& text) {
    const auto slash = text.find('/');
    if (slash == std::string::npos) return std::stod(text);
    const double denominator = std::stod(text.substr(slash + 1));
    return denominator == 0 ? 0 : std::stod(text.substr(0, slash)) / denominator;
}

// Makes each file from two seconds of stereo sound at 44.1 kHz and, where a
// video codec is named, of 320x240 pictures at 25 per second; then compares.
void CheckAll(const std::vector<Made>& files, const std::string& pictureRate = "25") {
    const TempDir dir;
    for (const Made& made : files) {
        SCOPED_TRACE(made.file);
        std::vector<std::string> arguments = {"-f", "lavfi", "-i", "sine=frequency=440:duration=2:sample_rate=44100"};
        if (!made.videoCodec.empty()) {
            arguments.insert(arguments.end(),
                             {"-f", "lavfi", "-i", "testsrc=size=320x240:duration=2:rate=" + pictureRate});
        }
        if (made.audioCodec.empty()) arguments.insert(arguments.end(), {"-map", "1:v"});
        arguments.insert(arguments.end(), {"-ac", "2"});
        arguments.insert(arguments.end(), made.arguments.begin(), made.arguments.end());
        arguments.push_back(made.file);
        RunFfmpeg(arguments, dir.path());

        const auto facts = ReadHeaderFacts(FileBytes(dir / made.file));
        const ProbedMedia probed = Probe(dir / made.file);
        ASSERT_TRUE(facts);
        ASSERT_TRUE(probed.readable);
        ASSERT_TRUE(facts->duration);
        EXPECT_NEAR(*facts->duration, probed.duration, 0.05);
        EXPECT_EQ(facts->kind, made.videoCodec.empty() ? MediaKind::Audio : MediaKind::Video);
        ASSERT_EQ(facts->audio.has_value(), !made.audioCodec.empty());
        if (facts->audio) {
            const ProbedStream* sound = probed.first("audio");
            ASSERT_NE(sound, nullptr);
            EXPECT_EQ(facts->audio->codec, made.audioCodec);
            EXPECT_EQ(facts->audio->sampleRate, std::stoi((*sound)["sample_rate"]));
            EXPECT_EQ(facts->audio->channels, std::stoi((*sound)["channels"]));
            if (made.audioKbps != 0) {
                EXPECT_NEAR(facts->audio->bitRateKbps, made.audioKbps, made.audioKbps * 0.05);
            }
        }
        ASSERT_EQ(facts->video.has_value(), !made.videoCodec.empty());
        if (facts->video) {
            const ProbedStream* picture = probed.first("video");
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(facts->video->codec, made.videoCodec);
            EXPECT_EQ(facts->video->width, std::stoi((*picture)["width"]));
            EXPECT_EQ(facts->video->height, std::stoi((*picture)["height"]));
            if (made.frameRate) {
                EXPECT_NEAR(facts->video->frameRate, Fraction(pictureRate), 0.01);
            }
        }
    }
}

TEST(HeaderFactsOfMadeFiles, RiffAndMpegAudio) {
    CheckAll({
        {"pcm.wav", {"-c:a", "pcm_s16le"}, "PCM", "", 1411},
        {"wide.wav", {"-c:a", "pcm_s24le", "-ar", "96000"}, "PCM", "", 4608},
        {"cbr.mp3", {"-c:a", "libmp3lame", "-b:a", "128k"}, "MP3", "", 128},
        {"vbr.mp3", {"-c:a", "libmp3lame", "-q:a", "4"}, "MP3", "", 0},
        {"layer2.mp2", {"-c:a", "mp2", "-b:a", "192k", "-f", "mp2"}, "MP2", "", 192},
        {"clip.avi", {"-c:v", "mpeg4", "-c:a", "libmp3lame", "-b:a", "96k"}, "MP3", "MPEG-4", 96},
        {"h264.avi", {"-c:v", "libx264", "-c:a", "pcm_s16le"}, "PCM", "H.264", 1411},
    });
}

TEST(HeaderFactsOfMadeFiles, MpegStreams) {
    CheckAll({
        {"clip.mpg", {"-c:v", "mpeg1video", "-c:a", "mp2", "-b:a", "192k"}, "MP2", "MPEG-1", 192},
        {"dvd.vob", {"-c:v", "mpeg2video", "-c:a", "ac3", "-b:a", "192k", "-f", "vob"}, "AC-3", "MPEG-2", 192},
        {"mpeg2.ts", {"-c:v", "mpeg2video", "-c:a", "mp2", "-b:a", "128k"}, "MP2", "MPEG-2", 128},
        {"h264.ts", {"-c:v", "libx264", "-c:a", "aac"}, "AAC", "H.264"},
        {"cropped.m2ts", {"-c:v", "libx264", "-s", "320x180", "-c:a", "ac3", "-f", "mpegts", "-mpegts_m2ts_mode", "1"},
         "AC-3", "H.264"},
        {"silent.m2ts", {"-c:v", "mpeg2video", "-f", "mpegts", "-mpegts_m2ts_mode", "1"}, "", "MPEG-2"},
    });
}

TEST(HeaderFactsOfMadeFiles, Mp4AndQuickTime) {
    CheckAll({
        {"clip.mp4", {"-c:v", "libx264", "-c:a", "aac", "-b:a", "128k"}, "AAC", "H.264", 128},
        {"song.m4a", {"-c:a", "aac", "-b:a", "96k"}, "AAC", "", 96},
        {"lossless.m4a", {"-c:a", "alac", "-ar", "96000"}, "ALAC", ""},
        {"clip.mov", {"-c:v", "mpeg4", "-c:a", "pcm_s16le"}, "PCM", "MPEG-4"},
        {"phone.3gp", {"-c:v", "h263", "-s", "352x288", "-c:a", "aac", "-ar", "16000", "-ac", "1"}, "AAC", "H.263"},
    });
    // A fragmented file whose moov holds only its first fragment and no
    // whole length: the rest of its facts, no duration.
    const TempDir dir;
    RunFfmpeg({"-f", "lavfi", "-i", "testsrc=size=320x240:duration=2:rate=25", "-c:v", "mpeg4", "-movflags",
               "frag_keyframe", "fragmented.mp4"},
              dir.path());
    const auto facts = ReadHeaderFacts(FileBytes(dir / "fragmented.mp4"));
    ASSERT_TRUE(facts && facts->video);
    EXPECT_EQ(facts->video->width, 320);
    EXPECT_FALSE(facts->duration);
}

TEST(HeaderFactsOfMadeFiles, MatroskaAndWebm) {
    CheckAll({
        {"clip.mkv", {"-c:v", "libx264", "-c:a", "ac3"}, "AC-3", "H.264"},
        {"clip.webm", {"-c:v", "libvpx", "-c:a", "libopus"}, "Opus", "VP8"},
        {"vp9.webm", {"-c:v", "libvpx-vp9", "-c:a", "libvorbis"}, "Vorbis", "VP9"},
        {"song.mka", {"-c:a", "flac"}, "FLAC", ""},
    });
}

TEST(HeaderFactsOfMadeFiles, Ogg) {
    CheckAll({
        {"vorbis.ogg", {"-c:a", "libvorbis", "-b:a", "128k"}, "Vorbis", "", 128},
        {"voice.opus", {"-c:a", "libopus"}, "Opus", ""},
        {"lossless.oga", {"-c:a", "flac"}, "FLAC", ""},
        {"speech.spx", {"-c:a", "libspeex", "-ar", "16000", "-ac", "1"}, "Speex", ""},
        {"theora.ogv", {"-c:v", "libtheora", "-c:a", "libvorbis"}, "Vorbis", "Theora"},
    });
}

TEST(HeaderFactsOfMadeFiles, Asf) {
    CheckAll({
        {"song.wma", {"-c:a", "wmav2", "-b:a", "64k"}, "WMA", "", 64},
        {"clip.wmv", {"-c:v", "wmv2", "-c:a", "wmav2", "-b:a", "128k"}, "WMA", "WMV8", 128, false},
        {"mpeg4.asf", {"-c:v", "msmpeg4", "-c:a", "mp3"}, "MP3", "MS MPEG-4", 0, false},
    });
}

}  // namespace
}  // namespace qorvane::testing
