#include "stand_in_encoder/ffmpeg_command.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "stand_in_encoder/video_plan.h"

namespace qorvane::encoder {
namespace {

EncoderSettings Parsed(std::vector<std::string> options, const std::string& input = "/in/clip.avi",
                       const std::string& output = "clip.wmv") {
    options.insert(options.begin(), {"-input", input, "-output", output});
    const auto parsed = ParseEncoderArguments(options);
    EXPECT_TRUE(parsed.settings) << parsed.error;
    return parsed.settings.value_or(EncoderSettings{});
}

FfmpegTarget Target() { return {"/usr/bin/ffmpeg", "/out/.clip.part", "/tmp/p/pass", ""}; }

// The value that follows `option` in the vector, or "<absent>".
std::string ValueOf(const ArgumentVector& a, const std::string& option) {
    const auto found = std::find(a.begin(), a.end(), option);
    return found == a.end() || found + 1 == a.end() ? "<absent>" : *(found + 1);
}

bool Has(const ArgumentVector& a, const std::string& word) { return std::find(a.begin(), a.end(), word) != a.end(); }

TEST(FfmpegCommand, AudioFileBecomesOneAsfRunWithoutTags) {
    const auto runs = BuildFfmpegRuns(
        Parsed({"-a_mode", "0", "-a_setting", "128_44_2"}, "/in/-odd name.wav", "song.wma"), Target());
    ASSERT_EQ(runs.size(), 1u);
    const ArgumentVector& a = runs[0];
    EXPECT_EQ(a.front(), "/usr/bin/ffmpeg");
    EXPECT_TRUE(Has(a, "-nostdin"));
    EXPECT_TRUE(Has(a, "-y"));
    EXPECT_EQ(ValueOf(a, "-i"), "file:/in/-odd name.wav");
    EXPECT_EQ(ValueOf(a, "-map_metadata"), "-1");
    EXPECT_EQ(ValueOf(a, "-map_chapters"), "-1");
    EXPECT_EQ(ValueOf(a, "-fflags"), "+bitexact");
    EXPECT_EQ(ValueOf(a, "-map"), "0:a:0");
    EXPECT_TRUE(Has(a, "-vn"));  // cover art of an MP3 stays out
    EXPECT_EQ(ValueOf(a, "-c:a"), "wmav2");
    EXPECT_EQ(ValueOf(a, "-ar"), "44100");
    EXPECT_EQ(ValueOf(a, "-ac"), "2");
    EXPECT_EQ(ValueOf(a, "-f"), "asf");
    EXPECT_NE(ValueOf(a, "-packet_size"), "3200");
    EXPECT_EQ(a.back(), "file:/out/.clip.part");
    EXPECT_EQ(ValueOf(a, "-loglevel"), "error");
}

TEST(FfmpegCommand, AudioInputIgnoresVideoOptions) {
    const auto runs = BuildFfmpegRuns(Parsed({"-v_mode", "1", "-v_bitrate", "300000"}, "/in/a.mp3", "a.wma"),
                                      Target());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_FALSE(Has(runs[0], "-c:v"));
    EXPECT_TRUE(Has(runs[0], "-vn"));
}

TEST(FfmpegCommand, VideoModesChooseRateControlAndPasses) {
    auto runs = BuildFfmpegRuns(Parsed({"-v_mode", "0", "-v_bitrate", "500000", "-a_mode", "0", "-a_setting",
                                        "128_44_2"}),
                                Target());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(ValueOf(runs[0], "-c:v"), "wmv2");
    EXPECT_EQ(ValueOf(runs[0], "-b:v"), "500000");
    EXPECT_EQ(ValueOf(runs[0], "-maxrate"), "500000");
    EXPECT_EQ(ValueOf(runs[0], "-map"), "0:V:0");
    EXPECT_TRUE(Has(runs[0], "0:a:0?"));

    for (const char* mode : {"1", "3", "4"}) {
        runs = BuildFfmpegRuns(Parsed({"-v_mode", mode, "-v_bitrate", "500000", "-v_peakbitrate", "800000"}),
                               Target());
        ASSERT_EQ(runs.size(), 2u) << mode;
        EXPECT_EQ(ValueOf(runs[0], "-pass"), "1");
        EXPECT_EQ(ValueOf(runs[1], "-pass"), "2");
        EXPECT_EQ(ValueOf(runs[0], "-passlogfile"), "/tmp/p/pass");
        EXPECT_EQ(ValueOf(runs[1], "-passlogfile"), "/tmp/p/pass");
        EXPECT_TRUE(Has(runs[0], "-an"));
        EXPECT_EQ(ValueOf(runs[0], "-f"), "null");
        EXPECT_EQ(ValueOf(runs[1], "-f"), "asf");
    }
    EXPECT_EQ(ValueOf(runs[1], "-maxrate"), "800000");  // peak VBR

    runs = BuildFfmpegRuns(Parsed({"-v_mode", "2", "-v_quality", "100"}), Target());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(ValueOf(runs[0], "-q:v"), "2");
    EXPECT_FALSE(Has(runs[0], "-b:v"));
}

TEST(FfmpegCommand, AudioOnlyAndVideoOnlyDropAStream) {
    auto runs = BuildFfmpegRuns(Parsed({"-audioonly", "-a_mode", "0", "-a_setting", "64_44_2", "-v_performance",
                                        "60"},
                                       "/in/clip.avi", "clip.wma"),
                                Target());
    EXPECT_TRUE(Has(runs.back(), "-vn"));
    EXPECT_FALSE(Has(runs.back(), "-c:v"));
    EXPECT_EQ(ValueOf(runs.back(), "-map"), "0:a:0");

    runs = BuildFfmpegRuns(Parsed({"-v_mode", "0", "-videoonly"}), Target());
    EXPECT_TRUE(Has(runs.back(), "-an"));
    EXPECT_FALSE(Has(runs.back(), "-c:a"));
}

TEST(FfmpegCommand, CodecsAndPixelFormats) {
    auto runs = BuildFfmpegRuns(Parsed({"-v_codec", "MP41", "-v_mode", "0", "-pixelformat", "RGB 8"}), Target());
    EXPECT_EQ(ValueOf(runs.back(), "-c:v"), "mpeg4");
    EXPECT_EQ(ValueOf(runs.back(), "-tag:v"), "MP4S");
    EXPECT_EQ(ValueOf(runs.back(), "-vf"), "format=pal8");
    EXPECT_EQ(ValueOf(runs.back(), "-pix_fmt"), "yuv420p");

    runs = BuildFfmpegRuns(Parsed({"-v_codec", "UNCOMP", "-pixelformat", "RGB 24"}), Target());
    EXPECT_EQ(ValueOf(runs.back(), "-c:v"), "rawvideo");
    EXPECT_EQ(ValueOf(runs.back(), "-pix_fmt"), "rgba");
    EXPECT_EQ(ValueOf(runs.back(), "-tag:v"), "RGBA");
    EXPECT_FALSE(Has(runs.back(), "-b:v"));

    runs = BuildFfmpegRuns(Parsed({"-v_codec", "UNCOMP", "-pixelformat", "YUY2"}), Target());
    EXPECT_EQ(ValueOf(runs.back(), "-pix_fmt"), "yuyv422");
    EXPECT_EQ(ValueOf(runs.back(), "-tag:v"), "<absent>");

    runs = BuildFfmpegRuns(Parsed({"-v_codec", "UNCOMP", "-pixelformat", "RGB 555"}), Target());
    EXPECT_EQ(ValueOf(runs.back(), "-vf"), "format=rgb555le");
    EXPECT_EQ(ValueOf(runs.back(), "-pix_fmt"), "rgb565le");

    for (const auto& name : PixelFormatNameList()) EXPECT_FALSE(FfmpegPixelFormat(name).empty()) << name;
}

TEST(FfmpegCommand, FiltersSizeFrameRateAndKeyFrames) {
    auto runs = BuildFfmpegRuns(Parsed({"-v_mode", "0", "-v_keydist", "3", "-v_framerate", "15", "-v_width",
                                        "176", "-v_height", "144"}),
                                Target());
    EXPECT_EQ(ValueOf(runs.back(), "-vf"), "scale=176:144,fps=15");
    EXPECT_EQ(ValueOf(runs.back(), "-force_key_frames"), "expr:gte(t,n_forced*3)");

    runs = BuildFfmpegRuns(Parsed({"-v_mode", "0", "-v_keydist", "0.5", "-v_preproc", "4"}), Target());
    EXPECT_EQ(ValueOf(runs.back(), "-vf"), "separatefields");
    EXPECT_EQ(ValueOf(runs.back(), "-force_key_frames"), "expr:gte(t,n_forced*0.5)");

    EXPECT_EQ(PreprocessFilter(0), "");
    EXPECT_EQ(PreprocessFilter(6), "detelecine=first_field=top:pattern=23:start_frame=0");
    EXPECT_EQ(PreprocessFilter(10), "detelecine=first_field=top:pattern=23:start_frame=4");
    EXPECT_EQ(PreprocessFilter(11), "detelecine=first_field=bottom:pattern=23:start_frame=0");
    EXPECT_EQ(PreprocessFilter(15), "detelecine=first_field=bottom:pattern=23:start_frame=4");
    EXPECT_EQ(PreprocessFilter(18), "setfield=bff");

    runs = BuildFfmpegRuns(Parsed({"-v_codec", "MP41", "-v_mode", "0", "-v_preproc", "17"}), Target());
    EXPECT_EQ(ValueOf(runs.back(), "-flags"), "+ildct+ilme");
    EXPECT_EQ(ValueOf(runs.back(), "-top"), "1");
}

TEST(FfmpegCommand, QualityMapsOntoTheQuantiserRange) {
    EXPECT_EQ(QuantiserForQuality(100), 2);
    EXPECT_EQ(QuantiserForQuality(0), 31);
    EXPECT_LT(QuantiserForQuality(75), QuantiserForQuality(50));
}

TEST(FfmpegCommand, ProgressGoesWhereAskedAndFfprobeIsLookedForBesideFfmpeg) {
    FfmpegTarget target = Target();
    const auto settings = Parsed({"-v_mode", "1", "-v_bitrate", "500000"});
    EXPECT_FALSE(Has(BuildFfmpegRuns(settings, target).back(), "-progress"));
    target.progress = "pipe:4";
    for (const auto& run : BuildFfmpegRuns(settings, target)) {
        EXPECT_EQ(ValueOf(run, "-progress"), "pipe:4");
        EXPECT_EQ(ValueOf(run, "-stats_period"), "0.25");
    }

    EXPECT_EQ(ProbeProgramsFor("/opt/ff/ffmpeg"), (std::vector<std::string>{"/opt/ff/ffprobe", "ffprobe"}));
    EXPECT_EQ(ProbeProgramsFor("ffmpeg"), std::vector<std::string>{"ffprobe"});
    EXPECT_EQ(BuildDurationProbe("ffprobe", "-a.wav").back(), "file:-a.wav");
}

TEST(FfmpegCommand, AThreadCountHoldsTheDecoderAndTheEncodersOfEveryPass) {
    FfmpegTarget target = Target();
    const auto settings = Parsed({"-v_mode", "2", "-v_bitrate", "500000"});  // two passes
    EXPECT_FALSE(Has(BuildFfmpegRuns(settings, target).back(), "-threads"));
    target.threads = 1;
    for (const auto& run : BuildFfmpegRuns(settings, target)) {
        const auto input = std::find(run.begin(), run.end(), "-i") - run.begin();
        ASSERT_GE(input, 2);
        EXPECT_EQ(run[static_cast<std::size_t>(input) - 2], "-threads");
        EXPECT_EQ(run[static_cast<std::size_t>(input) + 2], "-threads");
        EXPECT_EQ(run[static_cast<std::size_t>(input) + 3], "1");
    }
}

TEST(FfmpegCommand, DebugKeepsFfmpegsOutput) {
    const auto runs = BuildFfmpegRuns(Parsed({"-v_mode", "0", "-s_config", "debug"}), Target());
    EXPECT_EQ(ValueOf(runs.back(), "-loglevel"), "info");
    EXPECT_TRUE(Has(runs.back(), "-stats"));
}

TEST(FfmpegCommand, RenderedCommandQuotesWhatAShellWouldSplit) {
    EXPECT_EQ(RenderCommand({"ffmpeg", "-i", "file:/a b/it's.wav", "-vf", "scale=1:2"}),
              "ffmpeg -i 'file:/a b/it'\\''s.wav' -vf scale=1:2");
}

}  // namespace
}  // namespace qorvane::encoder
