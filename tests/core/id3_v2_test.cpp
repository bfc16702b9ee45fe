// ID3v2 tags of versions 2.2, 2.3 and 2.4 read from small files.
#include <gtest/gtest.h>

#include <string>

#include "core/id3_test_bytes.h"
#include "core/id3_v2_fixture.h"

namespace qorvane {
namespace {

using namespace qorvane::testing;


TEST_F(Id3v2Test, Version23TagBeforeAudio) {
    const std::string frames = Frame23("TIT2", Text("Title")) + Frame23("TPE1", Text("Artist")) +
                               Frame23("TALB", Text("Album")) + Frame23("TYER", Text("2003")) +
                               Frame23("TCOP", Text("(C) Someone")) +
                               Frame23("TXXX", Text("ignored")) + std::string(64, '\0');
    const TID3v2 id3 = read(Tag(3, 0, frames) + MpegAudio());
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.Title, "Title");
    EXPECT_EQ(id3.Artist, "Artist");
    EXPECT_EQ(id3.Album, "Album");
    EXPECT_EQ(id3.Year, "2003");
    EXPECT_EQ(id3.Copyright, "(C) Someone");
    EXPECT_EQ(id3.Comment, "");
    EXPECT_EQ(id3.MajorVersion, 3);
    EXPECT_EQ(id3.Revision, 0);
    EXPECT_EQ(id3.TagSize, static_cast<int>(frames.size()));
    EXPECT_EQ(id3.AudioOffset, static_cast<int>(frames.size()) + 10);
}

TEST_F(Id3v2Test, Version22ShortFrames) {
    const std::string frames = Frame22("TT2", Text("Short")) + Frame22("TP1", Text("Band")) +
                               Frame22("TAL", Text("Record")) + Frame22("TYE", Text("1999")) +
                               Frame22("TCR", Text("mine")) + Frame22("TRK", Text("4/9")) +
                               Frame22("TCO", Text("(8)")) +
                               Frame22("COM", Text("eng" + std::string("desc\0text", 9)));
    const TID3v2 id3 = read(Tag(2, 0, frames) + MpegAudio());
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.Title, "Short");
    EXPECT_EQ(id3.Artist, "Band");
    EXPECT_EQ(id3.Album, "Record");
    EXPECT_EQ(id3.Year, "1999");
    EXPECT_EQ(id3.Copyright, "mine");
    EXPECT_EQ(id3.Track, 4);
    EXPECT_EQ(id3.Genre, "Jazz");
    EXPECT_EQ(id3.Comment, "text");
    // Long identifiers mean nothing in a version 2 tag.
    EXPECT_EQ(read(Tag(2, 0, Frame23("TIT2", Text("x"))) + MpegAudio()).Title, "");
}

TEST_F(Id3v2Test, LastFrameWinsAndCommentOrder) {
    const std::string comm = Text(std::string("eng") + std::string(1, '\0') + "note");
    // A comment replaces a subtitle read before it; a later subtitle is ignored.
    TID3v2 id3 = read(Tag(3, 0, Frame23("TIT2", Text("one")) + Frame23("TIT2", Text("two")) +
                                    Frame23("TIT3", Text("sub")) + Frame23("COMM", comm) +
                                    Frame23("TIT3", Text("later"))) +
                      MpegAudio());
    EXPECT_EQ(id3.Title, "two");
    EXPECT_EQ(id3.Comment, "note");
    // A comment with no text after its description leaves the subtitle.
    const std::string emptyComm = Text(std::string("eng") + "desc" + std::string(1, '\0'));
    id3 = read(Tag(3, 0, Frame23("TIT3", Text("sub")) + Frame23("COMM", emptyComm)) +
               MpegAudio());
    EXPECT_EQ(id3.Comment, "sub");
}

TEST_F(Id3v2Test, GenreAndTrackFrames) {
    auto genreOf = [this](const std::string& first, const std::string& second) {
        return read(Tag(3, 0, Frame23("TCON", Text(first)) + Frame23("TCON", Text(second))) +
                    MpegAudio())
            .Genre;
    };
    EXPECT_EQ(genreOf("Jazz", "(17)Rock"), "Rock");
    EXPECT_EQ(genreOf("Jazz", "(200)"), "Jazz");  // out of range keeps the earlier genre
    EXPECT_EQ(genreOf("Jazz", ""), "");
    EXPECT_EQ(read(Tag(3, 0, Frame23("TRCK", Text("3/12"))) + MpegAudio()).Track, 3);
}

TEST_F(Id3v2Test, Utf16AndLegacyText) {
    const std::string bom = "\xFF\xFE";
    const std::string frames =
        Frame23("TIT2", Text(bom + Utf16Le(u"\u65E5\u672C") + std::string(2, '\0'), 1)) +
        Frame23("TPE1", Text("\x83\x65\x83\x58\x83\x67", 0)) +  // テスト in CP932
        Frame23("TALB", Text("Caf\xE9", 0)) +                      // Latin-1
        Frame23("TYER", Text("\xE5\xB9\xB4", 3)) +                 // UTF-8 年
        Frame23("TCOP", Text("\xFE\xFF" + Utf16Be(u"BE"), 1)) +
        Frame23("COMM", Text("eng" + Utf16Le(u"\uFEFFd") + std::string(2, '\0') +
                                 Utf16Le(u"\uFEFFok"),
                             1));
    const TID3v2 id3 = read(Tag(3, 0, frames) + MpegAudio());
    EXPECT_EQ(id3.Title, "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(id3.Artist, "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88");
    EXPECT_EQ(id3.Album, "Caf\xC3\xA9");
    EXPECT_EQ(id3.Year, "\xE5\xB9\xB4");
    EXPECT_EQ(id3.Copyright, "BE");
    EXPECT_EQ(id3.Comment, "ok");
}

TEST_F(Id3v2Test, Version24SynchSafeFrameSizes) {
    // A 200-byte frame: synchsafe 00 00 01 48, which read plainly would be 328.
    const std::string longComment =
        Text("eng" + std::string(1, '\0') + std::string(195, 'c'));
    ASSERT_EQ(longComment.size(), 200u);
    TID3v2 id3 = read(Tag(4, 0, Frame24("COMM", longComment) + Frame24("TIT2", Text("after"))) +
                      MpegAudio());
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.Comment, std::string(195, 'c'));
    EXPECT_EQ(id3.Title, "after");

    // Some writers stored plain sizes in version 4 tags: 300 is 00 00 01 2C.
    const std::string body = Text("eng" + std::string(1, '\0') + std::string(295, 'p'));
    const std::string plainFrame =
        "COMM" + BigEndian32(static_cast<std::uint32_t>(body.size())) + std::string(2, '\0') + body;
    id3 = read(Tag(4, 0, plainFrame + Frame24("TIT2", Text("plain"))) + MpegAudio());
    EXPECT_EQ(id3.Comment, std::string(295, 'p'));
    EXPECT_EQ(id3.Title, "plain");
}

TEST_F(Id3v2Test, FooterIsSkippedBeforeTheAudio) {
    const std::string frames = Frame24("TIT2", Text("Footed"));
    const std::string tag = Tag(4, 0x10, frames);
    const std::string footer = "3DI" + tag.substr(3, 7);
    const TID3v2 id3 = read(tag + footer + MpegAudio());
    EXPECT_TRUE(found);
    EXPECT_TRUE(id3.FooterPresent);
    EXPECT_EQ(id3.Title, "Footed");
    EXPECT_EQ(id3.AudioOffset, static_cast<int>(frames.size()) + 20);
}

TEST_F(Id3v2Test, ExtendedHeaders) {
    // Version 3, size 10 with CRC; the padding size counts off the walk.
    const std::string frames = Frame23("TIT2", Text("Ext3"));
    const std::string ext3 = BigEndian32(10) + std::string(2, '\0') + BigEndian32(20) +
                             std::string(4, '\x11');
    TID3v2 id3 = read(Tag(3, 0x40, ext3 + frames + std::string(20, '\0')) + MpegAudio());
    EXPECT_TRUE(found);
    EXPECT_TRUE(id3.ExtendedHeader);
    EXPECT_EQ(id3.Title, "Ext3");

    // Version 3, size 6.
    const std::string ext3Short = BigEndian32(6) + std::string(6, '\0');
    id3 = read(Tag(3, 0x40, ext3Short + frames) + MpegAudio());
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.Title, "Ext3");

    // Version 4: a synchsafe size that counts the whole extended header.
    const std::string ext4 = SynchSafe32(6) + "\x01" + std::string(1, '\0');
    id3 = read(Tag(4, 0x40, ext4 + Frame24("TIT2", Text("Ext4"))) + MpegAudio());
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.Title, "Ext4");

    // A version 2 tag has no extended header: the flag is only recorded.
    id3 = read(Tag(2, 0x40, Frame22("TT2", Text("Two"))) + MpegAudio());
    EXPECT_EQ(id3.Title, "Two");
}

TEST_F(Id3v2Test, HeaderFlagsAreRecorded) {
    const TID3v2 id3 = read(Tag(3, 0xA0, Frame23("TIT2", Text("Flags"))) + MpegAudio());
    EXPECT_TRUE(id3.Unsynchronisation);
    EXPECT_TRUE(id3.Experimental);
    EXPECT_FALSE(id3.ExtendedHeader);
    EXPECT_FALSE(id3.FooterPresent);
    EXPECT_EQ(id3.Title, "Flags");
}

TEST_F(Id3v2Test, SyncTestAfterTheTag) {
    const std::string tag = Tag(3, 0, Frame23("TIT2", Text("T")));
    read(tag + "\xFF\xE3\x90\x64" + MpegAudio());
    EXPECT_TRUE(found);  // MPEG 2.5 (sync 0xFFE, version bits 00)
    read(tag + "\xFF\xEB\x90\x64" + MpegAudio());
    EXPECT_FALSE(found);  // version bits 01 are reserved
    read(tag + "\xFF\xD3\x90\x64" + MpegAudio());
    EXPECT_FALSE(found);
    read(tag + std::string(4, '\0') + MpegAudio());
    EXPECT_FALSE(found);
    read(tag + "\xFF\xFB");
    EXPECT_FALSE(found);  // fewer than four bytes
    read(tag + std::string("\xFF\xF3\x00\x00", 4));
    EXPECT_TRUE(found);
}

TEST_F(Id3v2Test, Id3v1BehindId3v2IsNotRead) {
    Id3v1Fields v1;
    v1.title = "Old";
    v1.artist = "Old artist";
    v1.genre = 17;
    const TID3v2 id3 =
        read(Tag(3, 0, Frame23("TIT2", Text("New"))) + MpegAudio() + Id3v1(v1));
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.Title, "New");
    EXPECT_EQ(id3.Artist, "");
    EXPECT_EQ(id3.Genre, "");
    EXPECT_EQ(id3.MajorVersion, 3);
}

TEST_F(Id3v2Test, ZeroSizeFramesHaveNoText) {
    // The byte after a zero-size header belongs to the next frame.
    const std::string frames = Frame23("TIT2", "") + Frame23("TPE1", Text("Next")) +
                               Frame23("COMM", "") + Frame23("TIT2", Text("Later"));
    const TID3v2 id3 = read(Tag(3, 0, frames) + MpegAudio());
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.Artist, "Next");
    EXPECT_EQ(id3.Title, "Later");
}

TEST_F(Id3v2Test, ZeroBytesWalkAsEmptyFrames) {
    // Zeros read as frames of size 0: a frame that lines up behind them is
    // still read, one that does not is lost in a frame of a wrong size.
    TID3v2 id3 = read(Tag(3, 0, Frame23("TPE1", Text("A")) + std::string(20, '\0') +
                                    Frame23("TIT2", Text("Behind"))) +
                      MpegAudio());
    EXPECT_EQ(id3.Title, "Behind");
    id3 = read(Tag(3, 0, Frame23("TPE1", Text("A")) + std::string(15, '\0') +
                             Frame23("TIT2", Text("Behind"))) +
               MpegAudio());
    EXPECT_EQ(id3.Title, "");
    EXPECT_EQ(id3.Artist, "A");
    // Padding longer than the first read of the file.
    id3 = read(Tag(3, 0, Frame23("TIT2", Text("Padded")) + std::string(9000, '\0')) +
               MpegAudio());
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.Title, "Padded");
}

TEST_F(Id3v2Test, LargeTagsReadPieceByPiece) {
    // A picture frame, a text frame across the 4 KiB mark, a long text frame.
    const std::string picture = Frame23("APIC", std::string(4070, '\x7F'));
    const std::string across = Frame23("TIT2", Text(std::string(40, 't')));
    const std::string longText = Frame23("TALB", Text(std::string(6000, 'a')));
    const TID3v2 id3 = read(Tag(3, 0, picture + across + longText +
                                          Frame23("TPE1", Text("End"))) +
                            MpegAudio());
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.Title, std::string(40, 't'));
    EXPECT_EQ(id3.Album, std::string(6000, 'a'));
    EXPECT_EQ(id3.Artist, "End");
}

TEST_F(Id3v2Test, FramesClaimingMoreThanTheTagOrFile) {
    // A size beyond the tag: empty text, and the walk ends there.
    const std::string huge = "TIT2" + BigEndian32(0x7FFFFFF0) + std::string(2, '\0') + Text("x");
    TID3v2 id3 = read(Tag(3, 0, Frame23("TPE1", Text("Before")) + huge +
                                    Frame23("TALB", Text("After"))) +
                      MpegAudio());
    EXPECT_EQ(id3.Artist, "Before");
    EXPECT_EQ(id3.Title, "");
    EXPECT_EQ(id3.Album, "");

    // The tag claims far more than the file holds.
    const std::string body = Frame23("TPE1", Text("Cut")) + "TIT2" + BigEndian32(1000000) +
                             std::string(2, '\0') + Text("abc");
    const std::string file = "ID3\x03" + std::string(2, '\0') + SynchSafe32(0x0FFFFFFF) + body;
    id3 = read(file);
    EXPECT_FALSE(found);
    EXPECT_EQ(id3.Artist, "Cut");
    EXPECT_EQ(id3.Title, "");
    EXPECT_EQ(id3.TagSize, 0x0FFFFFFF);
}

TEST_F(Id3v2Test, TruncatedFiles) {
    const std::string whole =
        Tag(3, 0, Frame23("TPE1", Text("Whole")) + Frame23("TIT2", Text("Title text"))) +
        MpegAudio(4);
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const TID3v2 id3 = read(whole.substr(0, length));
        EXPECT_FALSE(found) << length;
        EXPECT_TRUE(id3.Title.empty() || id3.Title == "Title text") << length;
    }
    // Cut inside the second frame's text: that frame reads as empty.
    const TID3v2 id3 = read(whole.substr(0, 10 + 16 + 10 + 4));
    EXPECT_EQ(id3.Artist, "Whole");
    EXPECT_EQ(id3.Title, "");
}

TEST_F(Id3v2Test, ReadTagsClearsTheTextFieldsFirst) {
    TempDir dir;
    Cp932CodePage cp932;
    TID3v2 id3(cp932);
    ASSERT_TRUE(id3.ReadTags(dir.write("a.mp3", Tag(3, 0, Frame23("TIT2", Text("A")) +
                                                              Frame23("TRCK", Text("2"))) +
                                                    MpegAudio())));
    EXPECT_FALSE(id3.ReadTags(dir.write("b.mp3", "ID3\x03")));
    EXPECT_EQ(id3.Title, "");
    EXPECT_EQ(id3.Track, 0);
    EXPECT_EQ(id3.AudioOffset, 0);
    EXPECT_EQ(id3.MajorVersion, 3);  // header values stay from the last tag read
}

}  // namespace
}  // namespace qorvane
