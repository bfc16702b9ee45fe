#include "encode/live_status.h"

#include <algorithm>

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

LiveRunStatus::RunId LiveRunStatus::runStarted(std::string label, RunPosition position, std::string commandLine) {
    std::lock_guard lock(mutex_);
    ++serial_;
    const RunId id = nextId_++;
    Run& run = going_[id];
    run.label = std::move(label);
    run.position = position;
    run.started = now_();
    lastId_ = id;
    appendSession("== " + commandLine + "\n");
    return id;
}

LiveRunStatus::Run* LiveRunStatus::find(RunId run) {
    const auto it = going_.find(run);
    return it == going_.end() ? nullptr : &it->second;
}

void LiveRunStatus::outputLine(RunId id, std::string_view line) {
    std::lock_guard lock(mutex_);
    Run* run = find(id);
    if (!run) return;
    ++serial_;
    if (auto progress = ParseProgressLine(line)) {
        // Progress only goes forward within a run.
        if (!run->progress || progress->percent >= run->progress->percent) run->progress = *progress;
        return;  // the window shows it as a bar; the text would only scroll
    }
    run->output.append(line);
    run->output += '\n';
    KeepTail(run->output, kRunOutputBytes);
    if (going_.size() > 1) appendSession(run->label + ": ");
    appendSession(line);
    appendSession("\n");
}

void LiveRunStatus::runEnded(RunId id, std::string_view how) {
    std::lock_guard lock(mutex_);
    const auto it = going_.find(id);
    if (it == going_.end()) return;
    ++serial_;
    Run& run = it->second;
    run.going = false;
    run.ended = runNow(run);
    appendSession("-- ");
    if (going_.size() > 1) appendSession(run.label + ": ");
    appendSession(how);
    appendSession("\n");
    if (id == lastId_) last_ = std::move(run);
    going_.erase(it);
}

void LiveRunStatus::pause() {
    std::lock_guard lock(mutex_);
    if (pausedSince_) return;
    ++serial_;
    pausedSince_ = now_();
}

void LiveRunStatus::resume() {
    std::lock_guard lock(mutex_);
    if (!pausedSince_) return;
    ++serial_;
    for (auto& [id, run] : going_) run.pausedFor += now_() - runNow(run);
    pausedSince_.reset();
}

LiveRunStatus::Clock::time_point LiveRunStatus::runNow(const Run& run) const {
    // A run started while paused has been paused since its start.
    return pausedSince_ ? std::max(*pausedSince_, run.started) : now_();
}

void LiveRunStatus::appendSession(std::string_view text) {
    session_.append(text);
    KeepTail(session_, kSessionLogBytes);
}

namespace {

double DoneShare(const std::optional<EncoderProgress>& progress) { return progress ? progress->percent / 100 : 0; }

}  // namespace

LiveRun LiveRunStatus::view(const Run& run) const {
    LiveRun shown;
    shown.label = run.label;
    shown.position = run.position;
    shown.progress = run.progress;
    shown.elapsed =
        std::chrono::duration<double>((run.going ? runNow(run) : run.ended) - run.started - run.pausedFor).count();
    const double done = DoneShare(run.progress);
    if (done > 0) shown.remaining = shown.elapsed * (1 - done) / done;
    return shown;
}

LiveSnapshot LiveRunStatus::snapshot() const {
    std::lock_guard lock(mutex_);
    LiveSnapshot snap;
    snap.serial = serial_;
    snap.running = !going_.empty();
    snap.paused = pausedSince_.has_value();
    for (const auto& [id, run] : going_) snap.runs.push_back(view(run));
    if (lastId_ == 0) return snap;
    static_cast<LiveRun&>(snap) = view(going_.empty() ? last_ : going_.rbegin()->second);

    // Runs start in the order of their numbers, so every run up to the one
    // started last is over but for those going, of which a share is done.
    const auto newest = going_.find(lastId_);
    const RunPosition latest = (newest != going_.end() ? newest->second : last_).position;
    double done = latest.run;
    if (going_.empty()) {
        done += DoneShare(last_.progress) - 1;
    } else {
        for (const LiveRun& run : snap.runs) done += DoneShare(run.progress) - 1;
    }
    if (latest.total > 0 && latest.run > 0) snap.batchPercent = 100 * done / latest.total;
    return snap;
}

std::string LiveRunStatus::currentOutput() const {
    std::lock_guard lock(mutex_);
    if (going_.empty()) return last_.output;
    if (going_.size() == 1) return going_.begin()->second.output;
    std::string text;
    for (const auto& [id, run] : going_) text += "== " + run.label + "\n" + run.output;
    return text;
}

std::string LiveRunStatus::sessionLog() const {
    std::lock_guard lock(mutex_);
    return session_;
}

}  // namespace qorvane
