#include "cli/cli_commands.h"
#include "platform/posix/cp932_code_page.h"
#include "platform/posix/media_tag_reader.h"
#include "platform/posix/posix_directory_walk.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/id3_test_bytes.h"
#include "support/media_tools.h"
#include "support/temp_dir.h"

namespace qorvane::cli {
namespace {

using qorvane::testing::TempDir;

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result RunCli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const Cp932CodePage cp932;
    const FileMediaTagReader tagReader(cp932);
    const int status = Run(args, out, err, cp932, tagReader, PosixDirectoryWalk());
    return {status, out.str(), err.str()};
}

TEST(Cli, ProfilePrintsTheFifteenFieldsAsLoaded) {
    TempDir dir;
    const auto wpf = dir.write("p.wpf", "[audio]\nmode=5\npeak=96\n[video]\nbitrate=300,500\nframerate=\n");
    const Result r = RunCli({"profile", wpf.string()});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out,
              "AudioMode: 5\nAudioSetting: 14\nAudioPeak: 96\nVideoMode: 1\nVideoBitrate: 300,500\n"
              "VideoQuality: 75\nFrameRate: \nKeyFrame: \nVideoPeak: \nVideoSize: 0\nPixelFormat: 0\n"
              "VideoFilter: 0\nCustomWidth: 320\nCustomHeight: 240\nPerformance: 0\n");
}

TEST(Cli, CommandLineReproducesTheWorkedExample) {
    TempDir dir;
    const auto wpf = dir.write("ex.wpf",
                               "[audio]\nmode=1\nbitrate=17\n[video]\nmode=2\nbitrate=500\nquality=75\n"
                               "keyframe=8\nsize=5\nperformance=3\n");
    const auto clip = dir.write("in/clip.avi", "x");
    const Result r = RunCli({"command-line", "--profile", wpf.string(), "--script", "/opt/enc/wmcmd.vbs",
                             clip.string()});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out, "output: clip.wmv\ncommand: cscript.exe \"/opt/enc/wmcmd.vbs\" -input \"" + clip.string() +
                         "\" -output \"clip.wmv\" -v_mode 1 -v_bitrate 500000 -v_quality 75 -v_keydist 8 "
                         "-v_width 320 -v_height 240 -a_mode 0 -a_setting 128_44_2 -v_performance 60\n");
}

TEST(Cli, CommandLineRunsPerBitRateAndSkipsWhatCannotRun) {
    TempDir dir;
    const auto wpf = dir.write("multi.wpf", "[video]\nbitrate=300,500\n");
    const auto clip = dir.write("clip.avi", "x");
    const auto song = dir.write("song.mp3", "x");
    const Result r = RunCli({"command-line", "--debug", "--profile", wpf.string(), "--script", "/s/wmcmd.vbs",
                             clip.string(), song.string(), (dir / "gone.avi").string(), "notes.txt"});
    std::istringstream lines(r.out);
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);) got.push_back(line.substr(0, line.find(' ', 9)));
    EXPECT_EQ(got, (std::vector<std::string>{"output: clip_v300.wmv", "command: cscript.exe",
                                             "output: clip_v500.wmv", "command: cscript.exe",
                                             "output: song.wma", "command: cscript.exe",
                                             "skipped: " + (dir / "gone.avi").string(), "skipped: notes.txt"}));
    EXPECT_NE(r.out.find("-s_config debug\n"), std::string::npos);
}

TEST(Cli, TagsReportsUnreadableFilesAndGoesOn) {
    TempDir dir;
    const auto plain = dir.write("plain.txt", std::string(200, 'x'));
    const Result r = RunCli({"tags", (dir / "missing.mp3").string(), plain.string()});
    EXPECT_EQ(r.status, kExitUnreadable);
    EXPECT_EQ(r.err, "ファイル " + (dir / "missing.mp3").string() + " は開けません\n");
    EXPECT_EQ(r.out, "file: " + plain.string() + "\nmpeg: no\n");
}

TEST(Cli, TagsOfAnMp3KeepTheirLinesAndAddTheCarriedOnes) {
    using namespace qorvane::testing;
    TempDir dir;
    const std::string tag = Tag(3, 0, Frame23("TIT2", Text("Song")) + Frame23("TPE2", Text("Band")) +
                                          Frame23("APIC", Text(std::string("image/jpeg\0\x03\0", 13) + "JPEG")));
    const auto mp3 = dir.write("a.mp3", tag + MpegAudio());
    const Result r = RunCli({"tags", mp3.string()});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out, "file: " + mp3.string() +
                         "\nmpeg: yes\nTitle: Song\nArtist: \nAlbum: \nYear: \nComment: \nCopyright: \nGenre: \n"
                         "Track: 0\nAudioOffset: " + std::to_string(tag.size()) +
                         "\nAlbumArtist: Band\nDisc: \nComposer: \nPicture: 3 image/jpeg 4\n");
}

TEST(Cli, TagsOfOtherFormatsPrintTheSameLines) {
    TempDir dir;
    testing::RunFfmpeg({"-f", "lavfi", "-i", "color=red:s=8x8:d=0.04", "-frames:v", "1", "cover.png"}, dir.path());
    testing::RunFfmpeg({"-f", "lavfi", "-i", "sine=d=0.2", "-i", "cover.png", "-map", "0:a", "-map", "1:v",
                        "-c:v", "copy", "-disposition:v", "attached_pic",
                        "-metadata:s:v", "comment=Cover (front)", "-metadata", "title=Song", "-metadata",
                        "date=1999", "-metadata", "track=7", "-metadata", "composer=Bach", "a.flac"},
                       dir.path());
    const Result r = RunCli({"tags", (dir / "a.flac").string()});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out,
              "file: " + (dir / "a.flac").string() +
                  "\nmpeg: no\nTitle: Song\nArtist: \nAlbum: \nYear: 1999\nComment: \nCopyright: \nGenre: \n"
                  "Track: 7\nAlbumArtist: \nDisc: \nComposer: Bach\nPicture: 3 image/png " +
                  std::to_string(std::filesystem::file_size(dir / "cover.png")) + "\n");
}

TEST(Cli, ListNamesTheFilesOfFoldersInTheirOrderAndWhatItWouldNotTake) {
    TempDir dir;
    dir.write("in/曲 10.mp3", "x");
    dir.write("in/曲 9.mp3", "x");
    dir.write("in/CD 2/1.flac", "x");
    dir.write("in/readme.txt", "x");
    const auto notes = dir.write("notes.txt", "x");
    const std::string in = (dir / "in").string();
    const Result r = RunCli({"list", in, notes.string()});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_EQ(r.out, in + "/CD 2/1.flac\n" + in + "/曲 9.mp3\n" + in + "/曲 10.mp3\n");
    EXPECT_EQ(r.err, "not taken: " + notes.string() + "\n");
}

TEST(Cli, UsageErrorsExit64) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"bogus"}, {"profile"}, {"profile", "a", "b"}, {"tags"}, {"list"},
             {"command-line", "--profile", "p.wpf", "x.avi"}, {"command-line", "--what", "x"}}) {
        const Result r = RunCli(args);
        EXPECT_EQ(r.status, kExitUsage);
        EXPECT_NE(r.err.find("usage:"), std::string::npos);
    }
}

}  // namespace
}  // namespace qorvane::cli
