// recovery_bench: what keeping the job list's recovery file costs the
// window's thread. 10 000 rows are edited without pause for some seconds on
// this (the "window") thread, which every 500 ms, as the program's timer
// does, lets the keeper make the file's text and hand it to the writer
// thread. Printed: the share of this thread's time spent in those ticks
// (target: under 1 %), the time per tick, and the writer's time per file.
//
// Usage: recovery_bench [SECONDS [ROWS]]   (defaults 10 s, 10 000 rows)

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "app/job_recovery.h"
#include "platform/posix/recovery_store.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Processor time of this thread: unlike the wall time, not swollen when
// other work on the machine takes the processor away.
double ThreadSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace qorvane;
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const int rows = argc > 2 ? std::atoi(argv[2]) : 10000;
    std::string pattern = (fs::temp_directory_path() / "qorvane-recovery-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    const fs::path work = pattern;

    JobList list;
    for (int i = 0; i < rows; ++i) {
        const std::string name = "トラック " + std::to_string(i) + ".mp3";
        list.append({name, "Temporary", "タイトル " + std::to_string(i), "アーティスト", "アルバム", "2024",
                     "(C) 2024", "/home/user/音楽/アルバム/" + name, "/home/user/変換済み"});
    }
    double writerSeconds = 0;
    std::size_t bytes = 0;
    {
        RecoveryStore store(work / "state");
        RecoveryKeeper keeper(list, {}, [&](std::string text) {
            bytes = text.size();
            store.save(std::move(text));
        });
        std::mt19937 random(7);
        Clock::duration inTicks{};
        double ticksCpu = 0;
        int ticks = 0;
        long edits = 0;
        const auto begin = Clock::now();
        const double cpuBegin = ThreadSeconds();
        auto nextTick = begin;
        while (Clock::now() - begin < std::chrono::duration<double>(seconds)) {
            const auto row = static_cast<std::size_t>(random() % list.size());
            list.setField(row, JobField::Title, "編集 " + std::to_string(edits++));
            if (Clock::now() >= nextTick) {
                const auto start = Clock::now();
                const double startCpu = ThreadSeconds();
                ticks += keeper.tick() ? 1 : 0;
                ticksCpu += ThreadSeconds() - startCpu;
                inTicks += Clock::now() - start;
                nextTick += std::chrono::milliseconds(500);
            }
        }
        const double wall = Seconds(Clock::now() - begin);
        const double cpu = ThreadSeconds() - cpuBegin;
        const auto flushStart = Clock::now();
        store.flush();
        writerSeconds = Seconds(Clock::now() - flushStart);
        std::printf("recovery_bench: %d rows, %.1f s of edits (%ld edits), %d files of %.2f MB, build: %s\n", rows,
                    wall, edits, ticks, bytes / 1e6, QORVANE_BENCH_BUILD_TYPE);
        std::printf("window thread's processor time in ticks: %.3f s of %.3f s = %.3f %% (target < 1 %%); "
                    "%.2f ms per tick\n",
                    ticksCpu, cpu, 100 * ticksCpu / cpu, 1000 * ticksCpu / std::max(ticks, 1));
        std::printf("wall time in ticks: %.3f s of %.3f s = %.3f %%\n", Seconds(inTicks), wall,
                    100 * Seconds(inTicks) / wall);
        std::printf("writer: last file on disk %.1f ms after the edits stopped; failed writes %llu\n",
                    1000 * writerSeconds, static_cast<unsigned long long>(store.failedWrites()));
        store.finish();
    }
    std::error_code ec;
    fs::remove_all(work, ec);
    return 0;
}
