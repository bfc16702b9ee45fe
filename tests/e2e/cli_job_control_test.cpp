// `qorvane-cli encode` as a shell job: Ctrl-Z (SIGTSTP) suspends the batch,
// encoders and all, and SIGCONT (fg) lets it go on; SIGUSR1 stops it once
// the runs going are done. A watch stops with Ctrl-Z too.

#include <signal.h>

#include <filesystem>
#include <thread>

#include "e2e/front_end_fixture.h"
#include "support/media_probe.h"
#include "support/process_table.h"

namespace qorvane::testing {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

char StateOf(pid_t pid) {
    for (const ProcStat& process : AllProcesses()) {
        if (process.pid == pid) return process.state;
    }
    return '?';
}

// Every live member of the group is stopped (at least the stand-in and its ffmpeg).
bool Stopped(pid_t group) {
    const std::vector<pid_t> members = LiveMembers(group);
    for (const pid_t member : members) {
        if (StateOf(member) != 'T') return false;
    }
    return members.size() >= 2;
}

using CliJobControl = FrontEnds;

TEST_F(CliJobControl, CtrlZSuspendsTheEncodersWithTheCliAndFgResumesThem) {
    const fs::path song = Input("song.wav", 2);
    ProgramRun run = Cli({"--out", Out().string(), song.string()});
    run.ownGroup = true;  // a shell job
    const pid_t cli = StartProgram(run);
    const std::vector<pid_t> groups = EncoderGroups(1);
    ASSERT_EQ(groups.size(), 1u);

    ::kill(cli, SIGTSTP);
    EXPECT_TRUE(Eventually([&] { return StateOf(cli) == 'T' && Stopped(groups[0]); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(Stopped(groups[0]));

    ::kill(cli, SIGCONT);
    EXPECT_TRUE(Eventually([&] { return StateOf(groups[0]) != 'T'; }));
    const ProgramResult result = WaitProgram(cli, run);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.output, "encoded: " + song.string() + " -> " + Out("song.wma").string() + "\n");
    const ProbedMedia media = Probe(Out("song.wma"));
    EXPECT_TRUE(media.readable);
    EXPECT_NEAR(media.duration, 2.0, 0.25);
}

TEST_F(CliJobControl, Sigusr1LetsTheRunGoingFinishAndListsTheRestAsNotDone) {
    const fs::path first = Input("first.wav", 1);
    const fs::path second = Input("second.wav", 1);
    const fs::path third = Input("third.wav", 1);
    const ProgramRun run = Cli({"--out", Out().string(), first.string(), second.string(), third.string()});
    const pid_t cli = StartProgram(run);
    ASSERT_EQ(EncoderGroups(1).size(), 1u);
    ::kill(cli, SIGUSR1);
    const ProgramResult result = WaitProgram(cli, run);
    EXPECT_EQ(result.exitCode, 3) << result.errors;
    EXPECT_EQ(result.output, "encoded: " + first.string() + " -> " + Out("first.wma").string() + "\n" +
                                 "not done: " + second.string() + "\n" + "not done: " + third.string() + "\n");
    EXPECT_EQ(Listing(Out()), Names{"first.wma"});
}

TEST_F(CliJobControl, CtrlZSuspendsAWatchWithItsEncodersAndBetweenBatches) {
    const fs::path song = Input("song.wav", 2);
    const fs::path base = song.parent_path().parent_path();
    const fs::path watched = base / "watched";
    fs::create_directories(watched);
    ProgramRun run = Cli({"--out", Out().string(), "--settle", "1", watched.string()});
    run.argv[1] = "watch";
    run.environment["XDG_STATE_HOME"] = (base / "state").string();
    run.ownGroup = true;  // a shell job
    const pid_t cli = StartProgram(run);
    fs::rename(song, watched / "song.wav");
    const std::vector<pid_t> groups = EncoderGroups(1);
    ASSERT_EQ(groups.size(), 1u);

    ::kill(cli, SIGTSTP);
    EXPECT_TRUE(Eventually([&] { return StateOf(cli) == 'T' && Stopped(groups[0]); }));
    ::kill(cli, SIGCONT);
    EXPECT_TRUE(Eventually([&] { return fs::exists(Out("song.wma")) && LiveMembers(groups[0]).empty(); }));

    // Waiting for files, it stops as any shell job does.
    ::kill(cli, SIGTSTP);
    EXPECT_TRUE(Eventually([&] { return StateOf(cli) == 'T'; }));
    ::kill(cli, SIGCONT);
    EXPECT_TRUE(Eventually([&] { return StateOf(cli) != 'T'; }));
    ::kill(cli, SIGTERM);
    const ProgramResult result = WaitProgram(cli, run);
    EXPECT_EQ(result.exitCode, 128 + SIGTERM) << result.errors;
    EXPECT_NE(result.output.find("encoded: " + (watched / "song.wav").string()), std::string::npos);
    EXPECT_NEAR(Probe(Out("song.wma")).duration, 2.0, 0.25);
}

}  // namespace
}  // namespace qorvane::testing
