// abort_bench: how long an abort takes with real processes.
//
// The batch runner and its encode thread start the stand-in encoder (the
// built qorvane-cscript and ffmpeg) on a long WAV file; ffmpeg is told to
// read its input at its native rate (-re, through QORVANE_FFMPEG), so that
// a run lasts long enough to be interrupted. After a random moment of the
// run the abort is requested, as the dialog's button does,
// and the time until no live process of the encoder's process group is left
// is measured. Also checked per abort: no output file, no temporary file
// left in the output folder, the interrupted job back on top of the rows
// behind, no end-of-batch sound, the group gone within 1.1 s, and no process
// of the run left anywhere.
//
// Usage: abort_bench [ABORTS]   (default 20). Needs ffmpeg on PATH.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "encode/batch_runner.h"
#include "encode/encode_thread.h"
#include "platform/posix/posix_output_folders.h"
#include "platform/posix/posix_process_launcher.h"
#include "support/batch_fakes.h"
#include "support/media_tools.h"
#include "support/process_table.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace qorvane;

// The encoder this process started: its only child.
pid_t EncoderGroup() {
    for (const auto& p : testing::AllProcesses()) {
        if (p.parent == ::getpid() && p.state != 'Z') return p.pid;
    }
    return 0;
}

// True once the encoder's ffmpeg runs (a child of the group leader).
bool EncodingStarted(pid_t leader) {
    for (const auto& p : testing::AllProcesses()) {
        if (p.parent == leader && p.state != 'Z') return true;
    }
    return false;
}

// The most an abort may take, request to the last process of the group gone.
constexpr double kAbortLimitSeconds = 1.1;

// Processes (zombies aside) whose command line or working directory lies in
// `dir`, this one excepted.
std::vector<pid_t> ProcessesIn(const fs::path& dir) {
    std::vector<pid_t> found;
    for (const auto& p : testing::AllProcesses()) {
        if (p.pid == ::getpid() || p.state == 'Z') continue;
        const std::string proc = "/proc/" + std::to_string(p.pid);
        std::ifstream in(proc + "/cmdline", std::ios::binary);
        const std::string cmdline((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::error_code ec;
        const std::string cwd = fs::read_symlink(proc + "/cwd", ec).string();
        if (cmdline.find(dir.string()) != std::string::npos || cwd.starts_with(dir.string())) found.push_back(p.pid);
    }
    return found;
}

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int aborts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    testing::TempDir dir;
    fs::create_directories(dir / "Profile");
    fs::create_directories(dir / "out");
    testing::RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=600", "-ac", "2", "a.wav"}, dir.path());
    fs::create_hard_link(dir / "a.wav", dir / "b.wav");
    const fs::path ffmpeg = dir.write("ffmpeg-re", "#!/bin/sh\nexec ffmpeg -re \"$@\"\n");
    fs::permissions(ffmpeg, fs::perms::owner_all);
    ::setenv("QORVANE_FFMPEG", ffmpeg.c_str(), 1);

    EncoderLocation encoder{std::string(QORVANE_ENCODER_DIR) + "/wmcmd.vbs",
                            std::string(QORVANE_ENCODER_DIR) + "/qorvane-cscript", false};
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayMs(100, 1500);
    std::vector<double> seconds;
    int faults = 0, late = 0, orphans = 0;
    for (int i = 0; i < aborts; ++i) {
        testing::FakeJobs rows;
        for (const char* name : {"a.wav", "b.wav"}) {
            rows.rows.push_back({name, "p", "", "", "", "", "", (dir / name).string(), (dir / "out").string()});
        }
        testing::FakeProgress progress;
        testing::FakeHost host;
        host.settings.ball = true;
        host.settings.sall = "done";
        testing::FakeTags tags;
        testing::FakeSounds sounds;
        PosixProcessLauncher launcher;
        DirectInvoker invoker;
        BatchRunner runner({rows, progress, host, tags, sounds}, encoder, dir / "Profile");
        const PosixOutputFolders outputFolders;
        EncodeThread thread(runner, invoker, launcher, outputFolders, dir / "batch.log");
        if (!runner.beginBatch()) return 1;
        thread.start();
        thread.postStart();

        pid_t leader = 0;
        if (!WaitFor([&] { return (leader = EncoderGroup()) != 0 && EncodingStarted(leader); },
                     std::chrono::seconds(10))) {
            std::fprintf(stderr, "abort %d: the encoder did not start\n", i + 1);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        const auto asked = Clock::now();
        runner.requestAbort();
        if (!WaitFor([&] { return testing::LiveMembers(leader).empty(); }, std::chrono::seconds(10))) ++faults;
        if (leader != EncoderGroup() && EncoderGroup() != 0) ++faults;  // a further run was started
        seconds.push_back(std::chrono::duration<double>(Clock::now() - asked).count());
        if (seconds.back() > kAbortLimitSeconds) {
            ++late;
            std::fprintf(stderr, "abort %d: the group took %.3f s to go\n", i + 1, seconds.back());
        }
        WaitFor([&] { return !thread.busy(); }, std::chrono::seconds(10));
        thread.requestTermination();
        thread.join();

        // Nothing the encoder started may live on outside its group either.
        if (!WaitFor([&] { return ProcessesIn(dir.path()).empty(); }, std::chrono::seconds(2))) {
            ++orphans;
            std::fprintf(stderr, "abort %d: %zu processes of the run left\n", i + 1, ProcessesIn(dir.path()).size());
        }
        const bool rowKept = rows.rows.size() == 2 && rows.rows[0].File == "a.wav";
        const bool folderEmpty = fs::is_empty(dir / "out");
        if (!rowKept || !folderEmpty || !sounds.played.empty()) {
            ++faults;
            for (const auto& entry : fs::directory_iterator(dir / "out")) {
                std::fprintf(stderr, "  left: %s\n", entry.path().filename().c_str());
            }
            std::fprintf(stderr, "abort %d: rows %zu, output folder %s, sounds %zu\n", i + 1, rows.rows.size(),
                         folderEmpty ? "empty" : "not empty", sounds.played.size());
        }
    }
    std::sort(seconds.begin(), seconds.end());
    const auto at = [&](double q) { return seconds[static_cast<std::size_t>(q * (seconds.size() - 1))]; };
    std::printf("aborts: %zu, request -> encoder's process group gone (s): min %.3f, median %.3f, p90 %.3f, max %.3f\n",
                seconds.size(), seconds.front(), at(0.5), at(0.9), seconds.back());
    std::printf("aborts over %.1f s: %d; processes of a run left after it: %d\n", kAbortLimitSeconds, late, orphans);
    std::printf("faults (group left, file left, rows lost, end sound): %d\n", faults);
    return faults == 0 && late == 0 && orphans == 0 ? 0 : 1;
}
