// The batch runner and its encode thread with real processes: the POSIX
// launcher starts a small script in place of the script host, and the rest
// of the front end is faked. Waits use the real one-second step.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "encode/batch_runner.h"
#include "encode/encode_thread.h"
#include "platform/posix/posix_output_folders.h"
#include "platform/posix/posix_process_launcher.h"
#include "support/batch_fakes.h"
#include "support/media_tools.h"
#include "support/media_probe.h"
#include "support/process_table.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace qorvane::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Strings = std::vector<std::string>;

class BatchWithRealProcesses : public ::testing::Test {
protected:
    BatchWithRealProcesses() {
        fs::create_directory(dir_ / "Profile");  // empty: every job runs with the defaults
        encoder_.scriptPath = (dir_ / "wmcmd.vbs").string();
        for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
            const fs::path input = dir_.write(std::string("in/") + name, "x");
            jobs_.rows.push_back({name, "p", std::string("T-") + name, "", "", "", "", input.string(),
                                  (dir_ / "out").string()});
        }
    }

    // The script that stands in for the script host; it runs in the output folder.
    void UseScriptHost(const std::string& body) {
        encoder_.cscriptPath = dir_.write("host.sh", "#!/bin/sh\n" + body);
        fs::permissions(encoder_.cscriptPath, fs::perms::owner_all);
    }

    BatchRunner& Runner() {
        if (!runner_) {
            runner_ = std::make_unique<BatchRunner>(
                BatchRunner::Services{jobs_, progress_, host_, tags_, sounds_}, encoder_, dir_ / "Profile");
        }
        return *runner_;
    }

    // Starts the batch on a thread of its own, as the convert command does;
    // with another launcher and a live status when given.
    void StartBatch(ProcessLauncher* launcher = nullptr, LiveRunStatus* live = nullptr) {
        ASSERT_TRUE(Runner().beginBatch());
        thread_ = std::make_unique<EncodeThread>(Runner(), invoker_, launcher ? *launcher : launcher_,
                                                 outputFolders_, dir_ / "batch.log");
        thread_->setLiveStatus(live);
        thread_->start();
        thread_->postStart();
    }

    // Waits for the batch to end (or stop), then for the thread.
    void FinishBatch() {
        EXPECT_TRUE(Eventually([&] { return !thread_->busy(); }));
        thread_->requestTermination();
        thread_->join();
    }

    Strings RemainingRows() const {
        Strings names;
        for (const EncodeJob& job : jobs_.rows) names.push_back(job.File);
        return names;
    }

    TempDir dir_;
    FakeJobs jobs_;
    FakeProgress progress_;
    FakeHost host_;
    FakeTags tags_;
    FakeSounds sounds_;
    PosixProcessLauncher launcher_;
    PosixOutputFolders outputFolders_;
    DirectInvoker invoker_;
    EncoderLocation encoder_;
    std::unique_ptr<BatchRunner> runner_;
    std::unique_ptr<EncodeThread> thread_;
};

TEST_F(BatchWithRealProcesses, AbortEndsTheEncoderAndItsChildrenAndKeepsTheRestOfTheList) {
    // An encoder that starts a helper of its own and never ends by itself.
    UseScriptHost(
        "sleep 30 &\n"
        "echo $! > grandchild.pid\n"
        "echo $$ > encoder.tmp && mv encoder.tmp encoder.pid\n"
        "exec sleep 30\n");
    host_.settings = {true, true, true, "job.wav", "done.wav"};
    StartBatch();

    const pid_t encoder = ReadPid(dir_ / "out" / "encoder.pid");
    const pid_t grandchild = ReadPid(dir_ / "out" / "grandchild.pid");
    ASSERT_NE(encoder, 0);
    ASSERT_TRUE(IsAlive(grandchild));
    EXPECT_EQ(::getpgid(grandchild), encoder);  // the encoder leads a group of its own

    const auto asked = Clock::now();
    Runner().requestAbort();
    // The group is ended at the next look at the flag, its leader reaped
    // at once; the orphaned helper may stay a zombie where init does not reap.
    ASSERT_TRUE(Eventually([&] { return !Exists(encoder) && LiveMembers(encoder).empty(); }));
    const double seconds = std::chrono::duration<double>(Clock::now() - asked).count();
    RecordProperty("abort_seconds", std::to_string(seconds));
    std::printf("encoder group gone %.3f s after the abort\n", seconds);
    EXPECT_LT(seconds, 2.5);  // a look at the flag and the signal; the script itself would take 30 s
    EXPECT_FALSE(IsAlive(grandchild));
    EXPECT_TRUE(OurZombies().empty());

    FinishBatch();
    EXPECT_EQ(RemainingRows(), (Strings{"a.wav", "b.wav", "c.wav"}));  // the interrupted job back on top
    EXPECT_FALSE(Runner().state().running);
    EXPECT_GE(progress_.hidden, 1);
    // The interrupted job is finished without tags (it made no file of its
    // own), with the per-job sound.
    EXPECT_TRUE(tags_.calls.empty());
    EXPECT_EQ(sounds_.played, Strings{"job.wav"});
    EXPECT_EQ(host_.shutdowns, 0);
    const std::string log = ReadFileBytes(dir_ / "batch.log");
    EXPECT_NE(log.find("-input \"" + (dir_ / "in" / "a.wav").string() + "\" -output \"a.wma\""), std::string::npos)
        << log;
    EXPECT_NE(log.find("-- process " + std::to_string(encoder) + " ended by signal"), std::string::npos) << log;
}

TEST_F(BatchWithRealProcesses, AbortEndsEveryEncoderGoingAtTheSameTime) {
    // Each encoder writes its pid beside its output and never ends by itself.
    UseScriptHost(
        "echo $$ > \"$5.tmp\" && mv \"$5.tmp\" \"$5.pid\"\n"
        "exec sleep 30\n");
    host_.parallel = 2;
    StartBatch();
    const pid_t first = ReadPid(dir_ / "out" / "a.wma.pid");
    const pid_t second = ReadPid(dir_ / "out" / "b.wma.pid");
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);

    const auto asked = Clock::now();
    Runner().requestAbort();
    ASSERT_TRUE(Eventually([&] {
        return !Exists(first) && !Exists(second) && LiveMembers(first).empty() && LiveMembers(second).empty();
    }));
    const double seconds = std::chrono::duration<double>(Clock::now() - asked).count();
    std::printf("both encoder groups gone %.3f s after the abort\n", seconds);
    EXPECT_LT(seconds, 2.5);
    FinishBatch();
    EXPECT_EQ(RemainingRows(), (Strings{"a.wav", "b.wav", "c.wav"}));
    EXPECT_FALSE(fs::exists(dir_ / "out" / "c.wma.pid"));  // nothing new started
    EXPECT_TRUE(tags_.calls.empty());
    EXPECT_EQ(host_.shutdowns, 0);
    EXPECT_TRUE(OurZombies().empty());
}

TEST_F(BatchWithRealProcesses, ShutdownIsRequestedOnceAfterTheLastJobOfACompleteBatch) {
    // $1 the script, then -input IN -output OUT
    UseScriptHost("echo \"$5\" >> runs.txt && echo asf > \"$5\"\n");
    host_.settings = {true, false, true, "", "done.wav"};
    std::size_t tagsAtShutdown = 0;
    Strings soundsAtShutdown;
    host_.onShutdown = [&] {
        tagsAtShutdown = tags_.calls.size();
        soundsAtShutdown = sounds_.played;
    };
    StartBatch();
    FinishBatch();

    EXPECT_EQ(ReadFileBytes(dir_ / "out" / "runs.txt"), "a.wma\nb.wma\nc.wma\n");
    EXPECT_EQ(host_.shutdowns, 1);
    EXPECT_EQ(tagsAtShutdown, 3u);
    EXPECT_EQ(soundsAtShutdown, Strings{"done.wav"});  // the end-of-batch sound comes first
    EXPECT_TRUE(jobs_.rows.empty());
    EXPECT_TRUE(OurZombies().empty());
}

// Hands every line the encoder prints to the test as well.
struct RecordingLauncher final : ProcessLauncher {
    PosixProcessLauncher real;
    Strings lines;
    std::unique_ptr<RunningProcess> start(const LaunchRequest& request) override {
        LaunchRequest recorded = request;
        recorded.onOutputLine = [this, forward = request.onOutputLine](std::string_view line) {
            lines.emplace_back(line);
            if (forward) forward(line);
        };
        return real.start(recorded);
    }
};

TEST_F(BatchWithRealProcesses, TheRealEncodersProgressReachesTheLiveStatusInOrder) {
    // Three seconds of sound that ffmpeg reads at its own pace (-re), so that
    // the run lasts long enough to report on the way.
    RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=3", "-ac", "2", "long.wav"}, dir_.path());
    const fs::path ffmpeg = dir_.write("ffmpeg-re", "#!/bin/sh\nexec ffmpeg -re \"$@\"\n");
    fs::permissions(ffmpeg, fs::perms::owner_all);
    // For this test only, whatever becomes of it.
    struct FfmpegOverride {
        explicit FfmpegOverride(const char* program) { ::setenv("QORVANE_FFMPEG", program, 1); }
        ~FfmpegOverride() { ::unsetenv("QORVANE_FFMPEG"); }
    } ffmpegOverride(ffmpeg.c_str());
    encoder_ = {std::string(QORVANE_ENCODER_DIR) + "/wmcmd.vbs", std::string(QORVANE_ENCODER_DIR) + "/qorvane-cscript",
                false};
    jobs_.rows = {{"long.wav", "p", "", "", "", "", "", (dir_ / "long.wav").string(), (dir_ / "out").string()}};
    RecordingLauncher launcher;
    LiveRunStatus live;
    StartBatch(&launcher, &live);
    FinishBatch();

    std::vector<double> percents;
    for (const std::string& line : launcher.lines) {
        if (const auto progress = ParseProgressLine(line)) percents.push_back(progress->percent);
    }
    ASSERT_GE(percents.size(), 3u) << ::testing::PrintToString(launcher.lines);
    EXPECT_LT(percents.front(), 50.0);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100.0);
    EXPECT_EQ(launcher.lines.back(), "finished: ok");
    EXPECT_EQ(live.snapshot().progress->percent, 100.0);
    EXPECT_EQ(live.snapshot().position, (RunPosition{1, 1}));
    EXPECT_EQ(tags_.calls.size(), 1u);  // a good run
}

TEST_F(BatchWithRealProcesses, AnEncoderThatPrintsNothingStillCompletesTheBatch) {
    UseScriptHost("echo asf > \"$5\"\n");
    LiveRunStatus live;
    StartBatch(nullptr, &live);
    FinishBatch();
    EXPECT_TRUE(jobs_.rows.empty());
    EXPECT_EQ(tags_.calls.size(), 3u);
    EXPECT_FALSE(live.snapshot().progress);  // activity without a percentage
    EXPECT_EQ(live.snapshot().position, (RunPosition{3, 3}));
}

// The stand-in encoder on a three-second sound that ffmpeg reads at its own
// pace, started by the batch; the encoder's process group once it has
// begun to tell its progress (0 if it did not).
class PausedRealBatch : public BatchWithRealProcesses {
protected:
    PausedRealBatch() { fs::permissions(ffmpeg_, fs::perms::owner_all); }

    pid_t StartTheStandIn() {
        RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=3", "-ac", "2", "long.wav"}, dir_.path());
        dir_.write("tmp/.keep", "");  // the encoder's temporary folder
        encoder_ = {std::string(QORVANE_ENCODER_DIR) + "/wmcmd.vbs",
                    std::string(QORVANE_ENCODER_DIR) + "/qorvane-cscript", false};
        jobs_.rows = {{"long.wav", "p", "", "", "", "", "", (dir_ / "long.wav").string(), (dir_ / "out").string()}};
        fs::create_directory(dir_ / "out");
        StartBatch(nullptr, &live_);
        if (!Eventually([&] { return live_.snapshot().progress.has_value(); })) return 0;
        for (const ProcStat& process : AllProcesses()) {
            if (process.parent == ::getpid() && process.group == process.pid) return process.pid;
        }
        return 0;
    }

    // Every live member of the group is stopped.
    static bool AllStopped(pid_t group) {
        int stopped = 0;
        for (const ProcStat& process : AllProcesses()) {
            if (process.group != group || process.state == 'Z') continue;
            if (process.state != 'T') return false;
            ++stopped;
        }
        return stopped >= 2;  // the stand-in and its ffmpeg
    }

    const fs::path ffmpeg_ = dir_.write("ffmpeg-re", "#!/bin/sh\nexec ffmpeg -re \"$@\"\n");
    ScopedEnv ffmpegOverride_{"QORVANE_FFMPEG", ffmpeg_.c_str()};
    ScopedEnv temp_{"TMPDIR", (dir_ / "tmp").c_str()};
    LiveRunStatus live_;
};

TEST_F(PausedRealBatch, PauseStopsTheWholeEncoderAndItsOutputIsWholeAfterTheResume) {
    const pid_t group = StartTheStandIn();
    ASSERT_NE(group, 0);
    thread_->pauseRuns();
    EXPECT_TRUE(Eventually([&] { return AllStopped(group); }));
    const LiveSnapshot before = live_.snapshot();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const LiveSnapshot after = live_.snapshot();
    EXPECT_TRUE(AllStopped(group));
    EXPECT_EQ(after.progress, before.progress);
    EXPECT_EQ(after.elapsed, before.elapsed);

    thread_->resumeRuns();
    FinishBatch();
    const ProbedMedia media = Probe(dir_ / "out" / "long.wma");
    EXPECT_TRUE(media.readable);
    EXPECT_NEAR(media.duration, 3.0, 0.25);
    EXPECT_EQ(tags_.calls.size(), 1u);  // a good run
}

TEST_F(PausedRealBatch, AnAbortWhilePausedEndsTheEncoderInOrder) {
    const pid_t group = StartTheStandIn();
    ASSERT_NE(group, 0);
    thread_->pauseRuns();
    ASSERT_TRUE(Eventually([&] { return AllStopped(group); }));
    Runner().requestAbort();
    EXPECT_TRUE(Eventually([&] { return LiveMembers(group).empty(); }));
    FinishBatch();
    // It removed what it had begun: it heard the SIGTERM, not only the SIGKILL.
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "tmp"), fs::directory_iterator()), 1);
    EXPECT_EQ(RemainingRows(), Strings{"long.wav"});
    EXPECT_NE(ReadFileBytes(dir_ / "batch.log").find("ended by signal 15"), std::string::npos);
}

}  // namespace
}  // namespace qorvane::testing
