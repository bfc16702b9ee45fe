#include "platform/posix/posix_process_launcher.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <thread>

#include <sys/types.h>
#include <unistd.h>

#include "platform/posix/batch_log.h"
#include "support/process_table.h"
#include "support/scoped_env.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

using namespace std::chrono_literals;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::Eventually;
using testing::Exists;
using testing::IsAlive;
using testing::LiveMembers;
using testing::OurZombies;
using testing::ReadPid;
using testing::ScopedEnv;
using testing::SmallDisk;
using WaitResult = RunningProcess::WaitResult;

LaunchRequest Shell(const TempDir& dir, const std::string& script) {
    LaunchRequest request;
    request.program = "/bin/sh";
    request.arguments = {"sh", "-c", script};
    request.workingDirectory = dir.path();
    return request;
}

TEST(PosixProcessLauncher, WaitReturnsWhenTheChildExitsNotAtTheTimeout) {
    TempDir dir;
    PosixProcessLauncher launcher;
    auto process = launcher.start(Shell(dir, "exit 0"));
    ASSERT_NE(process, nullptr);
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(process->waitFor(5000ms), WaitResult::Exited);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 2500ms);
    EXPECT_EQ(process->waitFor(0ms), WaitResult::Exited);  // asking again is harmless
}

TEST(PosixProcessLauncher, WaitTimesOutWhileTheChildRunsAndTerminateReapsIt) {
    TempDir dir;
    PosixProcessLauncher launcher;
    auto process = launcher.start(Shell(dir, "echo $$ > pid; exec sleep 30"));
    ASSERT_NE(process, nullptr);
    const pid_t pid = ReadPid(dir / "pid");
    EXPECT_EQ(process->waitFor(50ms), WaitResult::TimedOut);
    EXPECT_TRUE(IsAlive(pid));
    process->terminate();
    EXPECT_FALSE(Exists(pid));  // ended and reaped: no zombie
    EXPECT_EQ(process->waitFor(0ms), WaitResult::Exited);
}

TEST(PosixProcessLauncher, RunsInTheWorkingDirectoryWithStdinFromDevNull) {
    TempDir dir;
    std::filesystem::create_directory(dir / "out dir");
    PosixProcessLauncher launcher;
    auto process = launcher.start(
        Shell(dir, "pwd -P > where; if read line; then echo got; else echo eof; fi > stdin"));
    ASSERT_NE(process, nullptr);
    ASSERT_EQ(process->waitFor(10s), WaitResult::Exited);
    EXPECT_EQ(ReadFileBytes(dir / "where"), std::filesystem::canonical(dir.path()).string() + "\n");
    EXPECT_EQ(ReadFileBytes(dir / "stdin"), "eof\n");

    auto request = Shell(dir, "pwd -P > ../where2");
    request.workingDirectory = dir / "out dir";
    process = launcher.start(request);
    ASSERT_NE(process, nullptr);
    ASSERT_EQ(process->waitFor(10s), WaitResult::Exited);
    EXPECT_EQ(ReadFileBytes(dir / "where2"),
              std::filesystem::canonical(dir / "out dir").string() + "\n");
}

TEST(PosixProcessLauncher, TheRequestsVariablesGoOverTheProgramsOwn) {
    TempDir dir;
    ::setenv("QORVANE_TEST_KEPT", "kept", 1);
    ::setenv("QORVANE_TEST_SET", "before", 1);
    auto request = Shell(dir, "echo \"$QORVANE_TEST_KEPT $QORVANE_TEST_SET\" > env");
    request.environment = {"QORVANE_TEST_SET=after"};
    PosixProcessLauncher launcher;
    auto process = launcher.start(request);
    ::unsetenv("QORVANE_TEST_KEPT");
    ::unsetenv("QORVANE_TEST_SET");
    ASSERT_NE(process, nullptr);
    ASSERT_EQ(process->waitFor(10s), WaitResult::Exited);
    EXPECT_EQ(ReadFileBytes(dir / "env"), "kept after\n");
}

TEST(PosixProcessLauncher, PassesArgumentsLiterallyWithoutAShell) {
    TempDir dir;
    LaunchRequest request;
    request.program = "/usr/bin/printf";
    request.arguments = {"printf-as-named", "<%s>\\n", "two words", "\"quoted\"", "$(touch pwned)",
                      "*", "back\\slash", ""};
    request.workingDirectory = dir.path();
    request.logFile = dir / "log";
    request.keepFullOutput = true;
    PosixProcessLauncher launcher;
    auto process = launcher.start(request);
    ASSERT_NE(process, nullptr);
    ASSERT_EQ(process->waitFor(10s), WaitResult::Exited);
    const auto log = ReadFileBytes(dir / "log");
    EXPECT_NE(log.find("<two words>\n<\"quoted\">\n<$(touch pwned)>\n<*>\n<back\\slash>\n<>\n"),
              std::string::npos)
        << log;
    EXPECT_FALSE(std::filesystem::exists(dir / "pwned"));
}

TEST(PosixProcessLauncher, ArgvZeroComesFromTheArgumentList) {
    TempDir dir;
    PosixProcessLauncher launcher;
    auto request = Shell(dir, "echo \"$0\" > name");
    request.arguments = {"cscript.exe", "-c", "echo \"$0\" > name"};
    auto process = launcher.start(request);
    ASSERT_NE(process, nullptr);
    ASSERT_EQ(process->waitFor(10s), WaitResult::Exited);
    EXPECT_EQ(ReadFileBytes(dir / "name"), "cscript.exe\n");
}

TEST(PosixProcessLauncher, DoesNotHandOpenDescriptorsToTheChild) {
    TempDir dir;
    PosixProcessLauncher launcher;
    auto process = launcher.start(Shell(dir, "ls /proc/self/fd > fds"));
    ASSERT_NE(process, nullptr);
    ASSERT_EQ(process->waitFor(10s), WaitResult::Exited);
    // ls sees 0-2 and the descriptor of the directory it is listing.
    std::istringstream fds(ReadFileBytes(dir / "fds"));
    int count = 0;
    for (std::string fd; fds >> fd;) ++count;
    EXPECT_LE(count, 4) << ReadFileBytes(dir / "fds");
}

TEST(PosixProcessLauncher, TerminateEndsTheChildAndEverythingItStarted) {
    TempDir dir;
    PosixProcessLauncher launcher;
    auto process = launcher.start(Shell(dir, "sleep 30 & echo $! > grandchild; echo $$ > pid; sleep 30"));
    ASSERT_NE(process, nullptr);
    const pid_t group = ReadPid(dir / "pid");
    const pid_t grandchild = ReadPid(dir / "grandchild");
    ASSERT_TRUE(IsAlive(grandchild));
    EXPECT_EQ(::getpgid(grandchild), group);  // the child leads a group of its own
    EXPECT_NE(group, ::getpgrp());

    process->terminate();
    EXPECT_FALSE(Exists(group));  // the leader is reaped before terminate returns
    EXPECT_TRUE(OurZombies().empty());
    // SIGKILL takes effect when the target next runs: allow for a busy machine.
    EXPECT_TRUE(Eventually([&] { return LiveMembers(group).empty(); }));
    EXPECT_FALSE(IsAlive(grandchild));
}

TEST(PosixProcessLauncher, TerminateKillsAGroupThatIgnoresSigterm) {
    TempDir dir;
    PosixProcessLauncher launcher;
    // An ignored signal stays ignored in the children, too.
    auto process = launcher.start(
        Shell(dir, "trap '' TERM; sleep 30 & echo $! > grandchild; echo $$ > pid; sleep 30"));
    ASSERT_NE(process, nullptr);
    const pid_t group = ReadPid(dir / "pid");
    const pid_t grandchild = ReadPid(dir / "grandchild");
    process->terminate();
    EXPECT_FALSE(Exists(group));
    EXPECT_TRUE(OurZombies().empty());
    EXPECT_TRUE(Eventually([&] { return LiveMembers(group).empty(); }));
    EXPECT_FALSE(IsAlive(grandchild));
}

TEST(PosixProcessLauncher, NothingOfTheGroupOutlivesTheEndOfItsLeader) {
    TempDir dir;
    PosixProcessLauncher launcher;
    // Exits 0, leaving behind a child that would write the output later.
    auto process = launcher.start(
        Shell(dir, "echo $$ > pid; (sleep 1; echo late > out.wma) & echo $! > child; exit 0"));
    ASSERT_NE(process, nullptr);
    ASSERT_EQ(process->waitFor(10s), WaitResult::Exited);
    EXPECT_EQ(process->end(), (ProcessEnd{ProcessEnd::Kind::Exited, 0}));
    pid_t group = ReadPid(dir / "pid");
    pid_t child = ReadPid(dir / "child");
    EXPECT_TRUE(LiveMembers(group).empty());
    EXPECT_FALSE(IsAlive(child));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.wma"));

    // Killed by a signal, leaving its child (an ffmpeg, say) at work.
    process = launcher.start(Shell(dir, "sleep 30 & echo $! > child2; echo $$ > pid2; kill -KILL $$"));
    ASSERT_NE(process, nullptr);
    ASSERT_EQ(process->waitFor(10s), WaitResult::Exited);
    EXPECT_EQ(process->end(), (ProcessEnd{ProcessEnd::Kind::Killed, SIGKILL}));
    group = ReadPid(dir / "pid2");
    child = ReadPid(dir / "child2");
    EXPECT_TRUE(LiveMembers(group).empty());
    EXPECT_FALSE(IsAlive(child));
}

TEST(PosixProcessLauncher, ADroppedHandleLeavesTheChildRunningButReapsItLater) {
    TempDir dir;
    PosixProcessLauncher launcher;
    auto process = launcher.start(
        Shell(dir, "echo $$ > pid; while [ ! -e go ]; do sleep 0.01; done"));
    ASSERT_NE(process, nullptr);
    const pid_t pid = ReadPid(dir / "pid");
    process.reset();
    EXPECT_TRUE(IsAlive(pid));
    dir.write("go", "");
    EXPECT_TRUE(Eventually([&] { return !Exists(pid); }));
}

TEST(PosixProcessLauncher, AChildThatCannotStartGivesNothingAndLeavesNoZombie) {
    TempDir dir;
    const auto notExecutable = dir.write("script.sh", "#!/bin/sh\nexit 0\n");
    PosixProcessLauncher launcher;

    LaunchRequest missing;
    missing.program = dir / "no-such-program";
    missing.arguments = {"no-such-program"};
    missing.logFile = dir / "log";
    EXPECT_EQ(launcher.start(missing), nullptr);

    LaunchRequest plainFile = missing;
    plainFile.program = notExecutable;
    EXPECT_EQ(launcher.start(plainFile), nullptr);

    auto noDirectory = Shell(dir, "exit 0");
    noDirectory.workingDirectory = dir / "missing-dir";
    EXPECT_EQ(launcher.start(noDirectory), nullptr);

    EXPECT_TRUE(OurZombies().empty());
    const auto log = ReadFileBytes(dir / "log");
    EXPECT_NE(log.find("could not start"), std::string::npos) << log;
}

TEST(PosixProcessLauncher, AppendsHeaderOutputAndEndOfEachRunToTheLog) {
    TempDir dir;
    PosixProcessLauncher launcher;
    for (const char* word : {"first", "second"}) {
        auto request = Shell(dir, std::string("echo out-") + word + "; echo err-" + word + " >&2; exit 3");
        request.logFile = dir / "logs" / "encoder.log";  // the directory is made on the way
        request.logHeader = std::string("header-") + word;
        auto process = launcher.start(request);
        ASSERT_NE(process, nullptr);
        ASSERT_EQ(process->waitFor(10s), WaitResult::Exited);
    }
    const auto log = ReadFileBytes(dir / "logs" / "encoder.log");
    const auto first = log.find("header-first\n");
    const auto second = log.find("header-second\n");
    ASSERT_NE(first, std::string::npos) << log;
    ASSERT_NE(second, std::string::npos) << log;
    EXPECT_LT(first, second);
    EXPECT_EQ(log.rfind("==== ", first), 0u);  // a time stamp line opens each run
    for (const std::string text : {"out-first\nerr-first\n", "out-second\nerr-second\n"}) {
        // Introduced by its process, which the end line names too, so that
        // runs going at the same time can be told apart.
        const auto at = log.find(text);
        ASSERT_NE(at, std::string::npos) << log;
        const auto intro = log.rfind("-- output of process ", at);
        ASSERT_NE(intro, std::string::npos) << log;
        const std::string pid = log.substr(intro + 21, log.find(':', intro) - intro - 21);
        EXPECT_EQ(log.substr(intro, at - intro), "-- output of process " + pid + ":\n");
        EXPECT_EQ(log.find("-- process " + pid + " exited with code 3\n", at), at + text.size()) << log;
    }
    EXPECT_NE(log.find("exited with code 3\n", second), std::string::npos) << log;
}

TEST(PosixProcessLauncher, KeepsOnlyTheEndOfTheOutputOrInDebugModeItsHeadAndTail) {
    TempDir dir;
    PosixProcessLauncher launcher;
    const auto run = [&](const char* count, bool debug) {
        LaunchRequest request;
        request.program = "/usr/bin/seq";
        request.arguments = {"seq", count};
        request.workingDirectory = dir.path();
        request.logFile = dir / (std::string(count) + (debug ? "-debug.log" : ".log"));
        request.keepFullOutput = debug;
        auto process = launcher.start(request);
        EXPECT_TRUE(process && process->waitFor(30s) == WaitResult::Exited);
        return ReadFileBytes(request.logFile);
    };
    const auto plain = run("100000", false);  // about 580 KB
    EXPECT_LT(plain.size(), kBatchLogTailBytes + 1024);
    EXPECT_NE(plain.find("bytes of earlier output left out"), std::string::npos);
    EXPECT_NE(plain.find("\n99999\n100000\n"), std::string::npos);
    EXPECT_EQ(plain.find("\n12345\n"), std::string::npos);

    const auto debug = run("100000", true);
    EXPECT_NE(debug.find("\n1\n2\n3\n"), std::string::npos);
    EXPECT_NE(debug.find("\n99999\n100000\n"), std::string::npos);
    EXPECT_GT(debug.size(), 580000u);
    EXPECT_EQ(debug.find("left out"), std::string::npos);

    // An output without end is cut in its middle, in debug mode too.
    const auto capped = run("1000000", true);  // about 6.9 MB
    EXPECT_LT(capped.size(), kBatchLogDebugHeadBytes + kBatchLogDebugTailBytes + 1024);
    EXPECT_NE(capped.find("\n1\n2\n3\n"), std::string::npos);
    EXPECT_NE(capped.find("bytes of output left out ...]\n"), std::string::npos);
    EXPECT_NE(capped.find("\n999999\n1000000\n"), std::string::npos);
}

TEST(PosixProcessLauncher, AFloodingRunNeedsNoTemporarySpaceAndKeepsItsLastLine) {
    TempDir dir;
    SmallDisk tmp(dir / "tmp", "1m");
    if (!tmp.mounted()) GTEST_SKIP() << "mounting a small temporary folder needs root; KeptOutput's tests cover the bound";
    ScopedEnv tmpdir("TMPDIR", (dir / "tmp").c_str());
    auto request = Shell(dir, "yes flooding | head -c 10000000; echo; echo 'reason: out of cheese' >&2; exit 1");
    request.logFile = dir / "encoder.log";
    PosixProcessLauncher launcher;
    auto process = launcher.start(request);
    ASSERT_NE(process, nullptr);
    ASSERT_EQ(process->waitFor(60s), WaitResult::Exited);
    const auto log = ReadFileBytes(dir / "encoder.log");
    EXPECT_LT(log.size(), kBatchLogTailBytes + 1024);
    EXPECT_NE(log.find("\nreason: out of cheese\n-- process "), std::string::npos) << log.substr(0, 500);
}

// Where `record` is whole: in the log or the one moved aside.
bool LoggedWhole(const std::filesystem::path& log, const std::string& record) {
    auto older = log;
    older += ".1";
    return ReadFileBytes(log).find(record) != std::string::npos ||
           ReadFileBytes(older).find(record) != std::string::npos;
}

TEST(PosixProcessLauncher, EachRunIsOneRecordInOneFileHoweverTheLogRotates) {
    TempDir dir;
    const auto log = dir / "encoder.log";
    PosixProcessLauncher launcher;
    const auto request = [&](const std::string& name, const std::string& script) {
        auto result = Shell(dir, "echo $$ > " + name + ".pid; echo " + name + "-output; " + script);
        result.logFile = log;
        result.logHeader = name;
        return result;
    };
    const auto record = [&](const std::string& name) {
        const std::string pid = std::to_string(ReadPid(dir / (name + ".pid")));
        return name + "\n-- process " + pid + " started\n-- output of process " + pid + ":\n" + name +
               "-output\n-- process " + pid + " exited with code 0\n";
    };
    auto longRun = launcher.start(request("long", "while [ ! -e go ]; do sleep 0.01; done"));
    ASSERT_NE(longRun, nullptr);
    // Meanwhile the log grows past its limit twice, and two more runs go.
    for (const std::string name : {"short1", "short2"}) {
        std::ofstream(log, std::ios::app) << std::string(kBatchLogRotateBytes, 'x') << '\n';
        auto process = launcher.start(request(name, "exit 0"));
        ASSERT_NE(process, nullptr);
        ASSERT_EQ(process->waitFor(10s), WaitResult::Exited);
    }
    dir.write("go", "");
    ASSERT_EQ(longRun->waitFor(10s), WaitResult::Exited);
    for (const std::string name : {"long", "short1", "short2"}) {
        EXPECT_TRUE(LoggedWhole(log, record(name))) << name;
    }
}

TEST(PosixProcessLauncher, HandsOverEachLineWhileTheChildRunsAndNeverBlocksIt) {
    TempDir dir;
    PosixProcessLauncher launcher;
    std::vector<std::string> lines;
    auto request = Shell(dir, "echo one; echo two >&2; printf 'three\\rfour\\n'; "
                              "while [ ! -e go ]; do sleep 0.01; done; echo last");
    request.onOutputLine = [&lines](std::string_view line) { lines.emplace_back(line); };
    auto process = launcher.start(request);
    ASSERT_NE(process, nullptr);
    for (int step = 0; step < 500 && lines.size() < 4; ++step) {
        ASSERT_EQ(process->waitFor(20ms), WaitResult::TimedOut);  // still waiting for "go"
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "four"}));
    std::ofstream(dir / "go").put('x');
    ASSERT_EQ(process->waitFor(10s), WaitResult::Exited);
    EXPECT_EQ(lines.back(), "last");

    // A child that prints without pause: the wait still comes back to its
    // caller (to look at an abort) and the child can be ended.
    std::size_t flooded = 0;
    request = Shell(dir, "exec yes");
    request.onOutputLine = [&flooded](std::string_view) { ++flooded; };
    process = launcher.start(request);
    ASSERT_NE(process, nullptr);
    for (int step = 0; step < 500 && flooded == 0; ++step) {
        ASSERT_EQ(process->waitFor(20ms), WaitResult::TimedOut);
    }
    for (int step = 0; step < 3; ++step) EXPECT_EQ(process->waitFor(20ms), WaitResult::TimedOut);
    process->terminate();
    EXPECT_EQ(process->end().kind, ProcessEnd::Kind::Killed);
    EXPECT_GT(flooded, 0u);

    // A handle dropped while the child prints a lot: the pipe is still
    // drained, so the child ends and is reaped.
    process = launcher.start(Shell(dir, "echo $$ > flood.pid; seq 1000000"));
    ASSERT_NE(process, nullptr);
    const pid_t pid = ReadPid(dir / "flood.pid");
    process.reset();
    EXPECT_TRUE(Eventually([pid] { return !Exists(pid); }));
}

}  // namespace
}  // namespace qorvane
