#include "profiles/clean_profile_name.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/posix/cp932_code_page.h"

namespace qorvane {
namespace {

const Utf8CodePage kUtf8;
const Cp932CodePage kCp932;

TEST(CleanProfileName, LeadingBlanksGoForbiddenCharactersBecomeSpacesTrailingBlanksStay) {
    EXPECT_EQ(CleanProfileName("  My/Profile ", kUtf8), "My Profile ");
    EXPECT_EQ(CleanProfileName("\t/?a\"b*c,d:e;f<g>h?i\\j|k\x01l ", kUtf8), "a b c d e f g h i j k l ");
    // Only leading blanks vanish; inner ones stay as typed.
    EXPECT_EQ(CleanProfileName("a  b", kUtf8), "a  b");
    EXPECT_EQ(CleanProfileName("   ", kUtf8), "");
    EXPECT_EQ(CleanProfileName("/:;", kUtf8), "");
    EXPECT_EQ(CleanProfileName("", kUtf8), "");
}

TEST(CleanProfileName, LeadingDotsVanishSoThatNoNameIsHidden) {
    EXPECT_EQ(CleanProfileName("../Escape/Name", kUtf8), "Escape Name");
    EXPECT_EQ(CleanProfileName(".hidden", kUtf8), "hidden");
    EXPECT_EQ(CleanProfileName(". .. .x.y.", kUtf8), "x.y.");
    EXPECT_EQ(CleanProfileName("...", kUtf8), "");
}

TEST(CleanProfileName, LeadingFullWidthSpacesVanishButNotInside) {
    const std::string ideographicSpace = "\xE3\x80\x80";
    EXPECT_EQ(CleanProfileName(ideographicSpace + " " + ideographicSpace + "音楽" + ideographicSpace, kUtf8),
              "音楽" + ideographicSpace);
    // The same in CP932: 0x81 0x40 is the full-width space, 0x89 0xB9 is 音.
    EXPECT_EQ(CleanProfileName("\x81\x40 \x89\xB9\x81\x40", kCp932), "\x89\xB9\x81\x40");
}

TEST(CleanProfileName, CutAtOneHundredTwentyBytes) {
    EXPECT_EQ(CleanProfileName(std::string(200, 'a'), kUtf8), std::string(120, 'a'));
    // A forbidden character in place 121 ends the walk instead of adding a space.
    EXPECT_EQ(CleanProfileName(std::string(120, 'a') + "/b", kUtf8), std::string(120, 'a'));
    EXPECT_EQ(CleanProfileName(std::string(119, 'a') + "/b", kUtf8), std::string(119, 'a') + " ");
}

TEST(CleanProfileName, MultiByteCharacterAtTheCutIsDroppedWithEverythingAfterIt) {
    const std::string a = "\xE3\x81\x82";  // あ, three bytes in UTF-8
    // 118 + 3 = 121 bytes: あ does not fit, and the letter after it is not
    // taken either.
    EXPECT_EQ(CleanProfileName(std::string(118, 'x') + a + "y", kUtf8), std::string(118, 'x'));
    EXPECT_EQ(CleanProfileName(std::string(117, 'x') + a + "y", kUtf8), std::string(117, 'x') + a);
    // Forty characters of three bytes fill the name exactly.
    std::string many;
    for (int i = 0; i < 45; ++i) many += a;
    const std::string cleaned = CleanProfileName(many, kUtf8);
    EXPECT_EQ(cleaned.size(), 120u);
    EXPECT_TRUE(kUtf8.isValid(cleaned));
}

TEST(CleanProfileName, Cp932DoubleByteCharactersAreNeverSplit) {
    const std::string a = "\x82\xA0";  // あ in CP932
    EXPECT_EQ(CleanProfileName(std::string(118, 'x') + a + "y", kCp932), std::string(118, 'x') + a);
    EXPECT_EQ(CleanProfileName(std::string(119, 'x') + a + "y", kCp932), std::string(119, 'x'));
    // The trail byte of 表 (0x95 0x5C) is a backslash and must not be taken
    // for one.
    EXPECT_EQ(CleanProfileName("\x95\x5C", kCp932), "\x95\x5C");
    // Half-width katakana are single bytes.
    EXPECT_EQ(CleanProfileName("\xB1\xB2", kCp932), "\xB1\xB2");
    // A lead byte that is the last byte ends the walk.
    EXPECT_EQ(CleanProfileName("ab\x82", kCp932), "ab");
}

TEST(CleanProfileName, Utf8CharacterCutOffByTheEndOfTheTextIsDropped) {
    EXPECT_EQ(CleanProfileName("ab\xE3\x81", kUtf8), "ab");
}

}  // namespace
}  // namespace qorvane
