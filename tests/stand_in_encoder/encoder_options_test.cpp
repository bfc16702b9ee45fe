#include "stand_in_encoder/encoder_options.h"

#include <gtest/gtest.h>

#include <span>
#include <sstream>

#include "profiles/encoding_modes.h"
#include "profiles/video_catalogue.h"

namespace qorvane::encoder {
namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

ParseOutcome Parse(const std::string& options) {
    return ParseEncoderArguments(Words("-input /in/clip.avi -output clip.wmv " + options));
}

TEST(EncoderOptions, ReadsTheFrontEndsExampleLine) {
    const auto parsed = Parse(
        "-v_mode 1 -v_bitrate 500000 -v_quality 75 -v_keydist 8 -v_width 320 -v_height 240 "
        "-a_mode 0 -a_setting 128_44_2 -v_performance 60");
    ASSERT_TRUE(parsed.settings) << parsed.error;
    const EncoderSettings& s = *parsed.settings;
    EXPECT_EQ(s.input, "/in/clip.avi");
    EXPECT_EQ(s.output, "clip.wmv");
    EXPECT_EQ(s.inputKind, InputKind::Video);
    EXPECT_EQ(s.videoMode, 1);
    EXPECT_EQ(s.videoBitrate, 500000);
    EXPECT_EQ(s.videoQuality, 75);
    EXPECT_EQ(s.keyDistanceSeconds, 8.0);
    EXPECT_EQ(s.width, 320);
    EXPECT_EQ(s.height, 240);
    EXPECT_EQ(s.audioMode, 0);
    ASSERT_TRUE(s.audioSetting);
    EXPECT_EQ(s.audioSetting->value, 128);
    EXPECT_EQ(s.audioSetting->sampleRate, 44100);
    EXPECT_EQ(s.audioSetting->channels, 2);
    EXPECT_EQ(s.performance, 60);
    EXPECT_FALSE(s.debug);
    EXPECT_TRUE(s.encodesAudio());
    EXPECT_TRUE(s.encodesVideo());
}

// What the front end writes for a mode row: its arguments, then the values
// the row says it takes.
void AddOptions(std::vector<std::string>& words, std::span<const EncoderOption> options) {
    for (const EncoderOption& option : options) {
        words.emplace_back(option.name);
        if (!option.value.empty()) words.emplace_back(option.value);
    }
}

std::string Shown(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) line += word + ' ';
    return line;
}

TEST(EncoderOptions, AcceptsEveryAudioModeOfTheFrontEndsTable) {
    for (const AudioModeInfo& mode : AudioModes()) {
        if (mode.videoOnly) {
            EXPECT_TRUE(Parse("-v_mode 0 -videoonly").settings) << mode.text;
            continue;
        }
        for (const AudioSettingRow& row : mode.settings) {
            std::vector<std::string> words = Words("-input /in/song.wav -output song.wma");
            AddOptions(words, mode.arguments);
            if (mode.setting != AudioSettingSource::None) {
                words.insert(words.end(), {"-a_setting", std::string(row.code)});
            }
            if (mode.takesPeak) words.insert(words.end(), {"-a_peakbitrate", "192000"});
            const auto parsed = ParseEncoderArguments(words);
            EXPECT_TRUE(parsed.settings) << Shown(words) << parsed.error;
        }
    }
}

TEST(EncoderOptions, AcceptsEveryVideoModeOfTheFrontEndsTable) {
    for (const VideoModeInfo& mode : VideoModes()) {
        std::vector<std::string> words = Words("-input /in/clip.avi -output clip.wmv");
        AddOptions(words, mode.arguments);
        if (mode.takesBitrate) words.insert(words.end(), {"-v_bitrate", "500000"});
        if (mode.takesQuality) words.insert(words.end(), {"-v_quality", "75"});
        if (mode.takesFrameOptions) words.insert(words.end(), {"-v_keydist", "8"});
        if (mode.takesPeak) words.insert(words.end(), {"-v_peakbitrate", "900000"});
        words.insert(words.end(), {"-a_mode", "0", "-a_setting", "64_44_2", "-v_performance", "60"});

        std::vector<std::vector<std::string>> variants = {words};
        if (mode.takesFrameOptions) {
            auto sized = words;
            sized.insert(sized.end(), {"-v_framerate", "29.97", "-v_width", "320", "-v_height", "240"});
            variants.push_back(sized);
            for (int filter = 1; filter <= 18; ++filter) {
                auto filtered = words;
                filtered.insert(filtered.end(), {"-v_preproc", std::to_string(filter)});
                variants.push_back(filtered);
            }
        }
        if (mode.takesPixelFormat) {
            // A pixel format name with a blank arrives as one argument.
            for (const std::string_view name : PixelFormatNames) {
                auto formatted = words;
                formatted.insert(formatted.end(), {"-pixelformat", std::string(name)});
                variants.push_back(formatted);
            }
        }
        for (const auto& variant : variants) {
            const auto parsed = ParseEncoderArguments(variant);
            EXPECT_TRUE(parsed.settings) << Shown(variant) << parsed.error;
        }
    }
}

TEST(EncoderOptions, ReadsTheRarerSwitches) {
    const auto parsed = Parse(
        "-audioonly -v_codec MP41 -v_mode 0 -v_peakbitrate 900000 -v_framerate 29.97 "
        "-pixelformat YUY2 -s_config debug");
    ASSERT_TRUE(parsed.settings) << parsed.error;
    EXPECT_TRUE(parsed.settings->audioOnly);
    EXPECT_FALSE(parsed.settings->encodesVideo());
    EXPECT_EQ(parsed.settings->videoCodec, VideoCodecName::IsoMpeg4);
    EXPECT_EQ(parsed.settings->videoPeakBitrate, 900000);
    EXPECT_EQ(parsed.settings->frameRate, "29.97");
    EXPECT_EQ(parsed.settings->pixelFormat, "YUY2");
    EXPECT_TRUE(parsed.settings->debug);
}

TEST(EncoderOptions, ClassifiesInputsByExtensionInAnyCase) {
    EXPECT_EQ(ParseEncoderArguments({"-input", "/a/Song.Mp3", "-output", "Song.wma"}).settings->inputKind,
              InputKind::Audio);
    EXPECT_EQ(ParseEncoderArguments({"-input", "/a/b.c.VOB", "-output", "b.c.wmv"}).settings->inputKind,
              InputKind::Video);
    EXPECT_EQ(ParseEncoderArguments({"-input", "/a/x.mpg", "-output", "x.WMA"}).settings->inputKind,
              InputKind::Video);
    for (const char* input : {"/a/movie.doc", "/a/noext", "/a.wav/noext", "/a/.wav.txt"})
        EXPECT_FALSE(ParseEncoderArguments({"-input", input, "-output", "x.wma"}).settings) << input;
    for (const char* output : {"x.mp3", "x", "wma"})
        EXPECT_FALSE(ParseEncoderArguments({"-input", "/a/x.wav", "-output", output}).settings) << output;
}

// Every kind the front end takes; a container that may hold either is what
// the reader says, and its extension's kind where the reader cannot tell.
TEST(EncoderOptions, TakesEveryInputOfTheTableAndAContainersContent) {
    for (const MediaInputType& type : MediaInputTypes()) {
        const std::string input = "/a/x" + std::string(type.extension);
        const auto parsed = ParseEncoderArguments({"-input", input, "-output", "x.wma"});
        ASSERT_TRUE(parsed.settings) << input << ": " << parsed.error;
        EXPECT_EQ(parsed.settings->inputKind == InputKind::Video, type.kind == MediaKind::Video) << input;
    }
    const auto kindOf = [](const char* input, std::optional<MediaKind> read) {
        const InputKindReader reader = [read](const std::string&) { return read; };
        return ParseEncoderArguments({"-input", input, "-output", "x.wma"}, reader).settings->inputKind;
    };
    EXPECT_EQ(kindOf("/a/x.mp4", MediaKind::Audio), InputKind::Audio);
    EXPECT_EQ(kindOf("/a/x.m4a", MediaKind::Video), InputKind::Video);
    EXPECT_EQ(kindOf("/a/x.m4a", std::nullopt), InputKind::Audio);
    EXPECT_EQ(kindOf("/a/x.avi", MediaKind::Audio), InputKind::Video);  // named by its extension alone
}

TEST(EncoderOptions, RejectsUnknownOptionsAndMissingValues) {
    auto parsed = Parse("-a_mode 0 -a_setting 64_44_2 -v_turbo 1");
    EXPECT_FALSE(parsed.settings);
    EXPECT_NE(parsed.error.find("-v_turbo"), std::string::npos);

    parsed = Parse("-a_mode");
    EXPECT_FALSE(parsed.settings);
    EXPECT_NE(parsed.error.find("-a_mode"), std::string::npos);

    EXPECT_FALSE(ParseEncoderArguments({"-output", "x.wma"}).settings);
    EXPECT_FALSE(ParseEncoderArguments({"-input", "/a/x.wav"}).settings);
    EXPECT_FALSE(ParseEncoderArguments({"-input", "/a/x.wav", "-output", "x.wma", "stray"}).settings);
}

TEST(EncoderOptions, RejectsValuesOutsideTheirRange) {
    const char* bad[] = {
        "-a_mode 5",          "-a_mode -1",           "-a_mode 1x",           "-a_setting 128_45_2",
        "-a_setting 128_44_3", "-a_setting 128_44",   "-a_setting abc",       "-a_setting Q101_44_2",
        "-a_setting 0_44_2",   "-a_codec WMA10",      "-a_content 7",         "-a_peakbitrate 12k",
        "-v_mode 5",           "-v_codec WMV3",       "-v_bitrate 0",         "-v_bitrate 500kbps",
        "-v_quality 101",      "-v_keydist 0",        "-v_keydist -3",        "-v_keydist 1e3",
        "-v_preproc 19",       "-v_framerate 0",      "-v_framerate 30/1.001", "-v_width 0",
        "-v_height 99999",     "-pixelformat RGB24",  "-pixelformat rgb 24",  "-v_performance 120",
        "-s_config release",   "-v_width +320"};
    for (const char* options : bad) {
        const auto parsed = Parse(options);
        EXPECT_FALSE(parsed.settings) << options;
        EXPECT_FALSE(parsed.error.empty()) << options;
    }
}

TEST(EncoderOptions, ChecksThatAudioOptionsFitTogether) {
    EXPECT_FALSE(Parse("-a_mode 0 -a_setting Q90_44_2").settings);  // quality code needs quality mode
    EXPECT_FALSE(Parse("-a_mode 2 -a_setting 128_44_2").settings);
    EXPECT_FALSE(Parse("-a_codec WMA9LSL -a_mode 2 -a_setting Q90_44_2").settings);  // no sample size
    EXPECT_FALSE(Parse("-a_codec WMSP9 -a_setting 64_44_2").settings);              // not a voice rate
    EXPECT_FALSE(Parse("-a_codec PCM -a_setting 128_44_2").settings);  // PCM rate is fixed by the format
    EXPECT_FALSE(Parse("-a_mode 0 -a_setting Q90_44_2_16").settings);
    EXPECT_FALSE(Parse("-audioonly -videoonly").settings);
    EXPECT_FALSE(ParseEncoderArguments({"-input", "/a/x.wav", "-output", "x.wma", "-videoonly"}).settings);
}

TEST(EncoderOptions, LaterRepetitionsWin) {
    const auto parsed = Parse("-v_mode 0 -v_mode 2 -a_setting 64_44_2 -a_setting 96_48_2");
    ASSERT_TRUE(parsed.settings);
    EXPECT_EQ(parsed.settings->videoMode, 2);
    EXPECT_EQ(parsed.settings->audioSetting->sampleRate, 48000);
}

}  // namespace
}  // namespace qorvane::encoder
