#include "encode/live_status.h"

namespace qorvane {

namespace {

// Keeps the last `limit` bytes, cut at a line start where one is near. It
// cuts only once the text has grown to twice that, so that a flood of lines
// costs a cut now and then, not one per line.
void KeepTail(std::string& text, std::size_t limit) {
    if (text.size() <= 2 * limit) return;
    std::size_t cut = text.size() - limit;
    const auto newline = text.find('\n', cut);
    if (newline != std::string::npos && newline - cut < 4096) cut = newline + 1;
    text.erase(0, cut);
}

}  // namespace

void LiveRunStatus::runStarted(std::string label, RunPosition position, std::string commandLine) {
    std::lock_guard lock(mutex_);
    running_ = true;
    ++serial_;
    label_ = std::move(label);
    position_ = position;
    progress_.reset();
    started_ = now_();
    runOutput_.clear();
    appendSession("== " + commandLine + "\n");
}

void LiveRunStatus::outputLine(std::string_view line) {
    std::lock_guard lock(mutex_);
    ++serial_;
    if (auto progress = ParseProgressLine(line)) {
        // Progress only goes forward within a run.
        if (!progress_ || progress->percent >= progress_->percent) progress_ = *progress;
        return;  // the window shows it as a bar; the text would only scroll
    }
    runOutput_.append(line);
    runOutput_ += '\n';
    KeepTail(runOutput_, kRunOutputBytes);
    appendSession(line);
    appendSession("\n");
}

void LiveRunStatus::runEnded(std::string_view how) {
    std::lock_guard lock(mutex_);
    running_ = false;
    ++serial_;
    ended_ = now_();
    appendSession("-- ");
    appendSession(how);
    appendSession("\n");
}

void LiveRunStatus::appendSession(std::string_view text) {
    session_.append(text);
    KeepTail(session_, kSessionLogBytes);
}

LiveSnapshot LiveRunStatus::snapshot() const {
    std::lock_guard lock(mutex_);
    LiveSnapshot snap;
    snap.running = running_;
    snap.serial = serial_;
    snap.label = label_;
    snap.position = position_;
    snap.progress = progress_;
    const Clock::time_point end = running_ ? now_() : ended_;
    snap.elapsed = serial_ == 0 ? 0 : std::chrono::duration<double>(end - started_).count();
    const double done = progress_ ? progress_->percent / 100 : 0;
    if (progress_ && done > 0) snap.remaining = snap.elapsed * (1 - done) / done;
    if (position_.total > 0 && position_.run > 0) {
        snap.batchPercent = 100 * (position_.run - 1 + done) / position_.total;
    }
    return snap;
}

std::string LiveRunStatus::currentOutput() const {
    std::lock_guard lock(mutex_);
    return runOutput_;
}

std::string LiveRunStatus::sessionLog() const {
    std::lock_guard lock(mutex_);
    return session_;
}

}  // namespace qorvane
