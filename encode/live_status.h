#pragma once
// What a batch is doing right now, for the front ends to show: the run that
// is going, its place in the batch, the encoder's progress and its output.
// The encode thread writes it as the encoder prints; a window or a terminal
// reads a snapshot at its own pace (a few times a second), so the encoder is
// never held up by a display.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
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

struct LiveSnapshot {
    bool running = false;           // an encoder run is going
    std::uint64_t serial = 0;       // changes whenever anything below does
    std::string label;              // "[300kbps] clip.avi" or the file name
    RunPosition position;
    std::optional<EncoderProgress> progress;  // the run's last progress line
    double elapsed = 0;                       // seconds since the run started
    std::optional<double> remaining;         // seconds, from the progress so far
    std::optional<double> batchPercent;       // of the whole batch, 0..100
};

class LiveRunStatus {
public:
    using Clock = std::chrono::steady_clock;
    // How much output is kept: of the current run, and of the session.
    static constexpr std::size_t kRunOutputBytes = 256 * 1024;
    static constexpr std::size_t kSessionLogBytes = 1024 * 1024;

    // Called by the encode thread.
    void runStarted(std::string label, RunPosition position, std::string commandLine);
    void outputLine(std::string_view line);
    void runEnded(std::string_view how);

    // Called from any thread.
    LiveSnapshot snapshot() const;
    std::string currentOutput() const;  // the current (or last) run's output
    std::string sessionLog() const;     // every run since the program started

    // For tests: the clock the elapsed times are measured on.
    void setClock(Clock::time_point (*now)()) { now_ = now; }

private:
    void appendSession(std::string_view text);

    mutable std::mutex mutex_;
    Clock::time_point (*now_)() = &Clock::now;
    bool running_ = false;
    std::uint64_t serial_ = 0;
    std::string label_;
    RunPosition position_;
    std::optional<EncoderProgress> progress_;
    Clock::time_point started_{};
    Clock::time_point ended_{};
    std::string runOutput_;
    std::string session_;
};

}  // namespace qorvane
