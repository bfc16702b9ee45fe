// watch_bench: two figures of `qorvane-cli watch`, run as it is installed
// (the built program, the encoder found through a registry file), with a
// script host that only notes when it was started.
//
//  1. From the last write of a file to the start of its run: files written
//     in three chunks 0.3 s apart into the watched folder; the time from the
//     last chunk to the host's start. Target: the settle time (5 s) plus at
//     most 1 s.
//  2. Processor time of an idle watch over a tree of 10 000 files (100
//     folders of 100), all of them in the record already, over a minute and
//     a bit (one full rescan included), and of the start's look through the
//     tree. Target: at most 1 % of a core.
//
// Usage: watch_bench [TRIALS [IDLE_SECONDS]]   (defaults 5 and 65)

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/watch_files.h"
#include "app/watch_record.h"
#include "platform/posix/posix_directory_walk.h"
#include "platform/posix/posix_durable_text_file.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

double Now() { return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count(); }

void Write(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
}

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The processor time of a process so far, in seconds (utime + stime).
double ProcessSeconds(pid_t pid) {
    std::istringstream stat(Read("/proc/" + std::to_string(pid) + "/stat"));
    std::string field;
    // The name in parentheses holds no blank here ("qorvane-cli").
    for (int i = 1; i < 14; ++i) stat >> field;
    long utime = 0;
    long stime = 0;
    stat >> utime >> stime;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Bench {
    fs::path work;

    pid_t startWatch(const fs::path& folder, const std::string& log) const {
        std::fflush(stdout);  // the child's freopen would write what is buffered again
        const pid_t pid = fork();
        if (pid == 0) {
            const std::string path = (work / "bin").string() + ":" + std::getenv("PATH");
            setenv("PATH", path.c_str(), 1);
            setenv("QORVANE_REGISTRY", (work / "registry.ini").c_str(), 1);
            setenv("QORVANE_LOG", (work / "batch.log").c_str(), 1);
            setenv("XDG_STATE_HOME", (work / "state").c_str(), 1);
            if (freopen((work / log).c_str(), "w", stdout) == nullptr) _exit(127);
            if (freopen((work / (log + ".err")).c_str(), "w", stderr) == nullptr) _exit(127);
            execl(QORVANE_CLI_PATH, "qorvane-cli", "watch", "--out", (work / "out").c_str(), folder.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        // Watching once it says so.
        while (Read(work / (log + ".err")).find("watching: ") == std::string::npos) std::this_thread::sleep_for(20ms);
        return pid;
    }
    static void stop(pid_t pid) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int trials = argc > 1 ? std::atoi(argv[1]) : 5;
    const int idleSeconds = argc > 2 ? std::atoi(argv[2]) : 65;
    std::string pattern = (fs::temp_directory_path() / "qorvane-watch-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    Bench bench{pattern};
    const fs::path& work = bench.work;
    fs::create_directories(work / "bin");
    fs::create_directories(work / "encoder");
    Write(work / "encoder/wmcmd.vbs", "");
    Write(work / "registry.ini", "[software\\Microsoft\\Windows Media\\Encoder]\nInstallDir=" +
                                     (work / "encoder").string() + "/\nVersion=9.0.0.2980\n");
    Write(work / "bin/qorvane-cscript", "#!/bin/sh\ndate +%s.%N >> '" + (work / "started").string() + "'\n");
    fs::permissions(work / "bin/qorvane-cscript", fs::perms::owner_all);
    std::printf("watch_bench (%s build)\n", QORVANE_BENCH_BUILD_TYPE);

    // 1. Last write -> start of the run.
    fs::create_directories(work / "in");
    const pid_t watch = bench.startWatch(work / "in", "latency.out");
    std::vector<double> delays;
    for (int trial = 0; trial < trials; ++trial) {
        const fs::path file = work / "in" / ("song" + std::to_string(trial) + ".mp3");
        double lastWrite = 0;
        for (int chunk = 0; chunk < 3; ++chunk) {
            std::ofstream(file, std::ios::binary | std::ios::app) << std::string(64 * 1024, 'x');
            lastWrite = Now();
            std::this_thread::sleep_for(300ms);
        }
        std::size_t starts = 0;
        std::string started;
        while ((started = Read(work / "started")), (starts = std::count(started.begin(), started.end(), '\n')) <=
                                                      static_cast<std::size_t>(trial)) {
            std::this_thread::sleep_for(10ms);
        }
        const std::size_t lineStart = started.rfind('\n', started.size() - 2);
        const double start = std::atof(started.c_str() + (lineStart == std::string::npos ? 0 : lineStart + 1));
        delays.push_back(start - lastWrite);
    }
    Bench::stop(watch);
    std::sort(delays.begin(), delays.end());
    std::printf("last write -> start of its run (settle 5 s), %d files: min %.2f s, median %.2f s, max %.2f s\n",
                trials, delays.front(), delays[delays.size() / 2], delays.back());

    // 2. An idle watch over 10 000 files that were all taken before.
    const fs::path tree = work / "tree";
    for (int folder = 0; folder < 100; ++folder) {
        const fs::path dir = tree / ("Artist " + std::to_string(folder));
        fs::create_directories(dir);
        for (int file = 0; file < 100; ++file) Write(dir / (std::to_string(file) + " track.flac"), "x");
    }
    {
        std::string text;
        const qorvane::PosixDirectoryWalk walk;
        qorvane::WatchListingOf(walk)(tree, [&text](const fs::path& file) {
            text += qorvane::WatchRecord::Line(file.string(), {*qorvane::WatchStampOf(file), qorvane::WatchOutcome::Encoded});
        });
        qorvane::PosixDurableTextFile(work / "state/qorvane/watched").replace(text);
    }
    const pid_t idle = bench.startWatch(tree, "idle.out");
    std::this_thread::sleep_for(2s);  // the start's look through the tree is over long before
    const double startCost = ProcessSeconds(idle);
    const auto from = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    const double used = ProcessSeconds(idle) - startCost;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
    const std::string output = Read(work / "idle.out");
    Bench::stop(idle);
    std::printf("idle watch over 10 000 files: %.3f s of processor in %.0f s = %.3f %% of a core "
                "(start, record read and tree looked through included before: %.2f s); runs started: %zu\n",
                used, wall, 100.0 * used / wall, startCost, static_cast<std::size_t>(std::count(output.begin(), output.end(), '\n')));
    fs::remove_all(work);
}
