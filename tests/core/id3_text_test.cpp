// Field trimming, frame text decoding, genre resolution and track values.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/id3_test_bytes.h"
#include "platform/posix/cp932_code_page.h"
#include "tags/id3_genres.h"
#include "tags/id3_text.h"

namespace qorvane {
namespace {

using namespace qorvane::testing;
using namespace std::string_literals;

TEST(TrimTagField, TrailingSpacesGoLeadingSpacesStay) {
    EXPECT_EQ(TrimTagField("Song" + std::string(26, ' '), 30, nullptr), "Song");
    EXPECT_EQ(TrimTagField("  Song  ", 30, nullptr), "  Song");
    EXPECT_EQ(TrimTagField(std::string(30, ' '), 30, nullptr), "");
    EXPECT_EQ(TrimTagField(std::string(30, '\0'), 30, nullptr), "");
    EXPECT_EQ(TrimTagField("ab\0cd"s, 30, nullptr), "ab");
    EXPECT_EQ(TrimTagField("abcdef", 4, nullptr), "abcd");  // never past the width
    EXPECT_EQ(TrimTagField("ab", 30, nullptr), "ab");       // nor past the bytes
}

TEST(TrimTagField, DoubleByteCharactersOfTheCodePage) {
    const Cp932CodePage cp932;
    // 0x81 0x40 is the CP932 full-width space: a pair, so it counts as text.
    EXPECT_EQ(TrimTagField("a\x81\x40  ", 30, &cp932), "a\x81\x40");
    // A trail byte that looks like a space stays with its lead byte.
    EXPECT_EQ(TrimTagField("\x81 ", 30, &cp932), "\x81 ");
    // A lead byte in the last position must not take a byte beyond the field.
    EXPECT_EQ(TrimTagField("ab\x93\xFA", 3, &cp932), "ab");
    EXPECT_EQ(TrimTagField("ab\x93\0"s, 30, &cp932), "ab");
    const Utf8CodePage utf8;
    EXPECT_EQ(TrimTagField("x\xE6\x97\xA5 ", 30, &utf8), "x\xE6\x97\xA5");
    EXPECT_EQ(TrimTagField("x\xE6\x97\xA5", 3, &utf8), "x");  // cut inside the character
}

TEST(Id3v1FieldText, ChoosesTheCodePageTheBytesAreValidIn) {
    const Cp932CodePage cp932;
    EXPECT_EQ(Id3v1FieldText("\x93\xfa\x96\x7b  ", 30, cp932), "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(Id3v1FieldText("\xE6\x97\xA5 ", 30, cp932), "\xE6\x97\xA5");
    EXPECT_EQ(Id3v1FieldText("Caf\xE9 ", 30, cp932), "Caf\xC3\xA9");
    // Valid CP932 only through a user-defined row (0xF6 0x72): Latin-1, as in ID3v2 frames.
    EXPECT_EQ(Id3v1FieldText("Bj\xF6rk ", 30, cp932), "Bj\xC3\xB6rk");
    // Cut after a CP932 lead byte: not valid CP932, so Latin-1, nothing lost past the field.
    EXPECT_EQ(Id3v1FieldText("ab\x93\xFA", 3, cp932), "ab\xC2\x93");
}

TEST(DecodeFrameText, Utf16ByteOrderMarks) {
    const Cp932CodePage cp932;
    const std::string text = Utf16Le(u"Hi\u00E9");
    EXPECT_EQ(DecodeFrameText("\xFF\xFE" + text, 1, cp932), "Hi\xC3\xA9");
    EXPECT_EQ(DecodeFrameText(text, 1, cp932), "Hi\xC3\xA9");  // no mark: little-endian
    EXPECT_EQ(DecodeFrameText("\xFF\xFE\xFF\xFE\xFE\xFF" + text, 1, cp932), "Hi\xC3\xA9");
    EXPECT_EQ(DecodeFrameText("\xFE\xFF" + Utf16Be(u"Hi\u00E9"), 1, cp932), "Hi\xC3\xA9");
    EXPECT_EQ(DecodeFrameText(Utf16Be(u"Be"), 2, cp932), "Be");  // version 4 big-endian
    // Ends at a zero unit, at the last whole unit, or is only marks.
    EXPECT_EQ(DecodeFrameText(Utf16Le(u"ab") + "\0\0"s + Utf16Le(u"cd"), 1, cp932), "ab");
    EXPECT_EQ(DecodeFrameText(Utf16Le(u"ab") + "c", 1, cp932), "ab");
    EXPECT_EQ(DecodeFrameText("\xFF\xFE", 1, cp932), "");
    EXPECT_EQ(DecodeFrameText("", 1, cp932), "");
    EXPECT_EQ(DecodeFrameText(Utf16Le(u"\U0001F3B5"), 1, cp932), "\xF0\x9F\x8E\xB5");
}

TEST(DecodeFrameText, EightBitText) {
    const Cp932CodePage cp932;
    EXPECT_EQ(DecodeFrameText("abc\0def"s, 0, cp932), "abc");
    EXPECT_EQ(DecodeFrameText("\x83\x65\x83\x58\x83\x67", 0, cp932),
              "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88");
    EXPECT_EQ(DecodeFrameText("na\xEFve", 0, cp932), "na\xC3\xAFve");
    EXPECT_EQ(DecodeFrameText("\xE2\x82\xAC", 3, cp932), "\xE2\x82\xAC");
    EXPECT_EQ(DecodeFrameText("odd", 9, cp932), "odd");  // unknown encodings are 8-bit
}

TEST(DecodeCommentText, PassesOverTheDescription) {
    const Cp932CodePage cp932;
    EXPECT_EQ(DecodeCommentText("desc\0text"s, 0, cp932), "text");
    EXPECT_EQ(DecodeCommentText("\0text\0more"s, 0, cp932), "text");
    EXPECT_EQ(DecodeCommentText("no terminator", 0, cp932), "");
    EXPECT_EQ(DecodeCommentText("desc\0"s, 0, cp932), "");
    const std::string utf16 = Utf16Le(u"\uFEFFd\u0100") + "\0\0"s + Utf16Le(u"\uFEFFok");
    EXPECT_EQ(DecodeCommentText(utf16, 1, cp932), "ok");
    // A zero byte inside a unit is not a terminator: U+0100 is 00 01 in little-endian.
    EXPECT_EQ(DecodeCommentText(Utf16Le(u"\u0100x"), 1, cp932), "");
    EXPECT_EQ(DecodeCommentText(Utf16Le(u"d"), 1, cp932), "");
}

TEST(ResolveGenre, ParenthesisedNumbersAndText) {
    EXPECT_EQ(ResolveGenre("(17)"), "Rock");
    EXPECT_EQ(ResolveGenre("(17)Rock"), "Rock");
    EXPECT_EQ(ResolveGenre("(1)2"), "Other");
    EXPECT_EQ(ResolveGenre("(0)"), "Blues");
    EXPECT_EQ(ResolveGenre("(147)"), "Synthpop");
    EXPECT_EQ(ResolveGenre("((Foo)"), "(Foo)");
    EXPECT_EQ(ResolveGenre("(RX)"), "RX)");
    EXPECT_EQ(ResolveGenre("()"), "()");
    EXPECT_EQ(ResolveGenre("Rock"), "Rock");
    EXPECT_EQ(ResolveGenre("17"), "17");
    EXPECT_EQ(ResolveGenre(""), "");
    EXPECT_EQ(ResolveGenre("(148)"), std::nullopt);
    EXPECT_EQ(ResolveGenre("(99999999999999999999999)"), std::nullopt);
}

TEST(GenreNames, TheProgramsOwnList) {
    EXPECT_EQ(GenreNames.size(), 148u);
    EXPECT_EQ(GenreNames[29], "Juzz+Funk");
    EXPECT_EQ(GenreNames[85], "Bedob");
    EXPECT_EQ(GenreNames[96], "Big band");
    EXPECT_EQ(GenreNames[118], "Rhytmic Soul");
    EXPECT_EQ(GenreNames[133], "Negerpunk");
    EXPECT_EQ(GenreNames[136], "Christian Gangsta Rap");
    const std::set<std::string_view> distinct(GenreNames.begin(), GenreNames.end());
    EXPECT_EQ(distinct.size(), 148u);
    for (const std::string_view name : GenreNames) EXPECT_FALSE(name.empty());
}

TEST(TrackValue, LeadingDigits) {
    EXPECT_EQ(TrackValue("3/12"), 3);
    EXPECT_EQ(TrackValue("07"), 7);
    EXPECT_EQ(TrackValue(" 7"), 0);
    EXPECT_EQ(TrackValue(""), 0);
    EXPECT_EQ(TrackValue("2147483647"), 2147483647);
    EXPECT_EQ(TrackValue("99999999999"), 2147483647);
}

}  // namespace
}  // namespace qorvane
