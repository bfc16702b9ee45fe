#pragma once
// What a batch is doing right now, for the front ends to show: the runs that
// are going, their places in the batch, the encoders' progress and output.
// The encode thread writes it as the encoder prints; a window or a terminal
// reads a snapshot at its own pace (a few times a second), so the encoder is
// never held up by a display.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>
#include <optional>
#include <string>
#include <string_view>

#include "encode/run_progress.h"

namespace qorvane {

// "Run 3 of 12": the run's number in the batch and the runs the batch has
// as it stands (rows added during the batch join it).
struct RunPosition {
    int run = 0;
    int total = 0;
    bool operator==(const RunPosition&) const = default;
};

// One run as a display shows it.
struct LiveRun {
    std::string label;  // "[300kbps] clip.avi" or the file name
    RunPosition position;
    std::optional<EncoderProgress> progress;  // the run's last progress line
    double elapsed = 0;                       // seconds since the run started (to its end, once over)
    std::optional<double> remaining;          // seconds, from the progress so far
};

struct LiveSnapshot : LiveRun {  // the run going that started last; else the last run
    bool running = false;        // an encoder run is going
    bool paused = false;         // the runs are held still
    std::uint64_t serial = 0;    // changes whenever anything here does
    std::vector<LiveRun> runs;   // every run going, in the order they started
    std::optional<double> batchPercent;  // of the whole batch, 0..100
};

class LiveRunStatus {
public:
    using Clock = std::chrono::steady_clock;
    // How much output is kept: of the current run, and of the session.
    static constexpr std::size_t kRunOutputBytes = 256 * 1024;
    static constexpr std::size_t kSessionLogBytes = 1024 * 1024;

    using RunId = std::uint64_t;

    // Called by the encode thread and the runs' waiters.
    RunId runStarted(std::string label, RunPosition position, std::string commandLine);
    void outputLine(RunId run, std::string_view line);
    void runEnded(RunId run, std::string_view how);
    // While the runs are paused their times hold still: a paused run takes
    // no longer, and what is left of it is no less.
    void pause();
    void resume();

    // Called from any thread.
    LiveSnapshot snapshot() const;
    // The output of the runs going (each under its label when there are
    // several), or of the last one.
    std::string currentOutput() const;
    // Every run since the program started; while several go, each line
    // names its run.
    std::string sessionLog() const;

    // For tests: the clock the elapsed times are measured on.
    void setClock(Clock::time_point (*now)()) { now_ = now; }

private:
    struct Run {
        std::string label;
        RunPosition position;
        std::optional<EncoderProgress> progress;
        Clock::time_point started{};
        Clock::time_point ended{};
        Clock::duration pausedFor{};  // paused since it started, up to the last resume
        bool going = true;
        std::string output;
    };

    Run* find(RunId run);
    // Now as the run's clock sees it: held at the pause while paused.
    Clock::time_point runNow(const Run& run) const;
    LiveRun view(const Run& run) const;
    void appendSession(std::string_view text);

    mutable std::mutex mutex_;
    Clock::time_point (*now_)() = &Clock::now;
    std::uint64_t serial_ = 0;
    std::optional<Clock::time_point> pausedSince_;
    RunId nextId_ = 1;
    std::map<RunId, Run> going_;  // by id, so in the order they started
    RunId lastId_ = 0;            // the run started last
    Run last_;                    // a copy of it once it is over
    std::string session_;
};

}  // namespace qorvane
