#include "cli/info_command.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "cli/cli_commands.h"
#include "encode/size_estimate.h"
#include "platform/posix/media_tag_reader.h"
#include "platform/posix/posix_directory_walk.h"
#include "support/temp_dir.h"

namespace qorvane::cli {
namespace {

using qorvane::testing::TempDir;

class FakeFactsReader final : public MediaFactsReader {
public:
    std::map<std::string, MediaFacts> facts;
    std::optional<MediaFacts> read(const std::filesystem::path& source) const override {
        const auto found = facts.find(source.filename().string());
        if (found == facts.end()) return std::nullopt;
        return found->second;
    }
};

TEST(CliInfo, PrintsEachSourceItsOutputsWithTheirSizesAndTheTotal) {
    TempDir dir;
    FakeFactsReader reader;
    MediaFacts song;
    song.duration = 60;
    song.audio = AudioFacts{"MP3", 44100, 2, 192};
    reader.facts["song.mp3"] = song;
    MediaFacts clip;
    clip.kind = MediaKind::Video;
    clip.duration = 10.0004;
    clip.video = VideoFacts{"MPEG-4", 320, 240, 25};  // no sound
    reader.facts["clip.avi"] = clip;
    MediaFacts noLength = song;
    noLength.duration.reset();
    noLength.audio = AudioFacts{"", 0, 0, 0};
    reader.facts["odd.wav"] = noLength;
    for (const char* name : {"song.mp3", "clip.avi", "odd.wav", "bad.mp3"}) dir.write(name, "x");

    ProfileSettings s;
    s.AudioSetting = 17;  // 128 kbps
    s.VideoBitrate = "300,500";
    const EncodingProfile profile = PrepareEncodingProfile(s);
    const std::string d = dir.path().string() + "/";
    std::ostringstream out, err;
    EXPECT_EQ(PrintInfo({d + "song.mp3", d + "clip.avi", d + "odd.wav", d + "bad.mp3"}, profile, reader, out, err), 2);
    const std::uint64_t clip300 = *EstimateJobSize(profile, clip).runs[0];
    const std::uint64_t clip500 = *EstimateJobSize(profile, clip).runs[1];
    EXPECT_EQ(out.str(), "file: " + d + "song.mp3\nkind: audio\nduration: 60.000\naudio: MP3 44100 2 192\n"
                         "output: song.wma 960400\n"
                         "file: " + d + "clip.avi\nkind: video\nduration: 10.000\nvideo: MPEG-4 320x240 25.000\n"
                         "output: clip_v300.wmv " + std::to_string(clip300) + "\n"
                         "output: clip_v500.wmv " + std::to_string(clip500) + "\n"
                         "file: " + d + "odd.wav\nkind: audio\nduration: ?\naudio: ? ? ? ?\noutput: odd.wma ?\n"
                         "file: " + d + "bad.mp3\n"
                         "total: " + std::to_string(960400 + clip300 + clip500) + " 2 70.000\n");
    EXPECT_EQ(err.str(), "no facts could be read: " + d + "bad.mp3\n");
}

TEST(CliInfo, TakesAProfileOptionAndFilesAndRefusesNoFiles) {
    std::vector<std::string> seen;
    const InfoHandler info = [&seen](const std::string& profile, const std::vector<std::string>& files, std::ostream&,
                                     std::ostream&) {
        seen = files;
        seen.insert(seen.begin(), profile);
        return 0;
    };
    std::ostringstream out, err;
    const auto run = [&](const std::vector<std::string>& args) {
        const Utf8CodePage utf8;
        const FileMediaTagReader tags(utf8);
        return cli::Run(args, out, err, utf8, tags, PosixDirectoryWalk(), {}, {}, info);
    };
    EXPECT_EQ(run({"info", "--profile", "Voice", "a.mp3", "b.avi"}), 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"Voice", "a.mp3", "b.avi"}));
    EXPECT_EQ(run({"info", "a.mp3"}), 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"", "a.mp3"}));
    EXPECT_EQ(run({"info", "--profile", "Voice"}), kExitUsage);
    EXPECT_EQ(run({"info", "--jobs", "2", "a.mp3"}), kExitUsage);
}

TEST(CliInfo, AProfileIsAFileOrANameInTheProfileFolder) {
    EXPECT_EQ(ProfileFileOf("", "/p"), "/p/Temporary.wpf");
    EXPECT_EQ(ProfileFileOf("Voice", "/p"), "/p/Voice.wpf");
    EXPECT_EQ(ProfileFileOf("/x/mine.wpf", "/p"), "/x/mine.wpf");
}

}  // namespace
}  // namespace qorvane::cli
