#include "encode/command_line.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::TempDir;

class CommandLine : public ::testing::Test {
protected:
    std::string build(const std::string& name, const ProfileSettings& p, std::string suffix = "",
                      std::string bitrate = "250000", bool debug = false) {
        run.inputPath = dir.write(name, "x");
        run.nameSuffix = std::move(suffix);
        run.videoBitrateValue = std::move(bitrate);
        run.debugMode = debug;
        const auto line = BuildEncoderCommandLine(run, p);
        if (!line) return "<none>";
        outputName = line->outputName;
        return line->text();
    }
    // The part after the quoted output name.
    std::string options(const std::string& name, const ProfileSettings& p, std::string bitrate = "250000") {
        const std::string text = build(name, p, "", std::move(bitrate));
        const auto pos = text.find('"', text.find("-output \"") + 9);
        return text.substr(pos + 1);
    }

    TempDir dir;
    EncoderRunInput run{{}, "", "", "/opt/enc/wmcmd.vbs", false};
    std::string outputName;
};

TEST_F(CommandLine, TheWorkedExampleByteForByte) {
    ProfileSettings p;
    p.VideoMode = 2;
    p.VideoQuality = 75;
    p.KeyFrame = "8";
    p.VideoSize = 5;
    p.Performance = 3;
    p.AudioMode = 1;
    p.AudioSetting = 17;
    run.scriptPath = "D:\\enc\\wmcmd.vbs";
    const std::string text = build("clip.avi", p, "", "500000");
    EXPECT_EQ(text, "cscript.exe \"D:\\enc\\wmcmd.vbs\" -input \"" + (dir / "clip.avi").string() +
                        "\" -output \"clip.wmv\" -v_mode 1 -v_bitrate 500000 -v_quality 75 -v_keydist 8 "
                        "-v_width 320 -v_height 240 -a_mode 0 -a_setting 128_44_2 -v_performance 60");
    EXPECT_EQ(outputName, "clip.wmv");
}

TEST_F(CommandLine, ArgumentVectorCarriesPathsAndNamesWhole) {
    ProfileSettings p;
    p.PixelFormat = 4;
    run.inputPath = dir.write("my clip.AVI", "x");
    run.videoBitrateValue = "250000";
    const auto line = BuildEncoderCommandLine(run, p);
    ASSERT_TRUE(line);
    const auto argv = line->argv();
    EXPECT_EQ(argv[0], "cscript.exe");
    EXPECT_EQ(argv[1], "/opt/enc/wmcmd.vbs");
    EXPECT_EQ(argv[3], (dir / "my clip.AVI").string());
    EXPECT_EQ(argv[5], "my clip.wmv");
    const auto fmt = std::find(argv.begin(), argv.end(), "-pixelformat");
    ASSERT_NE(fmt, argv.end());
    EXPECT_EQ(*(fmt + 1), "RGB 24");
    EXPECT_NE(line->text().find("-pixelformat \"RGB 24\""), std::string::npos);
}

TEST_F(CommandLine, NoRunForMissingUnsupportedOrUnquotableInput) {
    ProfileSettings p;
    run.inputPath = dir / "gone.avi";
    EXPECT_FALSE(BuildEncoderCommandLine(run, p));
    EXPECT_EQ(build("notes.txt", p), "<none>");
    EXPECT_EQ(build("noext", p), "<none>");
    EXPECT_EQ(build("say \"hi\".mp3", p), "<none>");
    run.scriptPath = "/opt/\"enc\"/wmcmd.vbs";
    EXPECT_EQ(build("fine.mp3", p), "<none>");
}

TEST_F(CommandLine, OutputNamesFollowInputClassAndVideoMode) {
    ProfileSettings p;
    build("a.b.avi", p);
    EXPECT_EQ(outputName, "a.b.wmv");
    build("song.Mp3", p);
    EXPECT_EQ(outputName, "song.wma");
    build("clip.VOB", p, "_v300");
    EXPECT_EQ(outputName, "clip_v300.wmv");
    p.VideoMode = 0;
    build("clip.mpg", p);
    EXPECT_EQ(outputName, "clip.wma");
    build("voice.WAV", p);
    EXPECT_EQ(outputName, "voice.wma");
}

TEST_F(CommandLine, AudioInputGetsNoVideoArguments) {
    ProfileSettings p;
    p.VideoMode = 5;
    p.VideoPeak = "900000";
    p.PixelFormat = 3;
    p.Performance = 5;
    EXPECT_EQ(options("song.mp3", p), " -a_mode 0 -a_setting 64_44_2");
    p.AudioMode = 0;
    EXPECT_EQ(options("song.wav", p), "");
    EXPECT_TRUE(build("song.wav", p, "", "", true).ends_with("-output \"song.wma\" -s_config debug"));
}

TEST_F(CommandLine, EveryVideoMode) {
    ProfileSettings p;
    p.AudioMode = 0;
    p.KeyFrame = "4";
    p.VideoPeak = "800000";
    p.PixelFormat = 1;
    const char* expected[] = {
        " -audioonly -videoonly -v_performance 0",
        " -v_mode 0 -v_bitrate 250000 -v_quality 75 -v_keydist 4 -pixelformat \"I420\" -videoonly -v_performance 0",
        " -v_mode 1 -v_bitrate 250000 -v_quality 75 -v_keydist 4 -pixelformat \"I420\" -videoonly -v_performance 0",
        " -v_mode 2 -v_quality 75 -v_keydist 4 -pixelformat \"I420\" -videoonly -v_performance 0",
        " -v_mode 3 -v_bitrate 250000 -v_keydist 4 -pixelformat \"I420\" -videoonly -v_performance 0",
        " -v_mode 4 -v_bitrate 250000 -v_keydist 4 -v_peakbitrate 800000 -pixelformat \"I420\" -videoonly "
        "-v_performance 0",
        " -v_codec MP41 -v_mode 0 -v_bitrate 250000 -v_keydist 4 -pixelformat \"I420\" -videoonly "
        "-v_performance 0",
        " -v_codec UNCOMP -pixelformat \"I420\" -videoonly -v_performance 0",
    };
    for (int mode = 0; mode < 8; ++mode) {
        p.VideoMode = mode;
        EXPECT_EQ(options("clip.avi", p), expected[mode]) << "video mode " << mode;
    }
    p.VideoMode = 1;
    EXPECT_EQ(options("clip.avi", p, ""), " -v_mode 0 -v_quality 75 -v_keydist 4 -pixelformat \"I420\" "
                                          "-videoonly -v_performance 0");
}

TEST_F(CommandLine, EveryAudioMode) {
    ProfileSettings p;
    p.AudioPeak = "192000";
    const std::pair<int, const char*> cases[] = {
        {1, " -a_mode 0 -a_setting 32_44_2"},
        {2, " -a_mode 1 -a_setting 32_44_2"},
        {3, " -a_mode 2 -a_setting Q90_48_2"},
        {4, " -a_mode 3 -a_setting 192_48_2"},
        {5, " -a_mode 4 -a_setting 192_48_2 -a_peakbitrate 192000"},
        {6, " -a_codec WMA9LSL -a_mode 2 -a_setting Q100_44_2_16"},
        {7, " -a_codec WMSP9 -a_mode 0 -a_content 1"},
        {8, " -a_codec PCM"},
    };
    for (const auto& [mode, expected] : cases) {
        p.AudioMode = mode;
        p.AudioSetting = mode == 1 || mode == 2 ? 12 : mode == 3 ? 6 : mode == 4 || mode == 5 ? 9 : 12;
        EXPECT_EQ(options("song.mp3", p), expected) << "audio mode " << mode;
    }
    p.AudioMode = 6;
    p.AudioSetting = -1;  // lossless ignores the row
    EXPECT_EQ(options("song.mp3", p), " -a_codec WMA9LSL -a_mode 2 -a_setting Q100_44_2_16");
    p.AudioMode = 5;
    p.AudioSetting = 0;
    p.AudioPeak = "";
    EXPECT_EQ(options("song.mp3", p), " -a_mode 4 -a_setting 48_44_2");
}

TEST_F(CommandLine, FilterSuppressesRateAndSizeAndSizesComeFromTheTable) {
    ProfileSettings p;
    p.AudioMode = 0;
    p.FrameRate = "29.97";
    p.VideoSize = 1;
    EXPECT_EQ(options("c.avi", p),
              " -v_mode 0 -v_bitrate 250000 -v_quality 75 -v_framerate 29.97 -v_width 720 -v_height 480 "
              "-videoonly -v_performance 0");
    p.VideoSize = 10;
    p.CustomWidth = "100";
    p.CustomHeight = "";
    EXPECT_EQ(options("c.avi", p),
              " -v_mode 0 -v_bitrate 250000 -v_quality 75 -v_framerate 29.97 -v_width 100 -v_height  "
              "-videoonly -v_performance 0");
    p.VideoSize = 11;   // hand-edited: no size
    p.PixelFormat = 15;  // hand-edited: no pixel format
    p.Performance = 6;   // no performance
    EXPECT_EQ(options("c.avi", p), " -v_mode 0 -v_bitrate 250000 -v_quality 75 -v_framerate 29.97 -videoonly");
    p.VideoFilter = 18;
    EXPECT_EQ(options("c.avi", p), " -v_mode 0 -v_bitrate 250000 -v_quality 75 -v_preproc 18 -videoonly");
}

TEST_F(CommandLine, PerformanceFarBelowTheRangeIsWrittenWithoutWrappingAround) {
    ProfileSettings p;
    p.AudioMode = 0;
    p.Performance = std::numeric_limits<int>::min();  // hand-edited
    EXPECT_EQ(options("c.avi", p), " -v_mode 0 -v_bitrate 250000 -v_quality 75 -videoonly -v_performance -42949672960");
}

TEST(ResolveFullPath, MakesAbsoluteAndResolvesDotsByName) {
    const auto cwd = std::filesystem::current_path();
    EXPECT_EQ(ResolveFullPath("a/./b/../c.mp3"), cwd / "a/c.mp3");
    EXPECT_EQ(ResolveFullPath("/x/y/../z.avi"), std::filesystem::path("/x/z.avi"));
}

}  // namespace
}  // namespace qorvane
