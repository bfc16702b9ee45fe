#pragma once
// The batch runner and its encode thread with fakes all round: processes
// that end after a number of wait steps, a job list, a host that records
// what it is told.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "encode/batch_runner.h"
#include "encode/encode_thread.h"
#include "support/batch_fakes.h"
#include "support/temp_dir.h"

namespace qorvane::testing {

struct FakeLauncher;

// A process that ends after a number of wait steps (never, with -1) with an
// exit status; ending with status 0 it writes its output file, as an encoder
// does, unless told not to. Waited for on a waiter thread of its own.
// While paused it gets no further; ending it continues it first, as the
// real launcher does.
struct FakeProcess : RunningProcess {
    FakeProcess(FakeLauncher& l, LaunchRequest r);
    FakeLauncher& launcher;
    LaunchRequest request;
    int stepsLeft;
    int exitCode;
    bool writesOutput;
    ProcessEnd ended;
    std::atomic<bool> paused{false};
    WaitResult waitFor(std::chrono::milliseconds) override;
    void terminate() override;
    ProcessEnd end() const override { return ended; }
    void pause() override;
    void resume() override;
};

struct FakeLauncher : ProcessLauncher {
    std::vector<LaunchRequest> started;
    int steps = 0;
    int exitCode = 0;
    bool writesOutput = true;
    std::atomic<bool> hold{false};  // while set, no process ends by itself
    std::atomic<int> terminated{0};
    std::atomic<int> alive{0};
    std::atomic<int> mostAlive{0};
    std::atomic<int> paused{0};  // processes paused now
    std::function<void()> onStart;
    std::function<void()> onExit;
    std::vector<std::string> logged;  // "LOG FILE NAME: line"
    std::unique_ptr<RunningProcess> start(const LaunchRequest& request) override {
        started.push_back(request);
        if (onStart) onStart();
        mostAlive = std::max(mostAlive.load(), ++alive);
        return std::make_unique<FakeProcess>(*this, request);
    }
    void logLine(const std::filesystem::path& logFile, const std::string& line) override {
        logged.push_back(logFile.filename().string() + ": " + line);
    }
};

inline FakeProcess::FakeProcess(FakeLauncher& l, LaunchRequest r)
    : launcher(l), request(std::move(r)), stepsLeft(l.steps), exitCode(l.exitCode), writesOutput(l.writesOutput) {}

inline RunningProcess::WaitResult FakeProcess::waitFor(std::chrono::milliseconds) {
    if (launcher.hold || paused) return WaitResult::TimedOut;
    if (stepsLeft > 0) --stepsLeft;
    if (stepsLeft != 0) return WaitResult::TimedOut;
    if (writesOutput && exitCode == 0) std::ofstream(request.workingDirectory / request.arguments[5]) << "asf";
    if (ended.kind == ProcessEnd::Kind::Running) --launcher.alive;
    ended = {ProcessEnd::Kind::Exited, exitCode};
    if (launcher.onExit) launcher.onExit();
    return WaitResult::Exited;
}

inline void FakeProcess::terminate() {
    ++launcher.terminated;
    resume();
    // One with no steps left had finished its work before it was ended.
    if (stepsLeft == 0) {
        waitFor(std::chrono::milliseconds(0));
    } else {
        --launcher.alive;
        ended = {ProcessEnd::Kind::Killed, 15};
    }
}

inline void FakeProcess::pause() {
    if (!paused.exchange(true)) ++launcher.paused;
}

inline void FakeProcess::resume() {
    if (paused.exchange(false)) --launcher.paused;
}

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
    // Runs each main-thread step where it is asked for, noting the thread and
    // whether it began while another was still going.
    struct StepInvoker : MainThreadInvoker {
        std::set<std::thread::id> threads;
        std::atomic<int> inStep{0};
        std::atomic<int> overlaps{0};
        void invoke(const std::function<void()>& step) override {
            if (++inStep > 1) ++overlaps;
            threads.insert(std::this_thread::get_id());
            step();
            --inStep;
        }
    };

    void runBatch() {
        EncodeThread thread(runner(), invoker, launcher, folders, dir / "log.txt",
                            {std::chrono::milliseconds(1), std::chrono::milliseconds(1)});
        thread.setObserver(&observer);
        ASSERT_TRUE(runner().beginBatch());
        thread.start();
        thread.postStart();
        while (thread.busy()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    StepInvoker invoker;
    TempDir dir;
    FakeJobs jobs;
    FakeProgress progress;
    FakeHost host;
    FakeTags tags;
    FakeSounds sounds;
    FakeLauncher launcher;
    FakeOutputFolders folders;
    FakeObserver observer;
    EncoderLocation encoder;
    std::optional<BatchRunner> runner_;
};

}  // namespace qorvane::testing
