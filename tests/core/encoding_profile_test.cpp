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
    EXPECT_EQ(prepared.bitrates, (Strings{"300", "500", "500"}));
    EXPECT_EQ(prepared.settings.VideoBitrate, "0300, abc,0,-5,500,500");  // several: text kept
    EXPECT_EQ(prepared.settings.AudioPeak, "128000");
    EXPECT_EQ(prepared.settings.VideoPeak, "fast");

    s.VideoBitrate = "abc,0";
    s.AudioPeak = "2147483";  // would wrap in 32 bits
    prepared = PrepareEncodingProfile(s);
    EXPECT_EQ(prepared.bitrates, Strings{"250"});
    EXPECT_EQ(prepared.settings.VideoBitrate, "250");
    EXPECT_EQ(prepared.settings.AudioPeak, "2147483000");

    s.VideoBitrate = "0300";
    EXPECT_EQ(PrepareEncodingProfile(s).settings.VideoBitrate, "300");
}

TEST(PrepareEncodingProfile, ModesWithoutBitRateMakeOneRun) {
    for (int mode : {0, 3, 7}) {
        ProfileSettings s;
        s.VideoMode = mode;
        s.VideoBitrate = "300,500";
        const auto prepared = PrepareEncodingProfile(s);
        EXPECT_EQ(prepared.bitrates, Strings{""});
        EXPECT_FALSE(HasSeveralRuns(prepared, "clip.avi"));
    }
}

TEST(NameRun, MultiBitRateRunsOnlyForVideoInputs) {
    ProfileSettings s;
    s.VideoBitrate = "300,500";
    const auto prepared = PrepareEncodingProfile(s);
    const RunNaming first = NameRun(prepared, 0, "/in/clip.AVI", "clip.AVI");
    EXPECT_EQ(first.nameSuffix, "_v300");
    EXPECT_EQ(first.videoBitrateValue, "300000");
    EXPECT_EQ(first.label, "[300kbps] clip.AVI");
    EXPECT_EQ(NameRun(prepared, 1, "/in/clip.avi", "clip.avi").videoBitrateValue, "500000");

    const RunNaming song = NameRun(prepared, 0, "/in/song.Mp3", "song.Mp3");
    EXPECT_EQ(song.nameSuffix, "");
    EXPECT_EQ(song.label, "song.Mp3");
    EXPECT_EQ(FormatRemainingCount(3), "(3) ");
}

}  // namespace
}  // namespace qorvane
