// The command lines that the front end builds from profiles, run through the
// stand-in encoder exactly as the batch runner starts it.

#include <gtest/gtest.h>

#include "encode/command_line.h"
#include "encoder_fixture.h"
#include "support/media_probe.h"
#include "profiles/profile_settings.h"

namespace qorvane::testing {
namespace {

class FrontEndCommandLines : public EncoderEndToEnd {
protected:
    // Builds the line for `input` with `profile` and runs its argument vector.
    ProbedMedia EncodeWithProfile(const std::string& input, const ProfileSettings& profile,
                                  const std::string& expectedName) {
        EncoderRunInput run;
        run.inputPath = Media(input);
        run.videoBitrateValue = profile.VideoBitrate + "000";
        run.scriptPath = QORVANE_WMCMD_PATH;
        const auto line = BuildEncoderCommandLine(run, profile);
        EXPECT_TRUE(line);
        if (!line) return {};
        EXPECT_EQ(line->outputName, expectedName);

        ProgramRun program = Run({}, {});
        program.argv = line->argv();
        EXPECT_EQ(program.argv.front(), "cscript.exe");
        const ProgramResult result = RunProgram(program);
        EXPECT_EQ(result.exitCode, 0) << line->text() << "\n" << result.output;
        EXPECT_EQ(Listing(), Names{expectedName}) << line->text();
        ProbedMedia media = Probe(work_ / expectedName);
        EXPECT_EQ(media.formatName, "asf") << line->text();
        EXPECT_TRUE(media.tags.empty()) << line->text();
        fs::remove(work_ / expectedName);
        return media;
    }
};

TEST_F(FrontEndCommandLines, EveryAudioModeOfAnAudioProfile) {
    const std::pair<int, const char*> modes[] = {{1, "aac"}, {2, "aac"}, {3, "wmav2"}, {4, "wmav2"},
                                                 {5, "wmav2"}, {6, "pcm_s16le"}, {7, "speex"}, {8, "pcm_s16le"}};
    for (const auto& [mode, codec] : modes) {
        SCOPED_TRACE("audio mode " + std::to_string(mode));
        ProfileSettings profile;
        profile.AudioMode = mode;
        profile.AudioSetting = 2;  // 20_22_2 (below WMA's floor), Q50, 96_44_2, 8_8_1, 706_44_1
        profile.AudioPeak = "128000";
        const ProbedMedia media = EncodeWithProfile("tone.mp3", profile, "tone.wma");
        ASSERT_EQ(media.streams.size(), 1u);
        EXPECT_EQ(media.streams[0]["codec_name"], codec);
    }
    ProfileSettings silent;
    silent.AudioMode = 0;  // no audio arguments at all: the encoder's defaults
    EXPECT_EQ(EncodeWithProfile("tone4.wav", silent, "tone4.wma").streams.size(), 1u);
}

TEST_F(FrontEndCommandLines, EveryVideoModeOfAVideoProfile) {
    struct Case {
        int videoMode;
        int filter;
        int size;
        int pixelFormat;
        const char* codec;  // "" for an audio-only result
    };
    const Case cases[] = {
        {0, 0, 0, 0, ""},          {1, 0, 5, 0, "wmv2"},       {2, 1, 0, 4, "wmv2"},
        {3, 9, 0, 0, "wmv2"},      {4, 0, 7, 11, "wmv2"},      {5, 17, 0, 0, "wmv2"},
        {6, 0, 10, 7, "mpeg4"},    {7, 0, 0, 3, "rawvideo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("video mode " + std::to_string(c.videoMode));
        ProfileSettings profile;
        profile.VideoMode = c.videoMode;
        profile.VideoBitrate = "300";
        profile.VideoQuality = 60;
        profile.KeyFrame = "2";
        profile.VideoPeak = "600000";
        profile.FrameRate = "12.5";
        profile.VideoFilter = c.filter;
        profile.VideoSize = c.size;
        profile.CustomWidth = "200";
        profile.CustomHeight = "150";
        profile.PixelFormat = c.pixelFormat;
        profile.Performance = 4;
        profile.AudioMode = 1;
        profile.AudioSetting = 13;  // 48_44_2
        const bool video = std::string(c.codec) != "";
        const ProbedMedia media = EncodeWithProfile("clip.avi", profile, video ? "clip.wmv" : "clip.wma");
        const ProbedStream* picture = media.first("video");
        ASSERT_EQ(picture != nullptr, video);
        ASSERT_TRUE(media.first("audio"));
        if (video) {
            EXPECT_EQ((*picture)["codec_name"], c.codec);
        }
        if (c.size == 10) {
            EXPECT_EQ((*picture)["width"], "200");
            EXPECT_EQ((*picture)["height"], "150");
        }
    }
}

}  // namespace
}  // namespace qorvane::testing
