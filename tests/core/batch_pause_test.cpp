// Pausing a batch and stopping it after the runs going, with fake processes.

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <memory>

#include "core/batch_fixture.h"
#include "encode/live_status.h"

namespace qorvane::testing {
namespace {

using namespace std::chrono_literals;

class PausedBatch : public Batch {
protected:
    // The batch going on a thread of its own while the test looks on.
    void startBatch() {
        thread_ = std::make_unique<EncodeThread>(runner(), invoker, launcher, folders, dir / "log.txt",
                                                 EncodeThread::Timing{1ms, 1ms});
        thread_->setLiveStatus(&live);
        ASSERT_TRUE(runner().beginBatch());
        thread_->start();
        thread_->postStart();
    }

    template <typename Condition>
    static bool soon(Condition condition) {
        for (int i = 0; i < 5000 && !condition(); ++i) std::this_thread::sleep_for(1ms);
        return condition();
    }

    bool over() { return soon([this] { return !thread_->busy(); }); }

    LiveRunStatus live;
    std::unique_ptr<EncodeThread> thread_;
};

TEST_F(PausedBatch, PausedRunsGetNoFurtherAndNothingStartsUntilTheResume) {
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav"}) jobs.rows.push_back(job(name));
    host.parallel = 2;
    host.settings = {false, true, true, "job.wav", "done.wav"};
    launcher.steps = 3;
    launcher.hold = true;
    startBatch();
    ASSERT_TRUE(soon([this] { return launcher.alive == 2; }));

    thread_->pauseRuns();
    EXPECT_TRUE(thread_->paused());
    EXPECT_EQ(launcher.paused, 2);  // every run going, at once
    EXPECT_TRUE(live.snapshot().paused);
    launcher.hold = false;
    std::this_thread::sleep_for(50ms);  // fifty wait steps
    EXPECT_EQ(launcher.alive, 2);
    EXPECT_EQ(jobs.rows.size(), 2u);  // nothing more taken from the list
    EXPECT_TRUE(tags.calls.empty());

    thread_->resumeRuns();
    EXPECT_EQ(launcher.paused, 0);
    EXPECT_FALSE(live.snapshot().paused);
    ASSERT_TRUE(over());
    EXPECT_EQ(launcher.started.size(), 4u);
    EXPECT_EQ(tags.calls.size(), 4u);
    EXPECT_EQ(sounds.played.back(), "done.wav");
    EXPECT_FALSE(thread_->paused());
}

// The abort ends the paused runs (continued first, to end in order) and
// stops the batch as it does when nothing is paused; the pause goes with it.
TEST_F(PausedBatch, AbortWhilePausedEndsEveryRunGoing) {
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) jobs.rows.push_back(job(name));
    const std::deque<EncodeJob> rows = jobs.rows;
    host.parallel = 2;
    host.settings = {true, true, true, "job.wav", "done.wav"};
    launcher.steps = -1;
    startBatch();
    ASSERT_TRUE(soon([this] { return launcher.alive == 2; }));
    thread_->pauseRuns();
    runner().requestAbort();
    ASSERT_TRUE(over());
    EXPECT_EQ(launcher.terminated, 2);
    EXPECT_EQ(launcher.paused, 0);
    EXPECT_EQ(launcher.alive, 0);
    EXPECT_EQ(jobs.rows, rows);
    EXPECT_EQ(host.shutdowns, 0);
    EXPECT_FALSE(thread_->paused());
    EXPECT_FALSE(live.snapshot().paused);
}

// The runs going finish and are tagged; the rows behind stay, and so does a
// job whose further bit rates had not begun; no end-of-batch sound, no
// shutdown.
TEST_F(PausedBatch, StopAfterTheRunsGoingFinishesThemAndKeepsTheRest) {
    dir.write("Profile/p.wpf", "[video]\nbitrate=300,500\n");
    for (const int parallel : {1, 2}) {
        SCOPED_TRACE(parallel);
        jobs.rows = {job("clip.avi"), job("b.wav"), job("c.wav")};
        host = {};
        host.parallel = parallel;
        host.settings = {true, true, true, "job.wav", "done.wav"};
        sounds.played.clear();
        tags.calls.clear();
        launcher.started.clear();
        launcher.steps = 3;
        launcher.onStart = [&] {
            if (launcher.started.size() == static_cast<std::size_t>(parallel)) runner().requestStopAfterRunsGoing();
        };
        runBatch();
        EXPECT_EQ(launcher.started.size(), static_cast<std::size_t>(parallel));
        EXPECT_EQ(launcher.terminated, 0);
        EXPECT_EQ(tags.calls.size(), static_cast<std::size_t>(parallel));
        EXPECT_EQ(sounds.played, std::vector<std::string>(static_cast<std::size_t>(parallel), "job.wav"));
        EXPECT_EQ(host.shutdowns, 0);
        EXPECT_FALSE(runner().state().running);
        // One at a time, clip.avi is back on top: its 500 kbps run never
        // began. Two at a time, both its runs went.
        std::vector<std::string> left;
        for (const EncodeJob& row : jobs.rows) left.push_back(row.File);
        const std::vector<std::string> expected =
            parallel == 1 ? std::vector<std::string>{"clip.avi", "b.wav", "c.wav"} : std::vector<std::string>{"b.wav", "c.wav"};
        EXPECT_EQ(left, expected);
    }
}

LiveRunStatus::Clock::time_point fakeNow;
LiveRunStatus::Clock::time_point FakeClock() { return fakeNow; }

TEST(LiveRunStatusPaused, TimesHoldStillWhilePaused) {
    LiveRunStatus live;
    live.setClock(&FakeClock);
    const auto one = live.runStarted("a.wav", {1, 2}, "one");
    fakeNow += 10s;
    live.outputLine(one, "progress: 50.0% 00:00:05.0/00:00:10.0 speed=1x");
    live.pause();
    const auto two = live.runStarted("b.wav", {2, 2}, "two");  // started as the pause came
    fakeNow += 60s;
    LiveSnapshot snap = live.snapshot();
    EXPECT_TRUE(snap.paused);
    EXPECT_DOUBLE_EQ(snap.runs[0].elapsed, 10.0);
    EXPECT_DOUBLE_EQ(*snap.runs[0].remaining, 10.0);
    EXPECT_DOUBLE_EQ(snap.runs[1].elapsed, 0.0);

    live.resume();
    fakeNow += 4s;
    snap = live.snapshot();
    EXPECT_DOUBLE_EQ(snap.runs[0].elapsed, 14.0);
    EXPECT_DOUBLE_EQ(snap.runs[1].elapsed, 4.0);

    // Ended while paused (an abort): its time stops where the pause held it.
    live.pause();
    fakeNow += 30s;
    live.runEnded(two, "中断しました");
    live.resume();
    fakeNow += 30s;
    snap = live.snapshot();
    ASSERT_EQ(snap.runs.size(), 1u);
    EXPECT_DOUBLE_EQ(snap.runs[0].elapsed, 44.0);
    live.runEnded(one, "完了しました");
    EXPECT_EQ(live.snapshot().label, "b.wav");  // the run started last
    EXPECT_DOUBLE_EQ(live.snapshot().elapsed, 4.0);
}

}  // namespace
}  // namespace qorvane::testing
