// The tag writer from a job's tags and an MP3 source to the finished .wma,
// with the TagLib editor, read back by ffprobe and by TagLib.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "e2e/asf_tag_dump.h"
#include "platform/file_open_error.h"
#include "platform/posix/cp932_code_page.h"
#include "platform/posix/taglib_metadata_editor.h"
#include "base/text_codec.h"
#include "support/media_tools.h"
#include "support/temp_dir.h"
#include "support/media_probe.h"
#include "platform/posix/media_tag_reader.h"
#include "tags/wma_tag_writer.h"

namespace qorvane {
namespace {

namespace fs = std::filesystem;
using Tags = std::map<std::string, std::string>;
using Attributes = std::map<std::string, std::vector<std::string>>;

std::string BigEndian32(std::uint32_t value) {
    std::string bytes;
    for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>(value >> shift);
    return bytes;
}

std::string SynchSafe(std::uint32_t value) {
    std::string bytes;
    for (int shift = 21; shift >= 0; shift -= 7) bytes += static_cast<char>((value >> shift) & 0x7F);
    return bytes;
}

// UTF-16LE with a byte-order mark and a terminating NUL, as tag editors write it.
std::string Utf16WithBom(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : Utf8ToUtf16(utf8)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes + std::string(2, '\0');
}

std::string Frame(const std::string& id, const std::string& body) {
    return id + BigEndian32(static_cast<std::uint32_t>(body.size())) + std::string(2, '\0') + body;
}

std::string TextFrame(const std::string& id, const std::string& utf8) {
    return Frame(id, "\x01" + Utf16WithBom(utf8));
}

std::string CommentFrame(const std::string& utf8) {
    return Frame("COMM", "\x01jpn" + Utf16WithBom("") + Utf16WithBom(utf8));
}

std::string Id3v2Tag(char version, char flags, const std::string& frames) {
    std::string tag = std::string("ID3") + version + '\0' + flags +
                      SynchSafe(static_cast<std::uint32_t>(frames.size())) + frames;
    if (flags & 0x10) tag += std::string("3DI") + version + '\0' + flags +
                             SynchSafe(static_cast<std::uint32_t>(frames.size()));
    return tag;
}

std::string Id3v1Tag(const std::string& comment, unsigned char track, unsigned char genre) {
    std::string tag = "TAG" + std::string(125, '\0');
    tag.replace(3, 11, "v1 title   ");
    tag.replace(97, comment.size(), comment);
    tag[125] = '\0';
    tag[126] = static_cast<char>(track);
    tag[127] = static_cast<char>(genre);
    return tag;
}

class WmaTagWriterE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        output_ = dir_ / "song.wma";
        testing::MakeWmaFile(output_);
        audio_ = testing::MakeBareMp3(dir_.path());
    }

    // What the batch runner does once the encoder has finished.
    void FinishJob(const fs::path& source, const CurrentJobTags& tags) {
        std::vector<std::string> notes;
        WriteJobTagsWithSource(source, output_, tags, editor_, FileMediaTagReader(cp932_), true, notes);
        EXPECT_TRUE(notes.empty());
    }

    // ffprobe's view without the encoder's own stamp, which must survive.
    Tags Probe() {
        Tags tags = testing::ProbeTags(output_);
        EXPECT_EQ(tags["encoder"].rfind("Lavf", 0), 0u) << "the encoder's stamp was lost";
        tags.erase("encoder");
        return tags;
    }

    testing::AsfTagDump Dump() {
        auto dump = testing::DumpAsfTags(output_);
        EXPECT_TRUE(dump);
        if (!dump) return {};
        dump->attributes.erase("WM/EncodingSettings");
        return *dump;
    }

    testing::TempDir dir_;
    fs::path output_;
    std::string audio_;
    Cp932CodePage cp932_;
    TagLibMetadataEditor editor_;
};

TEST_F(WmaTagWriterE2eTest, JapaneseJobAndId3v2SourceTags) {
    const auto source = dir_.write(
        "歌.mp3", Id3v2Tag(3, 0,
                           TextFrame("TIT2", "元の題名") + TextFrame("TCON", "(17)") +
                               TextFrame("TRCK", "05/12") + CommentFrame("日本語のコメント")) +
                      audio_);
    FinishJob(source, MakeCurrentJobTags("夜明けの歌", "山田 花子", "朝のアルバム",
                                         "(C) 2024 山田", "2024"));

    EXPECT_EQ(Probe(), (Tags{{"title", "夜明けの歌"},
                             {"artist", "山田 花子"},
                             {"album", "朝のアルバム"},
                             {"copyright", "(C) 2024 山田"},
                             {"WM/Year", "2024"},
                             {"genre", "Rock"},
                             {"track", "5"},
                             {"comment", "日本語のコメント"}}));
    const testing::AsfTagDump dump = Dump();
    EXPECT_EQ(dump.contentDescription, (Tags{{"Title", "夜明けの歌"},
                                             {"Author", "山田 花子"},
                                             {"Copyright", "(C) 2024 山田"},
                                             {"Description", "日本語のコメント"}}));
    EXPECT_EQ(dump.attributes, (Attributes{{"WM/AlbumTitle", {"朝のアルバム"}},
                                           {"WM/Year", {"2024"}},
                                           {"WM/Genre", {"Rock"}},
                                           {"WM/TrackNumber", {"5"}}}));
}

TEST_F(WmaTagWriterE2eTest, Id3v1GenreByteAndTrackFromACapitalisedMp3) {
    const auto source = dir_.write("OLD.MP3", audio_ + Id3v1Tag("Short note", 3, 17));
    FinishJob(source, MakeCurrentJobTags("Title", "", "", "", "19995"));

    EXPECT_EQ(Probe(), (Tags{{"title", "Title"},
                             {"WM/Year", "1999"},
                             {"WM/GenreID", "(17)Rock"},
                             {"track", "3"},
                             {"comment", "Short note"}}));
    const testing::AsfTagDump dump = Dump();
    EXPECT_EQ(dump.contentDescription, (Tags{{"Title", "Title"}, {"Description", "Short note"}}));
    EXPECT_EQ(dump.attributes, (Attributes{{"WM/Year", {"1999"}},
                                           {"WM/GenreID", {"(17)Rock"}},
                                           {"WM/TrackNumber", {"3"}}}));
}

TEST_F(WmaTagWriterE2eTest, EmptyCommentAndNoTrackAddOnlyTheGenre) {
    const auto source = dir_.write("a.mp3", audio_ + Id3v1Tag("", 0, 0));
    FinishJob(source, MakeCurrentJobTags("", "", "", "", ""));
    EXPECT_EQ(Probe(), (Tags{{"WM/GenreID", "(0)Blues"}}));
}

TEST_F(WmaTagWriterE2eTest, ASourceTheReaderDoesNotRecogniseAddsNothing) {
    // Padding behind the tag that its size does not count: the reader finds
    // no audio where the tag ends and answers no.
    const auto source = dir_.write(
        "padded.mp3",
        Id3v2Tag(3, 0, TextFrame("TCON", "Jazz") + TextFrame("TRCK", "2")) + std::string(4, '\0') +
            audio_);
    FinishJob(source, MakeCurrentJobTags("", "Band", "", "", ""));
    EXPECT_EQ(Probe(), (Tags{{"artist", "Band"}}));
}

TEST_F(WmaTagWriterE2eTest, NonMp3SourceWithoutTagsLeavesTheOutputAsItWas) {
    const std::string before = testing::ReadFileBytes(output_);
    FinishJob(dir_.write("clip.wav", "RIFF"), MakeCurrentJobTags("", "", "", "", ""));
    EXPECT_EQ(testing::ReadFileBytes(output_), before);
    EXPECT_EQ(Probe(), Tags{});
}

TEST_F(WmaTagWriterE2eTest, AVanishedSourceStillLeavesTheJobTagsSaved) {
    EXPECT_THROW(FinishJob(dir_ / "gone.mp3", MakeCurrentJobTags("Kept", "", "", "", "2001")),
                 FileOpenError);
    EXPECT_EQ(Probe(), (Tags{{"title", "Kept"}, {"WM/Year", "2001"}}));
}

// A source whose tags are given, as the reader of any format answers.
struct GivenSource final : MediaTagReader {
    SourceTags tags;
    std::optional<SourceTags> read(const fs::path&) const override { return tags; }
};

// A small PNG made by ffmpeg, with `padding` bytes behind its end (which
// readers of PNG ignore).
std::string PngPicture(const fs::path& dir, std::size_t padding) {
    testing::RunFfmpeg({"-f", "lavfi", "-i", "color=c=red:s=16x16", "-frames:v", "1", "picture.png"}, dir);
    return testing::ReadFileBytes(dir / "picture.png") + std::string(padding, 'z');
}

// A cover larger than the 16-bit attribute length of the extended content
// description: TagLib finds it again byte for byte, and the file stays
// sound for ffprobe (whose ASF reader skips metadata values over 64 KiB).
TEST_F(WmaTagWriterE2eTest, ACoverOver64KiBArrivesWhole) {
    GivenSource source;
    source.tags.Pictures = {{4, "image/png", "裏", "back"}, {3, "image/png", "表紙", PngPicture(dir_.path(), 100000)}};
    source.tags.AlbumArtist = "色々";
    std::vector<std::string> notes;
    WriteJobTagsWithSource(dir_ / "a.flac", output_, MakeCurrentJobTags("Title", "", "", "", ""), editor_, source,
                           true, notes);

    const testing::AsfTagDump dump = Dump();
    ASSERT_EQ(dump.pictures.size(), 1u);
    EXPECT_GT(dump.pictures[0].data.size(), 65536u);
    EXPECT_TRUE(dump.pictures[0] == source.tags.Pictures[1]);
    EXPECT_EQ(dump.attributes, (Attributes{{"WM/AlbumArtist", {"色々"}}}));
    const testing::ProbedMedia probed = testing::Probe(output_);
    ASSERT_TRUE(probed.readable);
    ASSERT_NE(probed.first("audio"), nullptr);
    EXPECT_EQ((*probed.first("audio"))["codec_name"], "wmav2");
}

// A cover file beside the source becomes an attached picture that ffprobe
// shows as such.
TEST_F(WmaTagWriterE2eTest, ACoverFileBesideTheSourceIsAnAttachedPicture) {
    const std::string png = PngPicture(dir_.path(), 0);
    dir_.write("Folder.PNG", png);
    FinishJob(dir_.write("clip.wav", "RIFF"), MakeCurrentJobTags("", "", "", "", ""));

    const testing::AsfTagDump dump = Dump();
    ASSERT_EQ(dump.pictures.size(), 1u);
    EXPECT_TRUE(dump.pictures[0] == (SourcePicture{3, "image/png", "", png}));
    const testing::ProbedMedia probed = testing::Probe(output_);
    const testing::ProbedStream* picture = probed.first("video");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ((*picture)["codec_name"], "png");
    EXPECT_NE(std::find(probed.tags.begin(), probed.tags.end(), "comment=Cover (front)"), probed.tags.end());
}

}  // namespace
}  // namespace qorvane
