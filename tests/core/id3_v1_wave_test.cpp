// Files without an ID3v2 tag: MPEG streams with or without an ID3v1 tag,
// RIFF/WAVE files, other media, and files that cannot be opened.
#include <gtest/gtest.h>

#include <string>

#include "core/id3_test_bytes.h"
#include "platform/file_open_error.h"
#include "platform/posix/cp932_code_page.h"
#include "support/temp_dir.h"
#include "tags/id3.h"

namespace qorvane {
namespace {

using namespace qorvane::testing;

class Id3v1Test : public ::testing::Test {
protected:
    TID3v2 read(const std::string& bytes) {
        TID3v2 id3(cp932_);
        found = id3.ReadTags(dir_.write("input.bin", bytes));
        return id3;
    }

    static std::string Wave(unsigned formatTag, const std::string& chunksAfterFormat) {
        std::string fmt = std::string(1, static_cast<char>(formatTag & 0xFF)) +
                          static_cast<char>(formatTag >> 8) + std::string(28, '\0');
        std::string body = "WAVE" + std::string("fmt ") +
                           LittleEndian32(static_cast<std::uint32_t>(fmt.size())) + fmt +
                           chunksAfterFormat;
        return "RIFF" + LittleEndian32(static_cast<std::uint32_t>(body.size())) + body;
    }

    bool found = false;
    TempDir dir_;

private:
    Cp932CodePage cp932_;
};

TEST_F(Id3v1Test, Id3v11TagAtTheEnd) {
    Id3v1Fields v1;
    v1.title = "Song" + std::string(26, ' ');
    v1.artist = "  Artist";
    v1.album = "Album";
    v1.year = "1987";
    v1.comment = "Comment";
    v1.track = 5;
    v1.genre = 17;
    const TID3v2 id3 = read(MpegAudio() + Id3v1(v1));
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.Title, "Song");
    EXPECT_EQ(id3.Artist, "  Artist");
    EXPECT_EQ(id3.Album, "Album");
    EXPECT_EQ(id3.Year, "1987");
    EXPECT_EQ(id3.Comment, "Comment");
    EXPECT_EQ(id3.Copyright, "");
    EXPECT_EQ(id3.Genre, "(17)Rock");
    EXPECT_EQ(id3.Track, 5);
    EXPECT_EQ(id3.TagSize, 128);
    EXPECT_EQ(id3.MajorVersion, 1);
    EXPECT_EQ(id3.Revision, 2);
    EXPECT_EQ(id3.AudioOffset, 0);
}

TEST_F(Id3v1Test, TrackAndGenreBytes) {
    Id3v1Fields v1;
    v1.track = 0;
    v1.genre = 147;
    TID3v2 id3 = read(MpegAudio() + Id3v1(v1));
    EXPECT_EQ(id3.Track, 0);
    EXPECT_EQ(id3.Genre, "(147)Synthpop");

    // Without the zero at byte 125 the comment runs to 30 bytes and there is no track.
    v1 = {};
    v1.comment = std::string(29, 'c') + "d";
    v1.genre = 255;
    id3 = read(MpegAudio() + Id3v1(v1));
    EXPECT_EQ(id3.Comment, std::string(29, 'c') + "d");
    EXPECT_EQ(id3.Track, 0);
    EXPECT_EQ(id3.Genre, "");

    v1.genre = 148;
    EXPECT_EQ(read(MpegAudio() + Id3v1(v1)).Genre, "");
}

TEST_F(Id3v1Test, LegacyFieldText) {
    Id3v1Fields v1;
    v1.title = "\x93\xfa\x96\x7b\x8c\xea ";  // 日本語 in CP932
    v1.artist = "Beyonc\xE9";               // Latin-1
    v1.album = "\xE6\x97\xA5";               // already UTF-8
    v1.comment = std::string(27, 'x') + "\x93\xfa";  // a character across byte 125
    v1.track = 1;
    const TID3v2 id3 = read(MpegAudio() + Id3v1(v1));
    EXPECT_EQ(id3.Title, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E");
    EXPECT_EQ(id3.Artist, "Beyonc\xC3\xA9");
    EXPECT_EQ(id3.Album, "\xE6\x97\xA5");
    // The lead byte stood last before the ID3v1.1 zero: Latin-1, nothing taken past it.
    EXPECT_EQ(id3.Comment, std::string(27, 'x') + "\xC2\x93");
}

TEST_F(Id3v1Test, MpegStreamsWithoutTags) {
    TID3v2 id3 = read(MpegAudio());
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.Title, "");
    EXPECT_EQ(id3.Genre, "");
    EXPECT_EQ(id3.MajorVersion, 0);

    read(MpegAudio(127));
    EXPECT_FALSE(found);  // shorter than an ID3v1 tag
    read(MpegAudio(128));
    EXPECT_TRUE(found);
    read("\xFF\xE3\x90\x64" + std::string(400, '\x55'));
    EXPECT_TRUE(found);  // MPEG 2.5: 8, 11.025 or 12 kHz
    read("\xFF\xEB\x90\x64" + std::string(400, '\x55'));
    EXPECT_FALSE(found);
    read(std::string(16, '\0') + MpegAudio());
    EXPECT_FALSE(found);  // audio behind other bytes is not looked for
    read("\xFF\xFB\x90");
    EXPECT_FALSE(found);
}

TEST_F(Id3v1Test, OtherMediaAreNotMpegAudio) {
    Id3v1Fields v1;
    v1.title = "Tagged";
    // MPEG program stream, AVI.
    TID3v2 id3 = read(std::string("\x00\x00\x01\xBA", 4) + std::string(400, '\x44') + Id3v1(v1));
    EXPECT_FALSE(found);
    EXPECT_EQ(id3.Title, "");
    std::string avi = "RIFF" + LittleEndian32(500) + "AVI LIST" + std::string(400, '\0');
    read(avi + Id3v1(v1));
    EXPECT_FALSE(found);
}

TEST_F(Id3v1Test, Mp3InsideWave) {
    Id3v1Fields v1;
    v1.title = "Wave title";
    const std::string chunks = "fact" + LittleEndian32(4) + std::string(4, '\x01') + "LIST" +
                               LittleEndian32(6) + "INFOab" + "data" + LittleEndian32(400) +
                               MpegAudio();
    const std::string file = Wave(0x55, chunks);
    TID3v2 id3 = read(file + Id3v1(v1));
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.Title, "Wave title");
    EXPECT_EQ(file.compare(static_cast<std::size_t>(id3.AudioOffset), 4, "\xFF\xFB\x90\x64"), 0);

    // No "TAG" at the end: still MPEG audio, no fields.
    id3 = read(file);
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.Title, "");

    // No data chunk before the end: the offset stays after the format chunk.
    id3 = read(Wave(0x55, "junk" + LittleEndian32(1000000) + std::string(200, '\0')));
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.AudioOffset, 12 + 8 + 30);
}

TEST_F(Id3v1Test, WaveThatIsNotMp3) {
    Id3v1Fields v1;
    v1.title = "PCM";
    const std::string data = "data" + LittleEndian32(400) + std::string(400, '\0');
    TID3v2 id3 = read(Wave(1, data) + Id3v1(v1));
    EXPECT_FALSE(found);
    EXPECT_EQ(id3.Title, "");

    std::string notWave = Wave(0x55, data);
    notWave.replace(8, 4, "WAVF");
    read(notWave + Id3v1(v1));
    EXPECT_FALSE(found);

    std::string noFormat = Wave(0x55, data);
    noFormat.replace(12, 4, "fmt_");
    read(noFormat + Id3v1(v1));
    EXPECT_FALSE(found);
}

TEST_F(Id3v1Test, FileThatCannotBeOpened) {
    Cp932CodePage cp932;
    TID3v2 id3(cp932);
    id3.Title = "kept?";
    const std::string path = (dir_ / "missing.mp3").string();
    try {
        id3.ReadTags(path);
        FAIL() << "no error";
    } catch (const FileOpenError& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル " + path + " は開けません");
        EXPECT_EQ(error.path(), path);
    }
    EXPECT_EQ(id3.Title, "");  // cleared before the file was opened
}

}  // namespace
}  // namespace qorvane
