#pragma once
// What a headless batch prints: its lines on the output stream, warnings on
// the error stream and, on a terminal, one line per run rewritten in place.

#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>

#include "encode/live_status.h"

namespace qorvane::cli {

// The batch's lines on the output stream, warnings on the error stream and,
// on a terminal, one line per run rewritten in place until the run's own
// line takes its place. Lines and warnings come from the encode thread, the
// updating line from the waiting one.
class Console {
public:
    Console(std::ostream& out, std::ostream& err, bool quiet) : out_(out), err_(err), quiet_(quiet) {}

    // A whole line; with --quiet only those about something not done.
    void line(const std::string& text, bool failure) {
        std::lock_guard lock(mutex_);
        if (quiet_ && !failure) return;
        clearLive();
        out_ << text << '\n';
        out_.flush();
        ++lines_;
        noteLoss();
    }
    void warning(const std::string& text) {
        std::lock_guard lock(mutex_);
        err_ << text << '\n';
        noteLoss();
    }
    // True once a write has failed: whoever read the stream has gone (a
    // closed pipe), and nothing written after it is seen.
    bool lost() const {
        std::lock_guard lock(mutex_);
        return lost_;
    }
    // How many lines have been printed: a live text read before the last of
    // them is stale.
    std::uint64_t lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    void live(const std::string& text, std::uint64_t linesBefore) {
        std::lock_guard lock(mutex_);
        if (lines_ != linesBefore) return;
        out_ << "\r\x1b[K" << text << std::flush;
        liveShown_ = true;
        noteLoss();
    }
    void endLive() {
        std::lock_guard lock(mutex_);
        clearLive();
        out_.flush();
    }

private:
    void clearLive() {
        if (liveShown_) out_ << "\r\x1b[K";
        liveShown_ = false;
    }
    void noteLoss() { lost_ = lost_ || !out_ || !err_; }

    mutable std::mutex mutex_;
    std::ostream& out_;
    std::ostream& err_;
    bool quiet_;
    bool liveShown_ = false;
    bool lost_ = false;
    std::uint64_t lines_ = 0;
};

// The line a terminal shows while a run goes on: "[3/12]  42.0%   31.0x
// 00:17 left  [300kbps] clip.avi", cut to `columns`.
std::string LiveLine(const LiveSnapshot& snapshot, int columns);

}  // namespace qorvane::cli
