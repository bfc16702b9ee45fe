#include "base/ascii_case.h"

#include <gtest/gtest.h>

namespace qorvane {
namespace {

TEST(AsciiCase, ExtensionsRunFromTheLastDotOfTheName) {
    EXPECT_EQ(LowerExtension("/music/Song.Mp3"), ".mp3");
    EXPECT_EQ(LowerExtension("/music/.MP3"), ".mp3");        // a name that is all extension
    EXPECT_EQ(LowerExtension("/dir.with.dots/noext"), "");
    EXPECT_EQ(LowerExtension("clip.tar.AVI"), ".avi");
    EXPECT_EQ(NameWithoutExtension("/in/a.b.avi"), "a.b");
    EXPECT_EQ(NameWithoutExtension("/in/noext"), "noext");
    EXPECT_EQ(NameWithoutExtension("/in/.avi"), "");
}

TEST(AsciiCase, OnlyAsciiLettersFold) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase("Video", "vIDEO"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("Video", "Videos"));
    // Multi-byte text is compared byte for byte, never folded.
    EXPECT_EQ(LowerAscii("ÀB\xE6\x97\xA5"), "Àb\xE6\x97\xA5");
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC3\x80", "\xC3\xA0"));
}

}  // namespace
}  // namespace qorvane
