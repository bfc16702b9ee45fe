// The desktop around a batch: the lock against sleep from the convert
// command to the end or the abort, the launcher icon, and the notice at
// the end, before the shutdown and the failure report.
#include "encode/batch_desktop.h"

#include <gtest/gtest.h>

#include "encode/batch_runner.h"
#include "support/batch_fakes.h"
#include "support/desktop_fakes.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::FakeHost;
using testing::FakeJobs;
using testing::FakeLauncherProgress;
using testing::FakeNotifier;
using testing::FakeProgress;
using testing::FakeSleepInhibitor;
using testing::FakeSounds;
using testing::FakeTags;
using testing::TempDir;

class AroundABatch : public ::testing::Test {
protected:
    AroundABatch() {
        std::filesystem::create_directory(dir / "Profile");
        encoder.scriptPath = "/enc/wmcmd.vbs";
        encoder.cscriptPath = "/enc/qorvane-cscript";
        BatchDesktop::Services services;
        services.sleep = &sleep;
        services.launcher = &launcher;
        services.notifier = &notifier;
        services.notifyAtEnd = [this] { return notify; };
        desktop.emplace(std::move(services));
        runner.setListener(&*desktop);
    }

    EncodeJob job(const std::string& name, std::string outDir = "") {
        const auto path = dir.write("in/" + name, "x");
        return {name, "p", "T", "A", "B", "2024", "C", path.string(), std::move(outDir)};
    }

    // The runs of the batch, in the order they are taken, end as given (the
    // encode thread's part, done here by hand); then the batch is over.
    void runTo(const std::vector<RunResult>& results) {
        for (const RunResult result : results) {
            ASSERT_EQ(runner.prepareNextJob(), BatchRunner::Next::Run);
            desktop->batchProgress(0.5, runner.jobsLeft());
            BatchRun run = runner.state().run;
            run.outcome = {result, {}};
            runner.finishJob(run);
        }
        ASSERT_EQ(runner.prepareNextJob(), BatchRunner::Next::Over);
    }

    TempDir dir;
    FakeJobs jobs;
    FakeProgress progress;
    FakeHost host;
    FakeTags tags;
    FakeSounds sounds;
    EncoderLocation encoder;
    FakeSleepInhibitor sleep;
    FakeLauncherProgress launcher;
    FakeNotifier notifier;
    bool notify = true;
    std::optional<BatchDesktop> desktop;
    BatchRunner runner{{jobs, progress, host, tags, sounds}, encoder, dir / "Profile"};
};

TEST_F(AroundABatch, EndKeepsTheComputerAwakeUntilThenAndNoticesBeforeShutdownAndReport) {
    jobs.rows = {job("a.mp3"), job("b.mp3"), job("c.mp3", (dir / "out").string()), job("d.mp3")};
    host.settings.shutdn = true;
    bool awakeAtShutdown = true;
    host.onShutdown = [&] { awakeAtShutdown = sleep.holding(); };
    notifier.onNotify = [&] {
        EXPECT_FALSE(sleep.holding());
        EXPECT_EQ(host.shutdowns, 0);
        EXPECT_TRUE(host.reports.empty());  // the report follows the notice
    };
    ASSERT_TRUE(runner.beginBatch());
    EXPECT_TRUE(sleep.holding());
    runTo({RunResult::Good, RunResult::EncoderFailed, RunResult::Good, RunResult::NoOutput});

    EXPECT_EQ(sleep.holds, 1);
    EXPECT_FALSE(sleep.holding());
    EXPECT_FALSE(awakeAtShutdown);  // given back before the power-off is even asked for
    EXPECT_EQ(host.shutdowns, 1);
    EXPECT_EQ(host.reports.size(), 1u);
    // The jobs left fall as each is done; the icon is cleared at the end.
    EXPECT_EQ(launcher.shown, (std::vector<std::string>{"0% 4", "50% 4", "50% 3", "50% 2", "50% 1", "clear"}));
    ASSERT_EQ(notifier.notices.size(), 1u);
    const DesktopNotice& notice = notifier.notices[0];
    EXPECT_EQ(notice.summary, "変換が終わりました");
    EXPECT_EQ(notice.body, "2 件完了、2 件失敗");
    EXPECT_EQ(notice.actionText, "フォルダを開く");
    EXPECT_EQ(notice.folder, dir / "out");  // of the last run that gave its file
}

TEST_F(AroundABatch, AbortGivesTheLockBackAndClearsTheIconWithoutANotice) {
    jobs.rows = {job("a.mp3"), job("b.mp3")};
    ASSERT_TRUE(runner.beginBatch());
    ASSERT_EQ(runner.prepareNextJob(), BatchRunner::Next::Run);
    runner.requestAbort();
    BatchRun run = runner.state().run;
    run.outcome = {RunResult::Aborted, {}};
    runner.finishJob(run);
    ASSERT_EQ(runner.prepareNextJob(), BatchRunner::Next::Over);
    EXPECT_FALSE(sleep.holding());
    EXPECT_EQ(launcher.shown.back(), "clear");
    EXPECT_TRUE(notifier.notices.empty());
}

TEST_F(AroundABatch, NoticeFollowsTheSettingAndOffersNoFolderWithoutAnOutput) {
    jobs.rows = {job("a.mp3")};
    notify = false;
    ASSERT_TRUE(runner.beginBatch());
    runTo({RunResult::Good});
    EXPECT_TRUE(notifier.notices.empty());
    EXPECT_FALSE(sleep.holding());

    notify = true;  // changed during the next batch: the setting at its end counts
    jobs.rows = {job("a.mp3")};
    ASSERT_TRUE(runner.beginBatch());
    runTo({RunResult::EncoderFailed});
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0].body, "0 件完了、1 件失敗");
    EXPECT_EQ(notifier.notices[0].actionText, "");

    jobs.rows = {job("a.mp3")};
    ASSERT_TRUE(runner.beginBatch());
    runTo({RunResult::Good});
    EXPECT_EQ(notifier.notices[1].body, "1 件完了");  // the counts of this batch alone
    EXPECT_EQ(notifier.notices[1].folder, dir / "in");
}

// The icon is told again only when what it shows changes; an encoder that
// stops telling keeps the last figure.
TEST(BatchDesktop, LauncherIsToldOnlyOfChanges) {
    FakeLauncherProgress launcher;
    BatchDesktop::Services services;
    services.launcher = &launcher;
    BatchDesktop desktop(std::move(services));  // no lock, no notices: nothing else is needed
    desktop.batchBegun(3);
    for (const double done : {0.421, 0.4249, 0.43}) desktop.batchProgress(done, 3);
    desktop.batchProgress(std::nullopt, 3);
    desktop.batchProgress(std::nullopt, 2);
    desktop.batchProgress(1.7, 1);  // out of range: at most all of it
    desktop.batchEnded({});
    EXPECT_EQ(launcher.shown, (std::vector<std::string>{"0% 3", "42% 3", "43% 3", "43% 2", "100% 1", "clear"}));
}

}  // namespace
}  // namespace qorvane
