// `qorvane-cli encode` from the outside: media made by ffmpeg, the stand-in
// encoder found through the registry file and PATH, every output read back
// with ffprobe (and TagLib for the exact attribute names).

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "e2e/asf_tag_dump.h"
#include "support/fake_logind.h"
#include "support/media_probe.h"
#include "support/media_tools.h"
#include "support/private_bus.h"
#include "support/process_table.h"
#include "support/run_program.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

namespace qorvane::testing {
namespace {

namespace fs = std::filesystem;
using Tags = std::map<std::string, std::string>;
using Attributes = std::map<std::string, std::vector<std::string>>;
using Lines = std::vector<std::string>;

// An ID3v1 tag: 30-byte fields, year, 28-byte comment, zero byte, track, genre.
std::string Id3v1Tag(unsigned char track, unsigned char genre) {
    std::string tag = "TAG" + std::string(125, '\0');
    tag.replace(3, 8, "Old Song");
    tag.replace(33, 8, "Old Band");
    tag.replace(63, 9, "Old Album");
    tag.replace(93, 4, "1999");
    tag.replace(97, 7, "v1 note");
    tag[126] = static_cast<char>(track);
    tag[127] = static_cast<char>(genre);
    return tag;
}

Lines SplitLines(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> Listing(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

class CliEncode : public ::testing::Test {
protected:
    static void TearDownTestSuite() { media_.reset(); }

    // A one-second medium made by ffmpeg on first use, shared by the tests
    // of one process.
    static fs::path Medium(const std::string& name) {
        if (!media_) media_ = std::make_unique<TempDir>();
        const fs::path dir = media_->path();
        const fs::path file = dir / name;
        if (fs::exists(file)) return file;
        const std::vector<std::string> picture = {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=1",
                                                  "-f", "lavfi", "-i", "sine=sample_rate=48000:duration=1"};
        const auto with = [](std::vector<std::string> first, const std::vector<std::string>& more) {
            first.insert(first.end(), more.begin(), more.end());
            return first;
        };
        if (name == "tone.wav") {
            RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=1", "-ac", "2", name}, dir);
        } else if (name == "song.mp3") {
            RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=1", "-c:a", "libmp3lame", "-b:a", "64k",
                       "-id3v2_version", "3", "-metadata", "title=夜明けの歌", "-metadata", "artist=山田 花子",
                       "-metadata", "album=朝のアルバム", "-metadata", "date=2024", "-metadata",
                       "copyright=(C) 2024 山田", "-metadata", "genre=演歌", name},
                      dir);
        } else if (name == "old.mp3") {
            media_->write(name, MakeBareMp3(dir) + Id3v1Tag(3, 17));
        } else if (name == "movie.avi") {
            RunFfmpeg(with(picture, {"-c:v", "mpeg4", "-c:a", "pcm_s16le", name}), dir);
        } else if (name == "film.mpg") {
            RunFfmpeg(with(picture, {"-c:v", "mpeg1video", "-c:a", "mp2", "-f", "mpeg", name}), dir);
        } else if (name == "disc.vob") {
            RunFfmpeg(with(picture, {"-c:v", "mpeg2video", "-c:a", "ac3", "-f", "vob", name}), dir);
        } else if (name == "tone.flac") {
            RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=1", "-c:a", "flac", name}, dir);
        } else if (name == "clip.mkv") {
            RunFfmpeg(with(picture, {"-c:v", "mpeg4", "-c:a", "libvorbis", name}), dir);
        } else if (name == "silent.mkv") {
            RunFfmpeg({picture[0], picture[1], picture[2], picture[3], "-c:v", "mpeg4", name}, dir);
        }
        return file;
    }

    CliEncode() {
        registry_ = dir_.write("registry.ini", std::string("[software\\Microsoft\\Windows Media\\Encoder]\n") +
                                                   "InstallDir=" + QORVANE_ENCODER_DIR + "/\n" +
                                                   "Version=9.0.0.2980\n");
        fs::create_directory(dir_ / "in");
    }

    // A copy of a made medium under a name of the test's choosing.
    fs::path Input(const std::string& medium, const std::string& name) {
        const fs::path file = dir_ / "in" / name;
        fs::copy_file(Medium(medium), file);
        return file;
    }

    fs::path Out(const std::string& name = "") const { return dir_ / "out" / name; }

    ProgramResult Encode(const std::vector<std::string>& arguments, const fs::path& cli = QORVANE_CLI_PATH) {
        return RunProgram(EncodeRun(arguments, cli));
    }

    ProgramRun EncodeRun(const std::vector<std::string>& arguments, const fs::path& cli = QORVANE_CLI_PATH) {
        ProgramRun run;
        run.program = cli;
        run.argv = {"qorvane-cli", "encode"};
        run.argv.insert(run.argv.end(), arguments.begin(), arguments.end());
        run.workingDirectory = dir_.path();
        const char* path = std::getenv("PATH");
        run.environment = {{"QORVANE_REGISTRY", registry_.string()},
                           {"QORVANE_LOG", (dir_ / "batch.log").string()},
                           {"PATH", std::string(QORVANE_ENCODER_DIR) + ":" + (path ? path : "/usr/bin:/bin")}};
        run.outputFile = dir_ / "cli.out";
        run.errorFile = dir_ / "cli.err";
        return run;
    }

    std::string Log() const { return ReadFileBytes(dir_ / "batch.log"); }

    // An ASF file with the streams named, about as long as its one-second source.
    static void ExpectAsf(const fs::path& file, const std::string& videoCodec, const std::string& audioCodec) {
        SCOPED_TRACE(file.filename().string());
        const ProbedMedia media = Probe(file);
        ASSERT_TRUE(media.readable);
        EXPECT_EQ(media.formatName, "asf");
        EXPECT_NEAR(media.duration, 1.0, 0.25);
        const ProbedStream* video = media.first("video");
        EXPECT_EQ(video ? (*video)["codec_name"] : "", videoCodec);
        const ProbedStream* audio = media.first("audio");
        EXPECT_EQ(audio ? (*audio)["codec_name"] : "", audioCodec);
    }

    // The tags, without the picture's aspect ratio that ffmpeg's muxer
    // stores beside them for every video stream.
    static AsfTagDump Dump(const fs::path& file) {
        auto dump = DumpAsfTags(file);
        EXPECT_TRUE(dump) << file;
        if (!dump) return {};
        dump->attributes.erase("AspectRatioX");
        dump->attributes.erase("AspectRatioY");
        return *dump;
    }

    static std::unique_ptr<TempDir> media_;
    TempDir dir_;
    fs::path registry_;
};

std::unique_ptr<TempDir> CliEncode::media_;

TEST_F(CliEncode, EveryKindOfInputBecomesAnAsfFileWithTheTagsOfItsJob) {
    const std::vector<fs::path> inputs = {Input("tone.wav", "tone.wav"),   Input("song.mp3", "song.mp3"),
                                          Input("old.mp3", "old.mp3"),     Input("movie.avi", "movie.avi"),
                                          Input("film.mpg", "film.mpg"),   Input("disc.vob", "disc.vob")};
    const fs::path profile = dir_.write("plain.wpf", "[audio]\nmode=1\nbitrate=14\n[video]\nmode=1\nbitrate=250\n");
    std::vector<std::string> arguments = {"--profile", profile.string(), "--out", Out().string()};
    for (const fs::path& input : inputs) arguments.push_back(input.string());

    const ProgramResult result = Encode(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
    EXPECT_EQ(SplitLines(result.output),
              (Lines{"encoded: " + inputs[0].string() + " -> " + Out("tone.wma").string(),
                     "encoded: " + inputs[1].string() + " -> " + Out("song.wma").string(),
                     "encoded: " + inputs[2].string() + " -> " + Out("old.wma").string(),
                     "encoded: " + inputs[3].string() + " -> " + Out("movie.wmv").string() + " (250 kbps)",
                     "encoded: " + inputs[4].string() + " -> " + Out("film.wmv").string() + " (250 kbps)",
                     "encoded: " + inputs[5].string() + " -> " + Out("disc.wmv").string() + " (250 kbps)"}));
    EXPECT_EQ(result.errors, "");

    for (const char* name : {"tone.wma", "song.wma", "old.wma"}) ExpectAsf(Out(name), "", "wmav2");
    for (const char* name : {"movie.wmv", "film.wmv", "disc.wmv"}) ExpectAsf(Out(name), "wmv2", "wmav2");

    // ID3v2 source: the row's tags came from it, and so does the genre name.
    EXPECT_EQ(ProbeTags(Out("song.wma")), (Tags{{"title", "夜明けの歌"},
                                                {"artist", "山田 花子"},
                                                {"album", "朝のアルバム"},
                                                {"copyright", "(C) 2024 山田"},
                                                {"WM/Year", "2024"},
                                                {"genre", "演歌"}}));
    const AsfTagDump song = Dump(Out("song.wma"));
    EXPECT_EQ(song.contentDescription,
              (Tags{{"Title", "夜明けの歌"}, {"Author", "山田 花子"}, {"Copyright", "(C) 2024 山田"}}));
    EXPECT_EQ(song.attributes, (Attributes{{"WM/AlbumTitle", {"朝のアルバム"}},
                                           {"WM/Year", {"2024"}},
                                           {"WM/Genre", {"演歌"}}}));

    // ID3v1 source: genre byte 17 as "(17)Rock", track 3, the comment.
    EXPECT_EQ(ProbeTags(Out("old.wma")), (Tags{{"title", "Old Song"},
                                               {"artist", "Old Band"},
                                               {"album", "Old Album"},
                                               {"WM/Year", "1999"},
                                               {"WM/GenreID", "(17)Rock"},
                                               {"track", "3"},
                                               {"comment", "v1 note"}}));
    const AsfTagDump old = Dump(Out("old.wma"));
    EXPECT_EQ(old.contentDescription,
              (Tags{{"Title", "Old Song"}, {"Author", "Old Band"}, {"Description", "v1 note"}}));
    EXPECT_EQ(old.attributes, (Attributes{{"WM/AlbumTitle", {"Old Album"}},
                                          {"WM/Year", {"1999"}},
                                          {"WM/GenreID", {"(17)Rock"}},
                                          {"WM/TrackNumber", {"3"}}}));

    // Jobs with no tag at all: nothing is written, not even by the encoder.
    for (const char* name : {"tone.wma", "movie.wmv", "film.wmv", "disc.wmv"}) {
        EXPECT_EQ(ProbeTags(Out(name)), Tags{}) << name;
        const AsfTagDump dump = Dump(Out(name));
        EXPECT_TRUE(dump.contentDescription.empty() && dump.attributes.empty()) << name;
    }

    // Each run's command line heads its part of the batch log, its end closes it.
    const std::string log = Log();
    EXPECT_NE(log.find("cscript.exe \"" QORVANE_ENCODER_DIR "/wmcmd.vbs\" -input \"" + inputs[0].string() +
                       "\" -output \"tone.wma\" -a_mode 0 -a_setting 64_44_2\n"),
              std::string::npos)
        << log;
    const Lines logLines = SplitLines(log);
    EXPECT_EQ(std::count_if(logLines.begin(), logLines.end(),
                            [](const std::string& line) { return line.ends_with(" exited with code 0"); }),
              static_cast<long>(inputs.size()))
        << log;
}

// Beyond the five classic kinds: what a file holds decides .wma or .wmv, and
// a file of no kind the program takes is named, not lost.
TEST_F(CliEncode, AnyAudioOrVideoFileBecomesWmaOrWmvByWhatItHolds) {
    const std::vector<fs::path> inputs = {Input("tone.flac", "tone.flac"), Input("clip.mkv", "clip.mkv"),
                                          Input("silent.mkv", "silent.mkv"), dir_.write("in/notes.txt", "x")};
    const fs::path profile = dir_.write("plain.wpf", "[audio]\nmode=1\nbitrate=14\n[video]\nmode=1\nbitrate=250\n");
    std::vector<std::string> arguments = {"--profile", profile.string(), "--out", Out().string()};
    for (const fs::path& input : inputs) arguments.push_back(input.string());

    const ProgramResult result = Encode(arguments);
    EXPECT_EQ(result.exitCode, 1) << result.output << result.errors;
    EXPECT_EQ(SplitLines(result.output),
              (Lines{"skipped: " + inputs[3].string() + ": この種類のファイルは変換できません",
                     "encoded: " + inputs[0].string() + " -> " + Out("tone.wma").string(),
                     "encoded: " + inputs[1].string() + " -> " + Out("clip.wmv").string() + " (250 kbps)",
                     "encoded: " + inputs[2].string() + " -> " + Out("silent.wmv").string() + " (250 kbps)"}));
    ExpectAsf(Out("tone.wma"), "", "wmav2");
    ExpectAsf(Out("clip.wmv"), "wmv2", "wmav2");
    ExpectAsf(Out("silent.wmv"), "wmv2", "");  // no sound in, none out
}

TEST_F(CliEncode, SeveralVideoBitRatesGiveOneFilePerRateForVideoOnly) {
    const fs::path clip = Input("movie.avi", "clip.avi");
    const fs::path song = Input("song.mp3", "song.mp3");
    // A profile file under a path with blanks and Japanese characters.
    const fs::path profile = dir_.write("設定 ファイル/二つの レート.wpf", "[video]\nmode=1\nbitrate=300,500\n");

    const ProgramResult result =
        Encode({"--profile", profile.string(), "--out", Out().string(), clip.string(), song.string()});
    EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
    EXPECT_EQ(SplitLines(result.output),
              (Lines{"encoded: " + clip.string() + " -> " + Out("clip_v300.wmv").string() + " (300 kbps)",
                     "encoded: " + clip.string() + " -> " + Out("clip_v500.wmv").string() + " (500 kbps)",
                     "encoded: " + song.string() + " -> " + Out("song.wma").string()}));
    EXPECT_EQ(Listing(Out()), (std::vector<std::string>{"clip_v300.wmv", "clip_v500.wmv", "song.wma"}));
    ExpectAsf(Out("clip_v300.wmv"), "wmv2", "wmav2");
    ExpectAsf(Out("clip_v500.wmv"), "wmv2", "wmav2");
    ExpectAsf(Out("song.wma"), "", "wmav2");
    const std::string log = Log();
    EXPECT_NE(log.find("-output \"clip_v300.wmv\" -v_mode 0 -v_bitrate 300000 "), std::string::npos) << log;
    EXPECT_NE(log.find("-output \"clip_v500.wmv\" -v_mode 0 -v_bitrate 500000 "), std::string::npos) << log;
    // Both runs of the video job carry its (empty) tags; the MP3 keeps its own.
    EXPECT_EQ(ProbeTags(Out("clip_v500.wmv")), Tags{});
    EXPECT_EQ(ProbeTags(Out("song.wma")).at("title"), "夜明けの歌");
}

// Two runs at a time give what one at a time gives: the same files with the
// same tags, one whole line per run, and two inputs that make one output
// name take their turns, the later row's file remaining.
TEST_F(CliEncode, TwoRunsAtATimeGiveWhatOneAtATimeGives) {
    const std::vector<fs::path> inputs = {Input("song.mp3", "song.mp3"), Input("old.mp3", "old.mp3"),
                                          Input("tone.wav", "tone.wav"), Input("movie.avi", "clip.avi"),
                                          Input("film.mpg", "clip.mpg")};
    const fs::path profile = dir_.write("plain.wpf", "[audio]\nmode=1\nbitrate=14\n[video]\nmode=1\nbitrate=250\n");
    std::map<std::string, Lines> lines;
    for (const std::string jobs : {"1", "2"}) {
        std::vector<std::string> arguments = {"--profile", profile.string(), "--jobs", jobs, "--out", Out(jobs).string()};
        for (const fs::path& input : inputs) arguments.push_back(input.string());
        const ProgramResult result = Encode(arguments);
        EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
        for (std::string line : SplitLines(result.output)) {
            line.replace(line.find(Out(jobs).string()), Out(jobs).string().size(), "OUT");
            lines[jobs].push_back(line);
        }
        std::sort(lines[jobs].begin(), lines[jobs].end());
    }
    EXPECT_EQ(lines["2"], lines["1"]);
    EXPECT_EQ(lines["2"].size(), inputs.size());
    EXPECT_EQ(Listing(Out("2")), Listing(Out("1")));
    for (const std::string& name : Listing(Out("1"))) {
        SCOPED_TRACE(name);
        const AsfTagDump one = Dump(Out("1") / name);
        const AsfTagDump two = Dump(Out("2") / name);
        EXPECT_EQ(two.contentDescription, one.contentDescription);
        EXPECT_EQ(two.attributes, one.attributes);
        EXPECT_EQ(Probe(Out("2") / name).first("video") != nullptr, Probe(Out("1") / name).first("video") != nullptr);
    }
    // Both clips make clip.wmv: the MPEG one, later in the list, started
    // only once the AVI one's encoder had ended.
    const std::string log = Log();
    const std::size_t avi = log.rfind("-input \"" + inputs[3].string());
    const std::size_t started = log.find("-- process ", avi);
    ASSERT_NE(started, std::string::npos) << log;
    const std::string pid = log.substr(started + 11, log.find(' ', started + 11) - started - 11);
    EXPECT_LT(log.find("-- process " + pid + " exited with code 0", avi), log.rfind("-input \"" + inputs[4].string()))
        << log;
}

TEST_F(CliEncode, MissingInputAndQuotedPathAreSkippedAndTheRestEncoded) {
    const fs::path missing = dir_ / "in" / "missing.wav";
    const fs::path quoted = Input("tone.wav", "say \"hi\".wav");
    const fs::path tone = Input("tone.wav", "tone.wav");

    const ProgramResult result = Encode({"--out", Out().string(), missing.string(), quoted.string(), tone.string()});
    EXPECT_EQ(result.exitCode, 1);
    const Lines lines = SplitLines(result.output);
    ASSERT_EQ(lines.size(), 3u) << result.output;
    EXPECT_EQ(lines[0], "skipped: " + missing.string() + ": ファイルが見つかりません");
    EXPECT_EQ(lines[1], "skipped: " + quoted.string() + ": 名前に \" を含むファイルは変換できません");
    EXPECT_EQ(lines[2], "encoded: " + tone.string() + " -> " + Out("tone.wma").string());
    EXPECT_EQ(Listing(Out()), std::vector<std::string>{"tone.wma"});
    // The log, where the window's end-of-batch report sends the user, has them too.
    const std::string log = Log();
    EXPECT_NE(log.find("-- skipped: " + missing.string() + ": ファイルが見つかりません\n"), std::string::npos) << log;
    EXPECT_NE(log.find("-- skipped: " + quoted.string() + ": 名前に"), std::string::npos) << log;
}

TEST_F(CliEncode, ACoverBesideTheInputIsCarriedUnlessNoCover) {
    const fs::path tone = Input("tone.wav", "tone.wav");
    dir_.write("in/Cover.JPG", "jpeg bytes");
    ASSERT_EQ(Encode({"--out", Out("with").string(), tone.string()}).exitCode, 0);
    ASSERT_EQ(Encode({"--no-cover", "--out", Out("without").string(), tone.string()}).exitCode, 0);
    EXPECT_EQ(Dump(Out("with/tone.wma")).pictures, (std::vector<SourcePicture>{{3, "image/jpeg", "", "jpeg bytes"}}));
    EXPECT_TRUE(Dump(Out("without/tone.wma")).pictures.empty());
}

TEST_F(CliEncode, AFailedRunIsReportedEvenWhenAnEarlierOutputIsThere) {
    const fs::path broken = dir_.write("in/broken.wav", std::string(4096, 'x'));
    const fs::path tone = Input("tone.wav", "tone.wav");
    const fs::path earlier = dir_.write("out/broken.wma", "from an earlier batch");

    const ProgramResult result = Encode({"--out", Out().string(), broken.string(), tone.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(SplitLines(result.output),
              (Lines{"failed: " + broken.string() + " -> " + earlier.string() + ": エンコーダがエラーで終了しました (終了コード 1)",
                     "encoded: " + tone.string() + " -> " + Out("tone.wma").string()}));
    EXPECT_EQ(ReadFileBytes(earlier), "from an earlier batch");
    EXPECT_NE(Log().find("wmcmd: "), std::string::npos) << Log();  // the encoder's message is kept
}

// A minute of 64 kbps sound (about 469 KB) for a disk of 256 KB.
TEST_F(CliEncode, OutputsThatMayNotFitAreNotStartedUnlessToldAndAFullDiskLeavesNoPartialFile) {
    RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=60", "-ac", "2", "minute.wav"}, dir_ / "in");
    const fs::path minute = dir_ / "in" / "minute.wav";
    SmallDisk disk(Out(), "256k");
    ASSERT_TRUE(disk.mounted()) << "mounting the small output folder needs root";

    ProgramResult result = Encode({"--out", Out().string(), minute.string()});
    EXPECT_EQ(result.exitCode, 73);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(SplitLines(result.errors),
              (Lines{"空き容量が足りない可能性があります（必要 約 469 KB、空き 256 KB）: " + Out().string(),
                     "not started; --ignore-space starts all the same"}));
    EXPECT_TRUE(fs::is_empty(Out()));

    // Told to go on, the run fails on the full disk, is reported, and its
    // output does not stay behind half written.
    result = Encode({"--ignore-space", "--out", Out().string(), minute.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output.rfind("failed: " + minute.string() + " -> " + Out("minute.wma").string(), 0), 0u)
        << result.output;
    EXPECT_TRUE(fs::is_empty(Out()));
}

TEST_F(CliEncode, AnOutputFolderThatCannotBeMadeIsReportedAndTheBatchGoesOn) {
    const fs::path blocker = dir_.write("not-a-folder", "x");
    const fs::path first = Input("tone.wav", "first.wav");
    const fs::path second = Input("tone.wav", "second.wav");

    const ProgramResult result =
        Encode({"--out", (blocker / "sub").string(), first.string(), second.string()});
    EXPECT_EQ(result.exitCode, 1);
    // One message per job: the second job was still tried.
    EXPECT_EQ(SplitLines(result.errors), (Lines{"フォルダを作成できません", "フォルダを作成できません"}));
    EXPECT_EQ(SplitLines(result.output), (Lines{"skipped: " + first.string() + ": フォルダを作成できません",
                                                "skipped: " + second.string() + ": フォルダを作成できません"}));
    EXPECT_EQ(ReadFileBytes(blocker), "x");
}

TEST_F(CliEncode, NamesWithBlanksShellCharactersAndJapaneseAreTakenLiterally) {
    // The profile is named as in the profile folder beside the program, so
    // the program runs from a copy in the test's folder; the encoder's host
    // is then found on PATH.
    fs::create_directories(dir_ / "bin" / "Profile");
    const fs::path cli = dir_ / "bin" / "qorvane-cli";
    fs::copy_file(QORVANE_CLI_PATH, cli);
    dir_.write("bin/Profile/無損失 音声 1.wpf", "[audio]\nmode=6\n");  // lossless: PCM in ASF

    const std::vector<std::string> names = {"two  words.wav", "$HOME;x&y*z`touch pwned`$(touch pwned).wav",
                                            "日本語の 歌.mp3"};
    std::vector<std::string> arguments = {"--profile", "無損失 音声 1", "--out", Out().string()};
    for (std::size_t i = 0; i < names.size(); ++i)
        arguments.push_back(Input(i < 2 ? "tone.wav" : "song.mp3", names[i]).string());

    const ProgramResult result = Encode(arguments, cli);
    EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
    EXPECT_EQ(Listing(Out()), (std::vector<std::string>{"$HOME;x&y*z`touch pwned`$(touch pwned).wma",
                                                         "two  words.wma", "日本語の 歌.wma"}));
    for (const std::string& name : Listing(Out())) ExpectAsf(Out(name), "", "pcm_s16le");
    EXPECT_EQ(ProbeTags(Out("日本語の 歌.wma")).at("artist"), "山田 花子");
    for (const auto& entry : fs::recursive_directory_iterator(dir_.path()))
        EXPECT_NE(entry.path().filename(), "pwned") << "a shell ran: " << entry.path();
}

// Installed: the programs in <prefix>/bin, the encoder in the private folder
// <prefix>/libexec/qorvane and registered by the install in
// <prefix>/etc/xdg/qorvane. With nothing in the environment pointing there,
// the CLI finds the encoder from its own place and takes the user's profiles
// from the folder the window uses.
TEST_F(CliEncode, InstalledItFindsTheEncoderFromItsPlaceAndTheUsersProfiles) {
    const fs::path prefix = dir_ / "prefix";
    const fs::path privateDir = prefix / "libexec" / "qorvane";
    fs::create_directories(prefix / "bin");
    fs::create_directories(privateDir);
    fs::copy_file(QORVANE_CLI_PATH, prefix / "bin" / "qorvane-cli");
    for (const char* name : {"qorvane-cscript", "wmcmd.vbs"})
        fs::copy_file(fs::path(QORVANE_ENCODER_DIR) / name, privateDir / name);
    dir_.write("prefix/etc/xdg/qorvane/registry.ini", "[software\\Microsoft\\Windows Media\\Encoder]\nInstallDir=" +
                                                          privateDir.string() + "/\nVersion=9.0.0.2980\n");
    dir_.write("home/.config/qorvane/Profile/Voice.wpf", "[audio]\nmode=6\n");  // lossless: PCM in ASF
    const fs::path song = Input("song.mp3", "song.mp3");

    ProgramRun run = EncodeRun({"--profile", "Voice", "--out", Out().string(), song.string()}, prefix / "bin" / "qorvane-cli");
    run.environment["QORVANE_REGISTRY"] = "";  // empty counts as unset
    run.environment["HOME"] = (dir_ / "home").string();
    run.environment["XDG_CONFIG_HOME"] = "";
    run.environment["XDG_CONFIG_DIRS"] = (dir_ / "nowhere").string();
    run.environment["PATH"] = "/usr/bin:/bin";
    const ProgramResult result = RunProgram(run);
    EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
    EXPECT_EQ(result.output, "encoded: " + song.string() + " -> " + Out("song.wma").string() + "\n");
    ExpectAsf(Out("song.wma"), "", "pcm_s16le");
    EXPECT_EQ(ProbeTags(Out("song.wma")).at("title"), "夜明けの歌");
}

// Ctrl-C, Ctrl-\ or a kill of the front end ends the encoder's whole process group
// (it is not in the terminal's group), leaves no partial file and says what
// was not done.
TEST_F(CliEncode, ATerminationSignalStopsTheEncoderAndListsWhatWasNotDone) {
    // An ffmpeg that never finishes, so that the run is still going.
    const fs::path ffmpeg = dir_.write("slow-ffmpeg", "#!/bin/sh\necho $$ > \"$QORVANE_TEST_DIR/ffmpeg.pid\"\nexec sleep 30\n");
    fs::permissions(ffmpeg, fs::perms::owner_all);
    const fs::path first = Input("tone.wav", "first.wav");
    const fs::path second = Input("tone.wav", "second.wav");
    for (const int signal : {SIGTERM, SIGINT, SIGQUIT}) {
        SCOPED_TRACE(signal);
        fs::remove(dir_ / "ffmpeg.pid");
        ProgramRun run = EncodeRun({"--out", Out().string(), first.string(), second.string()});
        run.environment["QORVANE_FFMPEG"] = ffmpeg.string();
        run.environment["QORVANE_TEST_DIR"] = dir_.path().string();
        const pid_t cli = StartProgram(run);
        const pid_t encoder = ReadPid(dir_ / "ffmpeg.pid");
        ASSERT_NE(encoder, 0);
        ::kill(cli, signal);
        const ProgramResult result = WaitProgram(cli, run);
        EXPECT_EQ(result.exitCode, 128 + signal);
        // The interrupted job is not done either: a later run would do it again.
        EXPECT_EQ(SplitLines(result.output), (Lines{"aborted: " + first.string() + " -> " + Out("first.wma").string(),
                                                     "not done: " + first.string(), "not done: " + second.string()}));
        EXPECT_TRUE(Eventually([&] { return !IsAlive(encoder); }));
        EXPECT_TRUE(Listing(Out()).empty());
    }

    // Under nohup a hangup leaves the batch alone: only the SIGTERM after it
    // stops it.
    fs::remove(dir_ / "ffmpeg.pid");
    ProgramRun run = EncodeRun({"--out", Out().string(), first.string()});
    run.environment["QORVANE_FFMPEG"] = ffmpeg.string();
    run.environment["QORVANE_TEST_DIR"] = dir_.path().string();
    ::signal(SIGHUP, SIG_IGN);
    const pid_t cli = StartProgram(run);
    ::signal(SIGHUP, SIG_DFL);
    ASSERT_NE(ReadPid(dir_ / "ffmpeg.pid"), 0);
    ::kill(cli, SIGHUP);
    ::kill(cli, SIGTERM);
    EXPECT_EQ(WaitProgram(cli, run).exitCode, 128 + SIGTERM);
}

// While the batch runs the computer stays awake: the lock logind granted is
// held until the batch stops (here by a signal).
TEST_F(CliEncode, ABatchHoldsTheLockAgainstSleepWhileItRuns) {
    PrivateBus bus;
    FakeLogind logind(bus.address());
    const fs::path ffmpeg = dir_.write("slow-ffmpeg", "#!/bin/sh\necho $$ > \"$QORVANE_TEST_DIR/ffmpeg.pid\"\nexec sleep 30\n");
    fs::permissions(ffmpeg, fs::perms::owner_all);
    ProgramRun run = EncodeRun({"--out", Out().string(), Input("tone.wav", "first.wav").string()});
    run.environment["QORVANE_FFMPEG"] = ffmpeg.string();
    run.environment["QORVANE_TEST_DIR"] = dir_.path().string();
    run.environment["DBUS_SYSTEM_BUS_ADDRESS"] = bus.address();
    const pid_t cli = StartProgram(run);
    ASSERT_NE(ReadPid(dir_ / "ffmpeg.pid"), 0);  // the run is going
    EXPECT_EQ(logind.calls(), std::vector<std::string>{"sleep:idle Qorvane 変換中 block"});
    EXPECT_FALSE(logind.lockGone(0));
    ::kill(cli, SIGTERM);
    EXPECT_EQ(WaitProgram(cli, run).exitCode, 128 + SIGTERM);
    EXPECT_TRUE(logind.lockGone(5000));
}

// A reader that goes away (`qorvane-cli encode … | head -1`) stops the batch
// as SIGPIPE would have, in good order: no encoder outlives the front end.
TEST_F(CliEncode, AClosedOutputPipeStopsTheBatchLikeSigpipe) {
    // ffmpeg by input: "first" at once, "second" once the pipe is closed,
    // any other never (its process id noted).
    const fs::path ffmpeg = dir_.write("ffmpeg-by-input",
                                       "#!/bin/sh\n"
                                       "case \"$*\" in\n"
                                       "  *first.wav*) ;;\n"
                                       "  *second.wav*) while [ ! -e \"$QORVANE_TEST_DIR/closed\" ]; do sleep 0.01; done ;;\n"
                                       "  *) echo $$ > \"$QORVANE_TEST_DIR/ffmpeg.pid\"; exec sleep 30 ;;\n"
                                       "esac\n"
                                       "exec ffmpeg \"$@\"\n");
    fs::permissions(ffmpeg, fs::perms::owner_all);
    std::vector<std::string> arguments = {"--jobs", "2", "--out", Out().string()};
    for (const char* name : {"first.wav", "second.wav", "third.wav", "fourth.wav"})
        arguments.push_back(Input("tone.wav", name).string());
    ProgramRun run = EncodeRun(arguments);
    run.environment["QORVANE_FFMPEG"] = ffmpeg.string();
    run.environment["QORVANE_TEST_DIR"] = dir_.path().string();
    int pipe[2];
    ASSERT_EQ(::pipe2(pipe, O_CLOEXEC), 0);
    run.outputDescriptor = pipe[1];
    const pid_t cli = StartProgram(run);
    ::close(pipe[1]);

    // The first line, then the reader goes while "third" is running.
    std::string line;
    for (char c = 0; line.find('\n') == std::string::npos && ::read(pipe[0], &c, 1) == 1;) line += c;
    EXPECT_EQ(line, "encoded: " + (dir_ / "in" / "first.wav").string() + " -> " + Out("first.wma").string() + "\n");
    const pid_t third = ReadPid(dir_ / "ffmpeg.pid");
    pid_t group = 0;
    for (const ProcStat& process : AllProcesses()) {
        if (process.pid == third) group = process.group;
    }
    ::close(pipe[0]);
    dir_.write("closed", "");
    const ProgramResult result = WaitProgram(cli, run);
    ASSERT_NE(group, 0);

    EXPECT_EQ(result.exitCode, 128 + SIGPIPE) << result.errors;
    EXPECT_TRUE(Eventually([&] { return LiveMembers(group).empty(); }));
    EXPECT_EQ(Listing(Out()), (std::vector<std::string>{"first.wma", "second.wma"}));
    if (!LiveMembers(group).empty()) ::kill(-group, SIGKILL);  // left behind: not by the next test too
}

// Runs the front end with its stdout and stderr on a pseudo-terminal, as in a
// terminal window; what it wrote there.
std::string RunOnTerminal(const ProgramRun& run) {
    int master = -1;
    int slave = -1;
    winsize size{};
    size.ws_col = 100;
    size.ws_row = 30;
    if (::openpty(&master, &slave, nullptr, nullptr, &size) != 0) throw std::runtime_error("no pseudo-terminal");
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (!run.environment.count(text.substr(0, text.find('=')))) environment.push_back(text);
    }
    for (const auto& [name, value] : run.environment) environment.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (const std::string& argument : run.argv) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, slave, 1);
    posix_spawn_file_actions_adddup2(&actions, slave, 2);
    posix_spawn_file_actions_addchdir_np(&actions, run.workingDirectory.c_str());
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, run.program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(slave);
    std::string output;
    char buffer[4096];
    for (ssize_t got; error == 0 && (got = ::read(master, buffer, sizeof buffer)) > 0;) output.append(buffer, got);
    ::close(master);
    int status = 0;
    if (error == 0) ::waitpid(pid, &status, 0);
    return output;
}

TEST_F(CliEncode, OnATerminalEachRunKeepsOneLineUpdatingInPlaceAndQuietKeepsOnlyFailures) {
    // Two seconds of sound that ffmpeg reads at its own pace, so that the
    // line has something to show on the way.
    const fs::path ffmpeg = dir_.write("ffmpeg-re", "#!/bin/sh\nexec ffmpeg -re \"$@\"\n");
    fs::permissions(ffmpeg, fs::perms::owner_all);
    RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=2", "-ac", "2", "in/slow.wav"}, dir_.path());
    const fs::path slow = dir_ / "in" / "slow.wav";
    ProgramRun run = EncodeRun({"--out", Out().string(), slow.string()});
    run.environment["QORVANE_FFMPEG"] = ffmpeg.string();
    const std::string shown = RunOnTerminal(run);
    const auto live = shown.find("\r\x1b[K[1/1] ");
    ASSERT_NE(live, std::string::npos) << shown;
    EXPECT_NE(shown.find("% ", live), std::string::npos) << shown;
    EXPECT_NE(shown.find("slow.wav", live), std::string::npos) << shown;
    // The run's own line takes the place of the updating one.
    const std::string last = "\r\x1b[Kencoded: " + slow.string() + " -> " + Out("slow.wma").string() + "\r\n";
    ASSERT_GE(shown.size(), last.size());
    EXPECT_EQ(shown.substr(shown.size() - last.size()), last) << shown;

    const fs::path tone = Input("tone.wav", "tone.wav");
    const ProgramResult quiet = Encode({"--quiet", "--out", Out().string(), tone.string(), "gone.wav"});
    EXPECT_EQ(quiet.exitCode, 1);
    EXPECT_EQ(quiet.output, "skipped: " + (dir_ / "gone.wav").string() + ": ファイルが見つかりません\n");
}

}  // namespace
}  // namespace qorvane::testing
