// The ID3v2 frames a row does not show but the output carries over: album
// artist, disc, composer, the version 4 recording time, attached pictures.
#include <gtest/gtest.h>

#include <string>

#include "core/id3_test_bytes.h"
#include "core/id3_v2_fixture.h"

namespace qorvane {
namespace {

using namespace qorvane::testing;

using Id3v2CarriedTest = Id3v2Test;

// Picture bytes that hold zeros and look like text terminators.
const std::string kImage("\x89PNG\r\n\x1A\n\0\0\0\0IHDR", 16);

TEST_F(Id3v2CarriedTest, RecordingTimeGivesTheYearWhenThereIsNoYearFrame) {
    EXPECT_EQ(read(Tag(4, 0, Frame24("TDRC", Text("2004-05-06T12:00"))) + MpegAudio()).Year, "2004");
    EXPECT_EQ(read(Tag(3, 0, Frame23("TDRC", Text("1987"))) + MpegAudio()).Year, "1987");
    // "TYER" wins wherever it stands.
    EXPECT_EQ(read(Tag(4, 0, Frame24("TDRC", Text("2004")) + Frame24("TYER", Text("1999"))) +
                   MpegAudio()).Year, "1999");
    EXPECT_EQ(read(Tag(4, 0, Frame24("TYER", Text("1999")) + Frame24("TDRC", Text("2004"))) +
                   MpegAudio()).Year, "1999");
    EXPECT_EQ(read(Tag(4, 0, Frame24("TDRC", Text("c. 1950"))) + MpegAudio()).Year, "");
    // Version 2 has no recording time frame.
    EXPECT_EQ(read(Tag(2, 0, Frame22("TDR", Text("2004"))) + MpegAudio()).Year, "");
}

TEST_F(Id3v2CarriedTest, AlbumArtistDiscAndComposer) {
    const std::string bom = "\xFF\xFE";
    TID3v2 id3 = read(Tag(3, 0, Frame23("TPE2", Text(bom + Utf16Le(u"Various"), 1)) +
                                    Frame23("TPOS", Text("1/2")) + Frame23("TCOM", Text("Bach"))) +
                      MpegAudio());
    EXPECT_TRUE(found);
    EXPECT_EQ(id3.AlbumArtist, "Various");
    EXPECT_EQ(id3.Disc, "1/2");
    EXPECT_EQ(id3.Composer, "Bach");

    id3 = read(Tag(2, 0, Frame22("TP2", Text("\x93\xFA\x96\x7B")) + Frame22("TPA", Text("2")) +
                             Frame22("TCM", Text("Satie"))) +
               MpegAudio());
    EXPECT_EQ(id3.AlbumArtist, "\xE6\x97\xA5\xE6\x9C\xAC");  // CP932 text as UTF-8
    EXPECT_EQ(id3.Disc, "2");
    EXPECT_EQ(id3.Composer, "Satie");
}

TEST_F(Id3v2CarriedTest, AttachedPicturesOfEveryVersion) {
    const std::string apic23 = Text(std::string("image/png\0", 10) + '\x03' + std::string("cover\0", 6) + kImage);
    const std::string apic24 =
        Text(std::string("image/jpeg\0", 11) + '\x04' + Utf16Le(u"\uFEFFback") + std::string(2, '\0') + kImage, 1);
    TID3v2 id3 = read(Tag(3, 0, Frame23("APIC", apic23)) + MpegAudio());
    ASSERT_EQ(id3.Pictures.size(), 1u);
    EXPECT_EQ(id3.Pictures[0], (SourcePicture{3, "image/png", "cover", kImage}));

    id3 = read(Tag(4, 0, Frame24("TIT2", Text("t")) + Frame24("APIC", apic24) + Frame24("APIC", apic23)) +
               MpegAudio());
    ASSERT_EQ(id3.Pictures.size(), 2u);
    EXPECT_EQ(id3.Pictures[0], (SourcePicture{4, "image/jpeg", "back", kImage}));
    EXPECT_EQ(id3.Pictures[1].type, 3);

    id3 = read(Tag(2, 0, Frame22("PIC", Text(std::string("JPG\x03") + '\0' + kImage)) +
                             Frame22("PIC", Text(std::string("PNG\x00", 4) + "x" + '\0' + kImage))) +
               MpegAudio());
    ASSERT_EQ(id3.Pictures.size(), 2u);
    EXPECT_EQ(id3.Pictures[0], (SourcePicture{3, "image/jpeg", "", kImage}));
    EXPECT_EQ(id3.Pictures[1], (SourcePicture{0, "image/png", "x", kImage}));
    // Other formats keep their letters, as text.
    id3 = read(Tag(2, 0, Frame22("PIC", Text(std::string("B\xC9\0\x03\0", 5) + kImage))) + MpegAudio());
    ASSERT_EQ(id3.Pictures.size(), 1u);
    EXPECT_EQ(id3.Pictures[0].mimeType, "image/b\xC3\x89");

    // Passed over on request; the frames after them are still read.
    id3 = read(Tag(3, 0, Frame23("APIC", apic23) + Frame23("TIT2", Text("after"))) + MpegAudio(), false);
    EXPECT_TRUE(id3.Pictures.empty());
    EXPECT_EQ(id3.Title, "after");
}

TEST_F(Id3v2CarriedTest, BrokenPictureFramesGiveNoPicture) {
    for (const std::string& body : {Text("image/png"),                                 // no MIME end
                                    Text(std::string("image/png\0\x03", 11)),          // no description
                                    Text(std::string("image/png\0\x03" "cover\0", 17)),  // no bytes
                                    Text(std::string("image/png\0\x03" "cover\0", 17) + "x", 1)}) {
        const TID3v2 id3 = read(Tag(3, 0, Frame23("APIC", body) + Frame23("TIT2", Text("t"))) + MpegAudio());
        EXPECT_TRUE(id3.Pictures.empty());
        EXPECT_EQ(id3.Title, "t");
    }
    // A frame claiming more than the tag holds is not read.
    const std::string big = Frame23("APIC", Text(std::string("image/png\0\x03\0", 12) + kImage));
    const std::string tag = Tag(3, 0, big.substr(0, 4) + BigEndian32(1u << 20) + big.substr(8));
    EXPECT_TRUE(read(tag + MpegAudio()).Pictures.empty());
}

}  // namespace
}  // namespace qorvane
