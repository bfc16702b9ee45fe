// Pausing a started process with everything it started, and ending it while
// paused.

#include <gtest/gtest.h>

#include <chrono>

#include "platform/posix/posix_process_launcher.h"
#include "support/process_table.h"
#include "support/temp_dir.h"

namespace qorvane::testing {
namespace {

using namespace std::chrono_literals;

char StateOf(pid_t pid) {
    for (const ProcStat& process : AllProcesses()) {
        if (process.pid == pid) return process.state;
    }
    return '?';
}

TEST(PosixProcessPause, PauseStopsTheGroupAndAPausedProcessStillEndsInOrder) {
    TempDir dir;
    LaunchRequest request;
    request.program = "/bin/sh";
    // It answers SIGTERM by noting it: an end in order, not by SIGKILL.
    request.arguments = {"sh", "-c", "trap 'echo term > got; exit 0' TERM; sleep 30 & echo $! > helper; "
                                     "echo $$ > pid.tmp; mv pid.tmp pid; wait"};
    request.workingDirectory = dir.path();
    PosixProcessLauncher launcher;
    auto process = launcher.start(request);
    ASSERT_NE(process, nullptr);
    const pid_t shell = ReadPid(dir / "pid");
    const pid_t helper = ReadPid(dir / "helper");
    ASSERT_NE(helper, 0);

    process->pause();
    EXPECT_TRUE(Eventually([&] { return StateOf(shell) == 'T' && StateOf(helper) == 'T'; }));
    process->resume();
    EXPECT_TRUE(Eventually([&] { return StateOf(shell) != 'T' && StateOf(helper) != 'T'; }));

    process->pause();
    ASSERT_TRUE(Eventually([&] { return StateOf(shell) == 'T'; }));
    process->terminate();
    EXPECT_EQ(ReadFileBytes(dir / "got"), "term\n");
    EXPECT_EQ(process->end(), (ProcessEnd{ProcessEnd::Kind::Exited, 0}));
    EXPECT_TRUE(LiveMembers(shell).empty());
    process->pause();  // ended: nothing to stop, and no one else's group
}

}  // namespace
}  // namespace qorvane::testing
