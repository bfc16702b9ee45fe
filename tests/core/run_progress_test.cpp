#include "encode/run_progress.h"

#include <gtest/gtest.h>

#include "encode/live_status.h"

namespace qorvane {
namespace {

TEST(ProgressLine, ReadsTheStandInEncodersLinesAndNothingElse) {
    EXPECT_EQ(ParseProgressLine("progress: 42.0% 00:00:12.3/00:00:29.1 speed=31.0x"),
              (EncoderProgress{42.0, 12.3, 29.1, 31.0, 0, 0}));
    EXPECT_EQ(ParseProgressLine("progress: 71.5% 01:00:02.0/02:00:00.0 speed=2.5x pass=2/2 pass_percent=43.0% new=1\r"),
              (EncoderProgress{71.5, 3602.0, 7200.0, 2.5, 2, 2}));
    for (const char* line : {"progress: 101% 00:00:01.0/00:00:02.0", "progress: 5% 00:00:01.0", "progress: x% a/b",
                             "Progress: 5.0% 00:00:01.0/00:00:02.0", "size=  12kB time=00:00:01.00", ""}) {
        EXPECT_FALSE(ParseProgressLine(line)) << line;
    }
    EXPECT_EQ(FormatClock(72.4), "01:12");
    EXPECT_EQ(FormatClock(3723), "1:02:03");
    EXPECT_EQ(FormatClock(1e302), "2400:00:00");  // what a hostile line could ask for
}

LiveRunStatus::Clock::time_point fakeNow;
LiveRunStatus::Clock::time_point FakeClock() { return fakeNow; }

TEST(LiveRunStatus, EstimatesWhatIsLeftAndTheBatchsShareAndKeepsTheOutput) {
    LiveRunStatus live;
    live.setClock(&FakeClock);
    const auto one = live.runStarted("[300kbps] clip.avi", {2, 4}, "cscript.exe one");
    EXPECT_TRUE(live.snapshot().running);
    EXPECT_FALSE(live.snapshot().progress);
    EXPECT_EQ(live.snapshot().batchPercent, 25.0);  // one of four runs done

    fakeNow += std::chrono::seconds(10);
    live.outputLine(one, "progress: 40.0% 00:00:04.0/00:00:10.0 speed=0.4x");
    live.outputLine(one, "progress: 20.0% 00:00:02.0/00:00:10.0 speed=0.4x");  // never goes back
    live.outputLine(one, "wmcmd: a warning");
    const LiveSnapshot snap = live.snapshot();
    EXPECT_EQ(snap.progress->percent, 40.0);
    EXPECT_DOUBLE_EQ(snap.elapsed, 10.0);
    EXPECT_DOUBLE_EQ(*snap.remaining, 15.0);
    EXPECT_DOUBLE_EQ(*snap.batchPercent, 35.0);
    EXPECT_EQ(live.currentOutput(), "wmcmd: a warning\n");

    live.runEnded(one, "完了しました");
    fakeNow += std::chrono::seconds(5);
    EXPECT_FALSE(live.snapshot().running);
    EXPECT_DOUBLE_EQ(live.snapshot().elapsed, 10.0);  // stopped with the run
    live.runStarted("song.mp3", {3, 4}, "cscript.exe two");
    EXPECT_EQ(live.currentOutput(), "");
    EXPECT_EQ(live.sessionLog(), "== cscript.exe one\nwmcmd: a warning\n-- 完了しました\n== cscript.exe two\n");
}

TEST(LiveRunStatus, SeveralRunsEachKeepTheirOwnProgressAndShareTheBatch) {
    LiveRunStatus live;
    live.setClock(&FakeClock);
    const auto a = live.runStarted("a.wav", {1, 4}, "one");
    const auto b = live.runStarted("b.wav", {2, 4}, "two");
    live.outputLine(a, "progress: 50.0% 00:00:05.0/00:00:10.0 speed=1x");
    live.outputLine(b, "progress: 10.0% 00:00:01.0/00:00:10.0 speed=1x");
    live.outputLine(b, "note");
    LiveSnapshot snap = live.snapshot();
    ASSERT_EQ(snap.runs.size(), 2u);
    EXPECT_EQ(snap.runs[0].label, "a.wav");
    EXPECT_EQ(snap.runs[0].progress->percent, 50.0);
    EXPECT_EQ(snap.label, "b.wav");                 // the run started last
    EXPECT_DOUBLE_EQ(*snap.batchPercent, 15.0);     // (0.5 + 0.1) of four runs

    live.runEnded(b, "完了しました");  // the later run ends first
    snap = live.snapshot();
    ASSERT_EQ(snap.runs.size(), 1u);
    EXPECT_EQ(snap.label, "a.wav");
    EXPECT_DOUBLE_EQ(*snap.batchPercent, 37.5);  // run 2 done, run 1 half
    EXPECT_EQ(live.sessionLog(), "== one\n== two\nb.wav: note\n-- b.wav: 完了しました\n");
}

}  // namespace
}  // namespace qorvane
