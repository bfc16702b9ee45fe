// Runs the built qorvane-cscript on small media made here with ffmpeg and
// reads the results back with ffprobe.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <memory>
#include <regex>
#include <sstream>

#include "encoder_fixture.h"
#include "support/process_table.h"
#include "support/media_probe.h"
#include "profiles/encoding_modes.h"

namespace qorvane::testing {
namespace {

// ---- audio: every CBR row of the catalogue -------------------------------

class CbrAudioRows : public EncoderEndToEnd, public ::testing::WithParamInterface<int> {};

TEST_P(CbrAudioRows, CarriesTheRequestedBitRate) {
    const std::string code(CbrAudioSettings[GetParam()].code);
    const ProgramResult result =
        Encode({"-input", Media("tone4.wav"), "-output", "tone4.wma", "-a_mode", "0", "-a_setting", code});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(Listing(), Names{"tone4.wma"});

    const ProbedMedia media = Probe(work_ / "tone4.wma");
    ASSERT_TRUE(media.readable);
    EXPECT_EQ(media.formatName, "asf");
    ASSERT_EQ(media.streams.size(), 1u);
    const ProbedStream& audio = media.streams[0];
    const int kbps = std::stoi(code);
    const int khz = std::stoi(code.substr(code.find('_') + 1));
    const std::string channels = code.substr(code.rfind('_') + 1);
    EXPECT_EQ(audio["codec_name"], kbps >= 32 ? "wmav2" : "aac");
    const int expectedRate = khz == 22 ? 22050 : khz == 32 ? 32000 : khz == 44 ? 44100 : 48000;
    EXPECT_EQ(audio["sample_rate"], std::to_string(kbps < 24 && expectedRate > 32000 ? expectedRate / 2
                                                                                      : expectedRate));
    EXPECT_EQ(audio["channels"], channels);
    EXPECT_NEAR(media.duration, 4.0, 0.15);
    EXPECT_TRUE(media.tags.empty()) << media.tags.front();

    const double rate = AsfDataBitrate(work_ / "tone4.wma", media.duration);
    const double nominal = kbps * 1000.0;
    std::cout << code << ": " << static_cast<long>(rate) << " bit/s (" << (rate / nominal - 1) * 100 << " %)\n";
    EXPECT_NEAR(rate, nominal, nominal * 0.10) << code;
}

INSTANTIATE_TEST_SUITE_P(AllRows, CbrAudioRows, ::testing::Range(0, 27));

// ---- audio: the other modes and codecs ------------------------------------

struct AudioCase {
    std::vector<std::string> options;
    std::string input;
    std::string codec;
    std::string sampleRate;
    std::string channels;
    double nominal;
};

TEST_F(EncoderEndToEnd, OtherAudioModesAndCodecs) {
    const AudioCase cases[] = {
        {{"-a_mode", "1", "-a_setting", "96_44_2"}, "tone.mp3", "wmav2", "44100", "2", 96000},
        {{"-a_mode", "2", "-a_setting", "Q90_44_2"}, "tone4.wav", "wmav2", "44100", "2", 160000},
        {{"-a_mode", "3", "-a_setting", "128_48_2"}, "tone4.wav", "wmav2", "48000", "2", 128000},
        {{"-a_mode", "4", "-a_setting", "64_44_2", "-a_peakbitrate", "96000"}, "tone4.wav", "wmav2", "44100", "2",
         64000},
        {{"-a_codec", "WMA9LSL", "-a_mode", "2", "-a_setting", "Q100_44_2_16"}, "tone4.wav", "pcm_s16le", "44100",
         "2", 1411200},
        {{"-a_codec", "PCM", "-a_setting", "353_22_1"}, "tone.mp3", "pcm_s16le", "22050", "1", 352800},
        {{"-a_codec", "WMSP9", "-a_mode", "0", "-a_content", "1", "-a_setting", "8_8_1"}, "tone4.wav", "speex",
         "8000", "1", 8000},
        {{"-a_codec", "WMSP9", "-a_mode", "0", "-a_content", "1", "-a_setting", "16_16_1"}, "tone4.wav", "speex",
         "16000", "1", 16000},
        {{}, "tone4.wav", "wmav2", "44100", "2", 64000},  // no audio options: the defaults
    };
    for (const AudioCase& c : cases) {
        SCOPED_TRACE(c.input + " " + (c.options.empty() ? std::string("(none)") : c.options.back()));
        std::vector<std::string> options = {"-input", Media(c.input), "-output", "out.wma"};
        options.insert(options.end(), c.options.begin(), c.options.end());
        const ProgramResult result = Encode(options);
        ASSERT_EQ(result.exitCode, 0) << result.output;
        const ProbedMedia media = Probe(work_ / "out.wma");
        EXPECT_EQ(media.formatName, "asf");
        ASSERT_EQ(media.streams.size(), 1u);  // the MP3's tag and picture stay behind
        EXPECT_EQ(media.streams[0]["codec_name"], c.codec);
        EXPECT_EQ(media.streams[0]["sample_rate"], c.sampleRate);
        EXPECT_EQ(media.streams[0]["channels"], c.channels);
        EXPECT_TRUE(media.tags.empty());
        const double rate = AsfDataBitrate(work_ / "out.wma", media.duration);
        std::cout << c.codec << " " << c.nominal << ": " << static_cast<long>(rate) << " bit/s\n";
        EXPECT_NEAR(rate, c.nominal, c.nominal * 0.10);
        fs::remove(work_ / "out.wma");
    }
}

// ---- video ------------------------------------------------------------------

TEST_F(EncoderEndToEnd, FrontEndsExampleLineMakesAWmv) {
    const ProgramResult result = Encode({"-input", Media("clip.avi"), "-output", "clip.wmv", "-v_mode", "1",
                                         "-v_bitrate", "500000", "-v_quality", "75", "-v_keydist", "8", "-v_width",
                                         "320", "-v_height", "240", "-a_mode", "0", "-a_setting", "128_44_2",
                                         "-v_performance", "60"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(Listing(), Names{"clip.wmv"});  // no pass statistics left here
    const ProbedMedia media = Probe(work_ / "clip.wmv");
    EXPECT_EQ(media.formatName, "asf");
    ASSERT_EQ(media.streams.size(), 2u);
    const ProbedStream* video = media.first("video");
    const ProbedStream* audio = media.first("audio");
    ASSERT_TRUE(video && audio);
    EXPECT_EQ((*video)["codec_name"], "wmv2");
    EXPECT_EQ((*video)["width"], "320");
    EXPECT_EQ((*video)["height"], "240");
    EXPECT_EQ((*audio)["codec_name"], "wmav2");
    EXPECT_NEAR(media.duration, 2.0, 0.2);
    EXPECT_TRUE(media.tags.empty());
}

struct VideoCase {
    std::string input;
    std::vector<std::string> options;
    std::string codec;
    std::string tag;  // empty: not checked
    std::string width, height, frameRate;
    bool withAudio;
};

TEST_F(EncoderEndToEnd, VideoModesCodecsAndFilters) {
    const VideoCase cases[] = {
        {"clip.mpg",
         {"-v_codec", "MP41", "-v_mode", "0", "-v_bitrate", "300000", "-v_keydist", "1", "-v_framerate", "15",
          "-v_width", "176", "-v_height", "144", "-a_mode", "0", "-a_setting", "64_48_2"},
         "mpeg4", "MP4S", "176", "144", "15/1", true},
        {"clip.vob", {"-v_codec", "UNCOMP", "-pixelformat", "RGB 24", "-videoonly"}, "rawvideo", "RGBA", "352",
         "288", "25/1", false},
        {"clip.vob", {"-v_codec", "UNCOMP", "-pixelformat", "YUY2", "-a_mode", "0", "-a_setting", "48_32_2"},
         "rawvideo", "YUY2", "352", "288", "25/1", true},
        {"clip.avi", {"-v_mode", "2", "-v_quality", "90", "-v_preproc", "4", "-videoonly"}, "wmv2", "WMV2", "320",
         "120", "50/1", false},
        {"clip.avi",
         {"-v_mode", "4", "-v_bitrate", "200000", "-v_peakbitrate", "400000", "-v_preproc", "7",
          "-pixelformat", "RGB 8", "-a_mode", "3", "-a_setting", "96_44_2"},
         "wmv2", "WMV2", "320", "240", "20/1", true},
        {"clip.avi", {"-v_mode", "3", "-v_bitrate", "300000", "-v_preproc", "2", "-v_performance", "100"}, "wmv2",
         "", "160", "120", "25/1", true},
        {"silent.avi", {"-v_mode", "0", "-a_mode", "0", "-a_setting", "64_44_2"}, "wmv2", "", "160", "120", "25/1",
         false},
    };
    for (const VideoCase& c : cases) {
        SCOPED_TRACE(c.input + " " + c.codec + " " + c.height);
        std::vector<std::string> options = {"-input", Media(c.input), "-output", "movie.wmv"};
        options.insert(options.end(), c.options.begin(), c.options.end());
        const ProgramResult result = Encode(options);
        ASSERT_EQ(result.exitCode, 0) << result.output;
        EXPECT_EQ(Listing(), Names{"movie.wmv"});
        const ProbedMedia media = Probe(work_ / "movie.wmv");
        EXPECT_EQ(media.formatName, "asf");
        const ProbedStream* video = media.first("video");
        ASSERT_TRUE(video);
        EXPECT_EQ((*video)["codec_name"], c.codec);
        if (!c.tag.empty()) {
            EXPECT_EQ((*video)["codec_tag_string"], c.tag);
        }
        EXPECT_EQ((*video)["width"], c.width);
        EXPECT_EQ((*video)["height"], c.height);
        EXPECT_EQ((*video)["r_frame_rate"], c.frameRate);
        EXPECT_EQ(media.first("audio") != nullptr, c.withAudio);
        EXPECT_TRUE(media.tags.empty());
        fs::remove(work_ / "movie.wmv");
    }
}

TEST_F(EncoderEndToEnd, AudioOnlyTakesTheSoundOfAVideo) {
    const ProgramResult result = Encode({"-input", Media("clip.avi"), "-output", "clip.wma", "-audioonly", "-a_mode",
                                         "0", "-a_setting", "128_44_2", "-v_performance", "60"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const ProbedMedia media = Probe(work_ / "clip.wma");
    ASSERT_EQ(media.streams.size(), 1u);
    EXPECT_EQ(media.streams[0]["codec_name"], "wmav2");
}

TEST_F(EncoderEndToEnd, DebugPrintsTheFfmpegCommands) {
    const ProgramResult result = Encode({"-input", Media("clip.avi"), "-output", "clip.wmv", "-v_mode", "1",
                                         "-v_bitrate", "300000", "-videoonly", "-s_config", "debug"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("-pass 1"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("-pass 2"), std::string::npos);
    EXPECT_NE(result.output.find("Stream mapping"), std::string::npos);  // ffmpeg's own report
}

// ---- progress on stdout -------------------------------------------------------

TEST_F(EncoderEndToEnd, ProgressLinesRiseAndEndWithTheFinalLine) {
    const std::regex format(R"(progress: (\d+\.\d)% \d\d:\d\d:\d\d\.\d/(\d\d:\d\d:\d\d\.\d) speed=\d+\.\dx)"
                            R"(( pass=([12])/2 pass_percent=\d+\.\d%)?)");
    const struct {
        std::vector<std::string> options;
        std::string total;
        bool twoPass;
    } cases[] = {
        {{"-input", Media("tone8.wav"), "-output", "tone8.wma"}, "00:00:08.0", false},
        {{"-input", Media("tone.mp3"), "-output", "tone.wma"}, "00:00:02.0", false},
        {{"-input", Media("clip.avi"), "-output", "clip.wmv", "-v_mode", "1", "-videoonly"}, "00:00:02.0", true},
        {{"-input", Media("clip.mpg"), "-output", "clip.wma", "-audioonly"}, "00:00:02.0", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options[3]);
        ProgramRun run = Run(c.options, {});
        run.errorFile = console_ / "errors.txt";
        const ProgramResult result = RunProgram(run);
        ASSERT_EQ(result.exitCode, 0) << result.errors;
        std::vector<std::string> lines;
        std::istringstream output(result.output);
        for (std::string line; std::getline(output, line);) lines.push_back(line);
        ASSERT_GE(lines.size(), 3u) << result.output;
        EXPECT_EQ(lines.back(), "finished: ok");
        EXPECT_EQ(lines.end()[-2].rfind("progress: 100.0% " + c.total + "/" + c.total + " ", 0), 0u) << result.output;

        std::vector<double> percents;
        std::string passes;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(lines[i], m, format)) << lines[i];
            EXPECT_EQ(m[2], c.total);
            percents.push_back(std::stod(m[1]));
            passes += m[4];
        }
        EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end())) << result.output;
        EXPECT_LT(percents.front(), 50.0);
        if (c.twoPass) {
            EXPECT_TRUE(std::is_sorted(passes.begin(), passes.end()) && passes.front() == '1') << passes;
        }
        EXPECT_EQ(passes.empty(), !c.twoPass);
        fs::remove(work_ / c.options[3]);
    }

    // A small input whose headers give no duration is not probed: only the final line.
    const ProgramResult flash = Encode({"-input", Media("clip.flv"), "-output", "clip.wma", "-audioonly"});
    EXPECT_EQ(flash.output, "finished: ok\n");
}

// ---- failures leave nothing behind -----------------------------------------

TEST_F(EncoderEndToEnd, MissingScriptIsReportedAsTheScriptHostDoes) {
    const std::string script = (work_ / "nowhere" / "wmcmd.vbs").string();
    const ProgramResult result =
        Encode({"-input", Media("tone4.wav"), "-output", "x.wma"}, {}, script);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.output.find("Input Error: Can not find script file \"" + script + "\"."), std::string::npos)
        << result.output;
    EXPECT_TRUE(Listing().empty());

    work_.write("other.vbs", "WScript.Echo \"hello\"\n");
    const ProgramResult other =
        Encode({"-input", Media("tone4.wav"), "-output", "x.wma"}, {}, (work_ / "other.vbs").string());
    EXPECT_NE(other.exitCode, 0);
    EXPECT_EQ(Listing(), Names{"other.vbs"});
}

TEST_F(EncoderEndToEnd, BadArgumentsAndInputsLeaveNoOutput) {
    const std::vector<std::vector<std::string>> failing = {
        {"-input", Media("tone4.wav"), "-output", "x.wma", "-a_turbo", "1"},
        {"-input", Media("tone4.wav"), "-output", "x.wma", "-a_mode", "0", "-a_setting", "999_44_9"},
        {"-input", Media("missing.wav"), "-output", "x.wma"},
        {"-input", Media("folder.wav"), "-output", "x.wma"},
        {"-input", Media("noise.wav"), "-output", "x.wma"},  // ffmpeg fails on it
        {"-input", Media("silent.avi"), "-output", "x.wma", "-audioonly"},  // no sound to take
        {"-input", Media("clip.avi"), "-output", "x.wmv", "-v_mode", "0", "-v_width", "321", "-v_height", "241"},
    };
    for (const auto& options : failing) {
        SCOPED_TRACE(options[1] + " " + options.back());
        const ProgramResult result = Encode(options);
        EXPECT_NE(result.exitCode, 0);
        // The last line repeats the reason for whoever reads stdout.
        const auto reason = result.output.find("wmcmd: ");
        ASSERT_NE(reason, std::string::npos) << result.output;
        const std::string message = result.output.substr(reason + 7, result.output.find('\n', reason) - reason - 7);
        EXPECT_TRUE(result.output.ends_with("\nfinished: failed: " + message + "\n")) << result.output;
        EXPECT_TRUE(Listing().empty());
    }
}

TEST_F(EncoderEndToEnd, MissingFfmpegIsReported) {
    const ProgramResult result = Encode({"-input", Media("tone4.wav"), "-output", "x.wma"},
                                        {{"QORVANE_FFMPEG", "/nonexistent/ffmpeg"}});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.output.find("ffmpeg"), std::string::npos) << result.output;
    EXPECT_TRUE(Listing().empty());
}

TEST_F(EncoderEndToEnd, FailedRunKeepsAnEarlierOutput) {
    work_.write("x.wma", "earlier");
    const ProgramResult result = Encode({"-input", Media("noise.wav"), "-output", "x.wma"});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_EQ(Listing(), Names{"x.wma"});
    EXPECT_EQ(ReadFileBytes(work_ / "x.wma"), "earlier");
}

TEST_F(EncoderEndToEnd, LongestOutputNameIsWrittenAndReplaced) {
    const std::string name = std::string(251, 'n') + ".wma";  // NAME_MAX bytes
    for (int run = 0; run < 2; ++run) {  // the second replaces the first
        const ProgramResult result = Encode({"-input", Media("tone4.wav"), "-output", name});
        ASSERT_EQ(result.exitCode, 0) << result.output;
        EXPECT_EQ(Listing(), Names{name});
    }
    EXPECT_EQ(Probe(work_ / name).formatName, "asf");
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(fs::status(work_ / name).permissions(), static_cast<fs::perms>(0666 & ~mask));
}

// The encoder with a stand-in ffmpeg that writes part of its output and then
// waits; `temp` is its temporary folder.
class StoppedEncoder : public EncoderEndToEnd {
protected:
    pid_t Start(ProgramRun& run, const fs::path& temp) {
        const fs::path fake = console_.write("fake-ffmpeg",
                                             "#!/bin/sh\n"
                                             "for last; do :; done\n"
                                             "echo partial > \"${last#file:}\"\n"
                                             "echo $$ > \"$FAKE_PID_FILE.tmp\"\n"
                                             "mv \"$FAKE_PID_FILE.tmp\" \"$FAKE_PID_FILE\"\n"
                                             // Deaf to a polite stop, as an ffmpeg busy
                                             // finishing its file on a slow medium.
                                             "trap '' TERM INT HUP\n"
                                             "exec sleep 600\n");
        fs::permissions(fake, fs::perms::owner_all);
        fs::create_directory(temp);
        run = Run({"-input", Media("tone4.wav"), "-output", "x.wma"},
                  {{"QORVANE_FFMPEG", fake.string()}, {"FAKE_PID_FILE", pidFile_.string()}, {"TMPDIR", temp}});
        // Its own process group, so that the test can end all of it.
        run.program = "setsid";
        run.argv.front() = QORVANE_CSCRIPT_PATH;
        run.argv.insert(run.argv.begin(), "setsid");
        return StartProgram(run);
    }

    pid_t FfmpegPid() const { return ReadPid(pidFile_); }

    static Names Entries(const fs::path& dir) {
        Names names;
        for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path pidFile_ = console_ / "fake.pid";
};

TEST_F(StoppedEncoder, TerminationEndsFfmpegAtOnceAndCleansUp) {
    ProgramRun run;
    const fs::path temp = console_ / "tmp";
    const pid_t encoder = Start(run, temp);
    const pid_t child = FfmpegPid();
    ASSERT_NE(child, 0);
    ASSERT_EQ(Entries(temp).size(), 1u);  // the pass statistics' folder

    ASSERT_EQ(kill(encoder, SIGTERM), 0);
    const ProgramResult result = WaitProgram(encoder, run);
    EXPECT_EQ(result.signal, SIGTERM);
    EXPECT_TRUE(Listing().empty());
    EXPECT_TRUE(Entries(temp).empty());
    errno = 0;
    EXPECT_EQ(kill(child, 0), -1);  // the child was ended and collected
    EXPECT_EQ(errno, ESRCH);
}

TEST_F(StoppedEncoder, KilledGroupLeavesNoFileAndTheNextRunRemovesWhatWasLeft) {
    work_.write("x.wma", "earlier");
    ProgramRun run;
    const fs::path temp = console_ / "tmp";
    const pid_t encoder = Start(run, temp);
    ASSERT_NE(FfmpegPid(), 0);
    ASSERT_EQ(killpg(encoder, SIGKILL), 0);
    EXPECT_EQ(WaitProgram(encoder, run).signal, SIGKILL);
    EXPECT_TRUE(Eventually([&] { return LiveMembers(encoder).empty(); }));
    EXPECT_EQ(Listing(), Names{"x.wma"});
    EXPECT_EQ(ReadFileBytes(work_ / "x.wma"), "earlier");

    // What a killed run can leave by name carries its process id; what a
    // live one owns stays.
    const std::string dead = std::to_string(encoder);
    const std::string live = std::to_string(getpid());
    work_.write(".qorvane-cscript-" + dead + ".part", "x");
    work_.write(".qorvane-cscript-" + live + ".part", "x");
    fs::create_directory(temp / ("qorvane-cscript-" + live + "-AbC123"));
    ASSERT_EQ(Entries(temp).size(), 2u);
    const ProgramResult next =
        Encode({"-input", Media("tone4.wav"), "-output", "y.wma"}, {{"TMPDIR", temp.string()}});
    ASSERT_EQ(next.exitCode, 0) << next.output;
    EXPECT_EQ(Listing(), (Names{".qorvane-cscript-" + live + ".part", "x.wma", "y.wma"}));
    EXPECT_EQ(Entries(temp), Names{"qorvane-cscript-" + live + "-AbC123"});
}

}  // namespace
}  // namespace qorvane::testing
