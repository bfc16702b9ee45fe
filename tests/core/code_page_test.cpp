#include "platform/code_page.h"

#include <gtest/gtest.h>

#include "platform/posix/cp932_code_page.h"
#include "base/text_codec.h"

namespace qorvane {
namespace {

TEST(Utf8CodePage, MultiByteSequenceIsOneCharacter) {
    const Utf8CodePage cp;
    const std::string text = "a\xE3\x81\x82" "b";  // a, HIRAGANA A, b
    EXPECT_EQ(cp.charLength(text, 0), 1u);
    EXPECT_TRUE(cp.isLeadByte(0xE3));
    EXPECT_EQ(cp.charLength(text, 1), 3u);
    // Cut after the lead byte: the character needs more than the text holds.
    EXPECT_EQ(cp.charLength(std::string("\xE3\x81"), 0), 3u);
    // A lead byte followed by a non-continuation counts as one byte.
    EXPECT_EQ(cp.charLength(std::string("\xE3" "a"), 0), 1u);
    EXPECT_FALSE(cp.isLeadByte(0x80));
    EXPECT_FALSE(cp.isLeadByte(0xC0));
}

TEST(TextCodec, Utf8ValidationRejectsOverlongSurrogatesAndCuts) {
    EXPECT_TRUE(IsValidUtf8("plain \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB5"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong slash
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE6\x97"));          // cut
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
}

TEST(TextCodec, Utf16RoundTripAndReplacement) {
    const std::string text = "x\xE6\x97\xA5\xF0\x9F\x8E\xB5";
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
    EXPECT_EQ(Utf8ToUtf16(text).size(), 4u);  // x, 日, surrogate pair
    EXPECT_EQ(Utf16ToUtf8(u"\xD800z"), "\xEF\xBF\xBDz");  // lone surrogate
    EXPECT_EQ(Utf8ToUtf16("\xFF"), u"\xFFFD");
    EXPECT_EQ(Latin1ToUtf8("caf\xE9"), "caf\xC3\xA9");
}

TEST(Cp932CodePage, LeadBytesAndConversions) {
    const Cp932CodePage cp;
    EXPECT_TRUE(cp.isLeadByte(0x81));
    EXPECT_TRUE(cp.isLeadByte(0x9F));
    EXPECT_TRUE(cp.isLeadByte(0xE0));
    EXPECT_TRUE(cp.isLeadByte(0xFC));
    EXPECT_FALSE(cp.isLeadByte(0xA0));  // half-width katakana range is single byte
    EXPECT_FALSE(cp.isLeadByte(0x7F));
    const std::string nihongo = "\x93\xfa\x96\x7b\x8c\xea";  // 日本語
    EXPECT_EQ(cp.charLength(nihongo, 0), 2u);
    EXPECT_EQ(cp.toUtf16(nihongo), u"\u65E5\u672C\u8A9E");
    EXPECT_EQ(cp.fromUtf16(u"\u65E5\u672C\u8A9E"), nihongo);
    EXPECT_EQ(cp.fromUtf16(u"a\u00E9b"), "a?b");  // no é in CP932
    EXPECT_TRUE(cp.isValid(nihongo));
    EXPECT_FALSE(cp.isValid("\x93"));  // lone lead byte
    EXPECT_EQ(cp.toUtf16("a\x93"), u"a\xFFFD");
}

TEST(DecodeLegacyText, PrefersUtf8ThenCp932ThenLatin1) {
    const Cp932CodePage cp932;
    EXPECT_EQ(DecodeLegacyText("\xE6\x97\xA5", cp932), "\xE6\x97\xA5");
    EXPECT_EQ(DecodeLegacyText("\x93\xfa\x96\x7b", cp932), "\xE6\x97\xA5\xE6\x9C\xAC");
    // 0x80 and 0xA0 alone are not CP932 characters: Latin-1 it is.
    const std::string decoded = DecodeLegacyText("Beyonc\xE9 \x80", cp932);
    EXPECT_TRUE(IsValidUtf8(decoded));
    // "M\xF6tley" is two valid CP932 characters from the user-defined rows,
    // but plainly Latin-1.
    EXPECT_EQ(DecodeLegacyText("M\xF6tley", cp932), "M\xC3\xB6tley");
}

}  // namespace
}  // namespace qorvane
