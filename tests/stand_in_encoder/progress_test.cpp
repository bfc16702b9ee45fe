#include "stand_in_encoder/progress.h"

#include <gtest/gtest.h>

namespace qorvane::encoder {
namespace {

FfmpegProgressBlock At(double seconds, double speed) { return {seconds, speed, false}; }

TEST(Progress, ReadsFfmpegsBlocksFromPiecesOfAnySize) {
    const std::string text =
        "frame=1\nout_time_us=N/A\nout_time=N/A\nspeed=N/A\nprogress=continue\n"
        "out_time_us=-9223372036854775807\nout_time=-2562047788:00:54.775807\nspeed=   1x\nprogress=continue\n"
        "out_time_us=2500000\nout_time_ms=2500000\nout_time=00:00:02.500000\nspeed=1.2e+03x\nprogress=continue\n"
        "out_time=01:02:03.400000\nspeed= 503x\nprogress=end\nframe=";
    for (const std::size_t size : {std::size_t{1}, std::size_t{7}, text.size()}) {
        SCOPED_TRACE(size);
        FfmpegProgressReader reader;
        std::vector<FfmpegProgressBlock> blocks;
        for (std::size_t at = 0; at < text.size(); at += size) {
            for (const auto& block : reader.Feed(std::string_view(text).substr(at, size))) blocks.push_back(block);
        }
        ASSERT_EQ(blocks.size(), 4u);
        EXPECT_FALSE(blocks[0].outTime);
        EXPECT_FALSE(blocks[0].speed);
        EXPECT_FALSE(blocks[1].outTime);  // before the first packet
        EXPECT_EQ(blocks[1].speed, 1.0);
        EXPECT_EQ(blocks[2].outTime, 2.5);
        EXPECT_EQ(blocks[2].speed, 1200.0);
        EXPECT_FALSE(blocks[2].end);
        EXPECT_DOUBLE_EQ(blocks[3].outTime.value_or(0), 3723.4);  // "out_time" alone
        EXPECT_TRUE(blocks[3].end);
    }
}

TEST(Progress, LinesOfOnePassNeverGoBackAndReach100OnlyAtTheEnd) {
    ProgressMeter meter(8.0, 1);
    EXPECT_EQ(meter.Update(0, {}), "progress: 0.0% 00:00:00.0/00:00:08.0 speed=0.0x");
    EXPECT_EQ(meter.Update(0, At(2.0, 31.04)), "progress: 25.0% 00:00:02.0/00:00:08.0 speed=31.0x");
    EXPECT_EQ(meter.Update(0, At(1.0, 30.0)), "progress: 25.0% 00:00:02.0/00:00:08.0 speed=30.0x");
    EXPECT_EQ(meter.Update(0, At(7.99, 2.0)), "progress: 99.8% 00:00:07.9/00:00:08.0 speed=2.0x");
    EXPECT_EQ(meter.Update(0, At(9.0, 2.0)), "progress: 99.9% 00:00:08.0/00:00:08.0 speed=2.0x");
    EXPECT_EQ(meter.Finished(), "progress: 100.0% 00:00:08.0/00:00:08.0 speed=2.0x");

    ProgressMeter hours(36000.0 * 10 + 0.25, 1);  // hours take more than two digits
    EXPECT_EQ(hours.Update(0, At(3725.36, 1.0)), "progress: 1.0% 01:02:05.3/100:00:00.2 speed=1.0x");
}

TEST(Progress, TwoPassesShareTheOverallPercentage) {
    ProgressMeter meter(10.0, 2);
    EXPECT_EQ(meter.Update(0, At(5.0, 4.0)),
              "progress: 25.0% 00:00:05.0/00:00:10.0 speed=4.0x pass=1/2 pass_percent=50.0%");
    EXPECT_EQ(meter.Update(0, At(10.0, 4.0)),
              "progress: 49.9% 00:00:10.0/00:00:10.0 speed=4.0x pass=1/2 pass_percent=99.9%");
    EXPECT_EQ(meter.Update(1, {}), "progress: 50.0% 00:00:00.0/00:00:10.0 speed=0.0x pass=2/2 pass_percent=0.0%");
    EXPECT_EQ(meter.Update(1, At(9.0, 1.0)),
              "progress: 95.0% 00:00:09.0/00:00:10.0 speed=1.0x pass=2/2 pass_percent=90.0%");
    EXPECT_EQ(meter.Finished(),
              "progress: 100.0% 00:00:10.0/00:00:10.0 speed=1.0x pass=2/2 pass_percent=100.0%");
}

TEST(Progress, DurationsAndFinalLines) {
    EXPECT_EQ(ParseProbedDuration("8.000000\n"), 8.0);
    EXPECT_FALSE(ParseProbedDuration("N/A\n"));
    EXPECT_FALSE(ParseProbedDuration("0.000000\n"));
    EXPECT_FALSE(ParseProbedDuration(""));
    EXPECT_FALSE(ParseProbedDuration("8.0\n9.0\n"));

    EXPECT_EQ(FinishedLine(""), "finished: ok");
    EXPECT_EQ(FinishedLine("Cannot read \"a\nb\""), "finished: failed: Cannot read \"a b\"");
}

}  // namespace
}  // namespace qorvane::encoder
