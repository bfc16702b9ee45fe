// A front end killed outright (SIGKILL, as a crash ends it) while two runs
// go: no encoder of its runs outlives it by more than a second, and nothing
// of what they had begun stays behind. The window offers the jobs again at
// its next start and encodes each once.

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "e2e/front_end_fixture.h"
#include "support/process_table.h"

namespace qorvane::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Names = std::vector<std::string>;

class KilledFrontEnd : public FrontEnds {
protected:
    // Kills the front end once both its encoders are writing; true when no
    // process of theirs is alive a second later.
    bool KillAndWatchEncoders(const ProgramRun& run) {
        const pid_t frontEnd = StartProgram(run);
        const std::vector<pid_t> groups = EncoderGroups(2);
        ::kill(frontEnd, SIGKILL);
        WaitProgram(frontEnd, run);
        if (groups.empty()) {
            ADD_FAILURE() << "the encoders did not start: " << ReadFileBytes(dir_ / "front-end.err");
            return false;
        }
        const auto gone = [&] { return LiveMembers(groups[0]).empty() && LiveMembers(groups[1]).empty(); };
        const auto deadline = Clock::now() + std::chrono::seconds(1);
        while (!gone() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const bool ended = gone();
        for (const pid_t group : groups) {
            if (!LiveMembers(group).empty()) ::kill(-group, SIGKILL);  // not left to the next test
        }
        return ended;
    }
};

TEST_F(KilledFrontEnd, TheCliTakesItsEncodersAndTheirWorkFilesWithIt) {
    const fs::path first = Input("first.wav", 30);
    const fs::path second = Input("second.wav", 30);
    EXPECT_TRUE(KillAndWatchEncoders(Cli({"--jobs", "2", "--out", Out().string(), first.string(), second.string()})));
    EXPECT_EQ(Listing(Out()), Names{});
    EXPECT_EQ(Listing(Temp()), Names{});  // the encoders' pass statistics
}

#ifdef QORVANE_PROGRAM_PATH
TEST_F(KilledFrontEnd, TheWindowTakesItsEncodersWithItAndItsNextStartEncodesEachJobOnce) {
    const fs::path first = Input("first.wav", 30);
    const fs::path second = Input("second.wav", 30);
    EXPECT_TRUE(KillAndWatchEncoders(Window({first, second}, 2)));
    EXPECT_EQ(Listing(Out()), Names{});
    EXPECT_EQ(Listing(Temp()), Names{});

    // The next start offers both jobs back (answered yes) and runs them with
    // ffmpeg at full speed.
    ProgramRun again = Window({}, 2);
    again.environment.erase("QORVANE_FFMPEG");
    const ProgramResult result = RunProgram(again);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_NE(result.output.find("rows: 2\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("rows left: 0\n"), std::string::npos) << result.output;
    EXPECT_EQ(Listing(Out()), (Names{"first.wma", "second.wma"}));
}
#endif

}  // namespace
}  // namespace qorvane::testing
