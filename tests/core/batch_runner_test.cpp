#include "encode/batch_runner.h"

#include <gtest/gtest.h>

#include "encode/encode_thread.h"
#include "support/batch_fakes.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::FakeHost;
using testing::FakeJobs;
using testing::FakeObserver;
using testing::FakeProgress;
using testing::FakeSounds;
using testing::FakeTags;
using testing::TempDir;

// A process that ends after a number of wait steps (never, with -1).
struct FakeProcess : RunningProcess {
    int stepsLeft;
    int* terminated;
    FakeProcess(int steps, int* t) : stepsLeft(steps), terminated(t) {}
    WaitResult waitFor(std::chrono::milliseconds) override {
        if (stepsLeft == 0) return WaitResult::Exited;
        if (stepsLeft > 0) --stepsLeft;
        return WaitResult::TimedOut;
    }
    void terminate() override { ++*terminated; }
};

struct FakeLauncher : ProcessLauncher {
    std::vector<LaunchRequest> started;
    int steps = 0;
    int terminated = 0;
    std::function<void()> onStart;
    std::unique_ptr<RunningProcess> start(const LaunchRequest& request) override {
        started.push_back(request);
        if (onStart) onStart();
        return std::make_unique<FakeProcess>(steps, &terminated);
    }
};

class Batch : public ::testing::Test {
protected:
    Batch() {
        std::filesystem::create_directory(dir / "Profile");
        encoder.scriptPath = "/enc/wmcmd.vbs";
        encoder.cscriptPath = "/enc/qorvane-cscript";
    }

    EncodeJob job(const std::string& name, const std::string& profile = "p", std::string outDir = "") {
        const auto path = dir.write("in/" + name, "x");
        return {name, profile, "T-" + name, "A", "B", "2024", "C", path.string(), std::move(outDir)};
    }

    BatchRunner& runner() {
        if (!runner_) {
            runner_.emplace(BatchRunner::Services{jobs, progress, host, tags, sounds}, encoder, dir / "Profile");
        }
        return *runner_;
    }

    // Runs a whole batch through the thread with the given invoker.
    void runBatch() {
        DirectInvoker invoker;
        EncodeThread thread(runner(), invoker, launcher, dir / "log.txt",
                            {std::chrono::milliseconds(1), std::chrono::milliseconds(1)});
        thread.setObserver(&observer);
        ASSERT_TRUE(runner().beginBatch());
        thread.start();
        thread.postStart();
        while (thread.busy()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    TempDir dir;
    FakeJobs jobs;
    FakeProgress progress;
    FakeHost host;
    FakeTags tags;
    FakeSounds sounds;
    FakeLauncher launcher;
    FakeObserver observer;
    EncoderSetup encoder;
    std::optional<BatchRunner> runner_;
};

TEST_F(Batch, ConvertDoesNothingWithAnEmptyListOrWhileRunning) {
    EXPECT_FALSE(runner().beginBatch());
    jobs.rows.push_back(job("a.mp3"));
    runner().state().running = true;
    EXPECT_FALSE(runner().beginBatch());
    runner().state().running = false;
    runner().state().abortRequested = true;
    EXPECT_TRUE(runner().beginBatch());
    EXPECT_FALSE(runner().state().abortRequested);
}

TEST_F(Batch, MultiBitRateVideoJobRunsOncePerRateAndAudioJobOnce) {
    dir.write("Profile/p.wpf", "[video]\nbitrate=300,500\n");
    jobs.rows = {job("clip.avi"), job("song.mp3")};
    host.settings = {false, true, true, "job.wav", "done.wav"};
    runBatch();

    ASSERT_EQ(launcher.started.size(), 3u);
    EXPECT_EQ(launcher.started[0].arguments[5], "clip_v300.wmv");
    EXPECT_EQ(launcher.started[1].arguments[5], "clip_v500.wmv");
    EXPECT_EQ(launcher.started[2].arguments[5], "song.wma");
    EXPECT_NE(launcher.started[0].logHeader.find("-v_bitrate 300000 "), std::string::npos);
    EXPECT_NE(launcher.started[1].logHeader.find("-v_bitrate 500000 "), std::string::npos);
    EXPECT_EQ(launcher.started[0].program, "/enc/qorvane-cscript");
    EXPECT_EQ(launcher.started[0].workingDirectory, dir / "in");
    ASSERT_GE(progress.labels.size(), 3u);
    EXPECT_EQ(progress.labels[0], (std::pair<std::string, std::string>{"[300kbps] clip.avi", "(2) "}));
    EXPECT_EQ(progress.labels[1], (std::pair<std::string, std::string>{"[500kbps] clip.avi", "(2) "}));
    EXPECT_EQ(progress.labels[2], (std::pair<std::string, std::string>{"song.mp3", "(1) "}));
    EXPECT_EQ(tags.calls, (std::vector<std::string>{"plain clip_v300.wmv T-clip.avi",
                                                    "plain clip_v500.wmv T-clip.avi", "mp3 song.wma T-song.mp3"}));
    EXPECT_EQ(sounds.played, (std::vector<std::string>{"job.wav", "job.wav", "job.wav", "done.wav"}));
    EXPECT_EQ(host.shutdowns, 0);
    EXPECT_FALSE(runner().state().running);
    EXPECT_GE(progress.hidden, 1);
}

TEST_F(Batch, MissingInputIsSkippedSilentlyAndShutdownFollowsTheLastJob) {
    jobs.rows = {job("gone.mp3"), job("song.wav")};
    std::filesystem::remove(jobs.rows[0].Path);
    host.settings.shutdn = true;
    runBatch();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].arguments[5], "song.wma");
    EXPECT_TRUE(jobs.rows.empty());
    EXPECT_TRUE(host.warnings.empty());
    EXPECT_EQ(host.shutdowns, 1);
    EXPECT_TRUE(sounds.played.empty());  // sounds are off
    EXPECT_EQ(observer.events, (std::vector<std::string>{"skipped gone.mp3", "finished song.wma"}));
}

TEST_F(Batch, ProfileIsLoadedOncePerBatchAndAfreshInTheNext) {
    const auto wpf = dir.write("Profile/p.wpf", "[audio]\nmode=1\nbitrate=17\n");
    jobs.rows = {job("a.mp3")};
    // The profile changes on disk while the first run encodes.
    launcher.onStart = [&] { dir.write("Profile/p.wpf", "[audio]\nmode=1\nbitrate=21\n"); };
    jobs.rows.push_back(job("b.mp3"));
    runBatch();
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_NE(launcher.started[1].logHeader.find("128_44_2"), std::string::npos);
    jobs.rows = {job("c.mp3")};
    runBatch();
    EXPECT_NE(launcher.started[2].logHeader.find("320_44_2"), std::string::npos);
}

TEST_F(Batch, OutputFolderIsCreatedOrTheJobSkippedWithTheMessage) {
    const auto blocker = dir.write("file-not-folder", "x");
    jobs.rows = {job("a.mp3", "p", (dir / "new/deep").string()), job("b.mp3", "p", (blocker / "sub").string()),
                 job("c.mp3")};
    runBatch();
    EXPECT_TRUE(std::filesystem::is_directory(dir / "new/deep"));
    EXPECT_EQ(host.warnings, std::vector<std::string>{"フォルダを作成できません"});
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(launcher.started[0].workingDirectory, dir / "new/deep");
    EXPECT_EQ(launcher.started[1].arguments[5], "c.wma");
}

TEST_F(Batch, AbortEndsTheEncoderKeepsTheRestAndSkipsTheEndOfBatch) {
    jobs.rows = {job("a.mp3"), job("b.mp3"), job("c.mp3")};
    host.settings = {true, true, true, "job.wav", "done.wav"};
    launcher.steps = -1;  // never ends by itself
    launcher.onStart = [&] { runner().requestAbort(); };
    runBatch();
    EXPECT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.terminated, 1);
    EXPECT_EQ(jobs.rows.size(), 2u);
    EXPECT_EQ(tags.calls.size(), 1u);  // the interrupted job is still finished
    EXPECT_EQ(sounds.played, std::vector<std::string>{"job.wav"});
    EXPECT_EQ(host.shutdowns, 0);
}

TEST_F(Batch, FailingTagSourceDoesNotStopTheBatch) {
    jobs.rows = {job("a.mp3"), job("b.wav")};
    tags.failSource = true;
    runBatch();
    EXPECT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(tags.calls, std::vector<std::string>{"plain b.wma T-b.wav"});
    EXPECT_FALSE(runner().state().running);
}

TEST_F(Batch, MissingScriptHostSkipsEveryRun) {
    encoder.cscriptPath.clear();
    jobs.rows = {job("a.mp3")};
    runBatch();
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_TRUE(tags.calls.empty());
}

}  // namespace
}  // namespace qorvane
