#include "encode/run_planner.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::TempDir;

class RunPlanner : public ::testing::Test {
protected:
    static EncodingProfile Prepared(const std::string& bitrates, int videoMode = 1) {
        ProfileSettings s;
        s.VideoMode = videoMode;
        s.VideoBitrate = bitrates;
        return PrepareEncodingProfile(s);
    }
    std::vector<PlannedRun> plan(const std::string& bitrates, int videoMode, const std::string& name) {
        return PlanRuns(Prepared(bitrates, videoMode), {dir.write("in/" + name, "x"), name}, encoder);
    }
    static bool Writes(const PlannedRun& run, const std::string& part) {
        return run.commandLine && run.commandLine->text().find(part) != std::string::npos;
    }

    TempDir dir;
    EncoderLocation encoder{"/enc/wmcmd.vbs", {}, false};
};

TEST_F(RunPlanner, AVideoInputRunsOncePerListedRate) {
    const auto runs = plan("300,500,300", 1, "clip.AVI");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].nameSuffix, "_v300");
    EXPECT_EQ(runs[0].videoBitrate, 300);
    EXPECT_EQ(runs[0].label, "[300kbps] clip.AVI");
    EXPECT_EQ(runs[0].outputName(), "clip_v300.wmv");
    EXPECT_TRUE(Writes(runs[0], " -output \"clip_v300.wmv\" -v_mode 0 -v_bitrate 300000 "));
    EXPECT_EQ(runs[1].label, "[500kbps] clip.AVI");
    EXPECT_TRUE(Writes(runs[1], " -output \"clip_v500.wmv\" -v_mode 0 -v_bitrate 500000 "));
    EXPECT_EQ(runs[2].outputName(), "clip_v300.wmv");  // a duplicate runs again, into the same name
}

TEST_F(RunPlanner, AnAudioInputOrASingleRateRunsOnceWithoutSuffix) {
    const auto song = plan("300,500", 1, "song.Mp3");
    ASSERT_EQ(song.size(), 1u);
    EXPECT_EQ(song[0].nameSuffix, "");
    EXPECT_EQ(song[0].videoBitrate, std::nullopt);
    EXPECT_EQ(song[0].label, "song.Mp3");
    EXPECT_EQ(song[0].outputName(), "song.wma");

    const auto clip = plan("0300", 2, "clip.avi");
    ASSERT_EQ(clip.size(), 1u);
    EXPECT_EQ(clip[0].videoBitrate, 300);
    EXPECT_EQ(clip[0].label, "clip.avi");
    EXPECT_EQ(clip[0].outputName(), "clip.wmv");
    EXPECT_TRUE(Writes(clip[0], " -v_bitrate 300000 "));
    EXPECT_TRUE(Writes(plan("abc,0", 2, "clip.avi").at(0), " -v_bitrate 250000 "));
}

TEST_F(RunPlanner, ModesWithoutABitRateRunOnceWithoutOne) {
    for (int mode : {0, 3, 7}) {
        const auto runs = plan("300,500", mode, "clip.avi");
        ASSERT_EQ(runs.size(), 1u) << "video mode " << mode;
        EXPECT_EQ(runs[0].videoBitrate, std::nullopt);
        EXPECT_EQ(runs[0].nameSuffix, "");
        EXPECT_FALSE(Writes(runs[0], "-v_bitrate")) << runs[0].commandLine->text();
    }
}

TEST_F(RunPlanner, EveryRunOfAJobThatCannotRunCarriesTheReason) {
    const std::pair<std::filesystem::path, CommandLineRefusal> jobs[] = {
        {dir / "gone.avi", CommandLineRefusal::InputMissing},
        {dir.write("notes.txt", "x"), CommandLineRefusal::UnsupportedInput}};
    for (const auto& [input, why] : jobs) {
        const auto runs = PlanRuns(Prepared("300,500"), {input, input.filename().string()}, encoder);
        ASSERT_EQ(runs.size(), 2u) << input;
        for (const PlannedRun& run : runs) {
            EXPECT_FALSE(run.commandLine);
            EXPECT_EQ(run.refusal, why);
            EXPECT_EQ(run.outputName(), "");
        }
    }
}

TEST_F(RunPlanner, TheLargestRateIsWrittenWithoutWrappingAround) {
    const auto runs = plan("2147483647,1", 4, "clip.avi");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].outputName(), "clip_v2147483647.wmv");
    EXPECT_TRUE(Writes(runs[0], " -v_bitrate 2147483647000 "));
}

}  // namespace
}  // namespace qorvane
