#include "encode/encoding_profile.h"

#include <gtest/gtest.h>

namespace qorvane {
namespace {

using Strings = std::vector<std::string>;

TEST(SplitCommaText, CommasBlanksAndQuotes) {
    EXPECT_EQ(SplitCommaText("300,500"), (Strings{"300", "500"}));
    EXPECT_EQ(SplitCommaText(" 300 , 500 700"), (Strings{"300", "500", "700"}));
    EXPECT_EQ(SplitCommaText("a,,b,"), (Strings{"a", "", "b", ""}));
    EXPECT_EQ(SplitCommaText("\"3 00\",\"say \"\"x\"\"\""), (Strings{"3 00", "say \"x\""}));
    EXPECT_EQ(SplitCommaText(""), Strings{});
}

TEST(PrepareEncodingProfile, BitRateListAndPeaks) {
    ProfileSettings s;
    s.VideoBitrate = "0300, abc,0,-5,500,500";
    s.AudioPeak = "128";
    s.VideoPeak = "fast";
    auto prepared = PrepareEncodingProfile(s);
    EXPECT_EQ(prepared.videoBitrates, (VideoBitrateList{300, 500, 500}));
    EXPECT_EQ(prepared.settings.VideoBitrate, "0300, abc,0,-5,500,500");  // several: text kept
    EXPECT_EQ(prepared.settings.AudioPeak, "128000");
    EXPECT_EQ(prepared.settings.VideoPeak, "fast");

    s.VideoBitrate = "abc,0";
    s.AudioPeak = "2147483";  // would wrap in 32 bits
    prepared = PrepareEncodingProfile(s);
    EXPECT_EQ(prepared.videoBitrates, VideoBitrateList{250});
    EXPECT_EQ(prepared.settings.VideoBitrate, "250");
    EXPECT_EQ(prepared.settings.AudioPeak, "2147483000");

    s.VideoBitrate = "0300";
    EXPECT_EQ(PrepareEncodingProfile(s).settings.VideoBitrate, "300");
    s.VideoBitrate = "99999999999";  // past any rate the list can hold: unusable
    EXPECT_EQ(PrepareEncodingProfile(s).videoBitrates, VideoBitrateList{250});
}

TEST(PrepareEncodingProfile, ModesWithoutBitRateListNone) {
    for (int mode : {0, 3, 7}) {
        ProfileSettings s;
        s.VideoMode = mode;
        s.VideoBitrate = "300,500";
        const auto prepared = PrepareEncodingProfile(s);
        EXPECT_TRUE(prepared.videoBitrates.empty());
        EXPECT_EQ(prepared.settings.VideoBitrate, "300,500");
    }
}

}  // namespace
}  // namespace qorvane
