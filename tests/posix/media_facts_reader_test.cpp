// The facts of files ffmpeg makes as the reader of the Linux side gives
// them: TagLib's properties where the core's readers know nothing, the
// core's elsewhere, and the kind as the table of inputs gives it.

#include "platform/posix/media_facts_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/media_tools.h"
#include "support/temp_dir.h"

namespace qorvane::testing {
namespace {

class FileMediaFactsReaderTest : public ::testing::Test {
protected:
    // Two seconds of stereo sound (and 320x240 pictures with `video`).
    std::filesystem::path Make(const std::string& name, std::vector<std::string> codecs, bool video = false) {
        std::vector<std::string> arguments = {"-f", "lavfi", "-i", "sine=duration=2:sample_rate=44100", "-ac", "2"};
        if (video) arguments.insert(arguments.end(), {"-f", "lavfi", "-i", "testsrc=size=320x240:duration=2"});
        arguments.insert(arguments.end(), codecs.begin(), codecs.end());
        arguments.push_back(name);
        RunFfmpeg(arguments, dir_.path());
        return dir_ / name;
    }

    const TempDir dir_;
    const FileMediaFactsReader reader_;
};

TEST_F(FileMediaFactsReaderTest, TagLibGivesWhatTheHeadersReadersDoNot) {
    struct Case {
        std::filesystem::path file;
        std::string codec;
    };
    const std::vector<Case> cases = {
        {Make("song.flac", {"-c:a", "flac"}), "FLAC"},
        {Make("song.wv", {"-c:a", "wavpack"}), "WavPack"},
        {Make("song.aiff", {"-c:a", "pcm_s16be"}), "PCM"},
        {Make("song.tta", {"-c:a", "tta"}), "TTA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.filename().string());
        const auto facts = reader_.read(c.file);
        ASSERT_TRUE(facts && facts->audio && facts->duration);
        EXPECT_EQ(facts->kind, MediaKind::Audio);
        EXPECT_NEAR(*facts->duration, 2.0, 0.05);
        EXPECT_EQ(facts->audio->codec, c.codec);
        EXPECT_EQ(facts->audio->sampleRate, 44100);
        EXPECT_EQ(facts->audio->channels, 2);
        EXPECT_GT(facts->audio->bitRateKbps, 0);
        EXPECT_FALSE(facts->video);
    }
}

TEST_F(FileMediaFactsReaderTest, KindIsTheTablesAndContainersAreReadByTheCore) {
    // Sound alone in a container read by content is sound; in an AVI file,
    // which becomes video by its name, it stays video.
    const auto mka = reader_.read(Make("song.mka", {"-c:a", "libopus"}));
    ASSERT_TRUE(mka && mka->audio);
    EXPECT_EQ(mka->kind, MediaKind::Audio);
    EXPECT_EQ(mka->audio->codec, "Opus");
    // Matroska headers give no bit rate: the file's size over its length.
    EXPECT_GT(mka->audio->bitRateKbps, 0);

    const auto avi = reader_.read(Make("sound.avi", {"-c:a", "pcm_s16le"}));
    ASSERT_TRUE(avi && avi->audio);
    EXPECT_EQ(avi->kind, MediaKind::Video);
    EXPECT_FALSE(avi->video);

    const auto mkv = reader_.read(Make("clip.mkv", {"-c:v", "mpeg4", "-c:a", "libvorbis"}, true));
    ASSERT_TRUE(mkv && mkv->video && mkv->audio);
    EXPECT_EQ(mkv->kind, MediaKind::Video);
    EXPECT_EQ(mkv->video->codec, "MPEG-4");
    EXPECT_EQ(mkv->video->width, 320);
    EXPECT_EQ(mkv->audio->codec, "Vorbis");
}

TEST_F(FileMediaFactsReaderTest, NothingForWhatCannotBeRead) {
    EXPECT_FALSE(reader_.read(dir_ / "missing.flac"));
    EXPECT_FALSE(reader_.read(dir_.write("noise.flac", std::string(5000, 'x'))));
    EXPECT_FALSE(reader_.read(dir_.write("empty.mkv", "")));
    EXPECT_FALSE(reader_.read(Make("song.txt", {"-c:a", "flac", "-f", "flac"})));
    std::filesystem::create_directory(dir_ / "folder.wav");
    EXPECT_FALSE(reader_.read(dir_ / "folder.wav"));
}

}  // namespace
}  // namespace qorvane::testing
