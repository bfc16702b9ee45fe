#pragma once
// The job list as a recovery file keeps it while the program runs, so that
// a start after a crash can offer it back. The text holds every field of
// every row in order, the jobs a running batch had taken first; a file cut
// short, changed by hand or written by something else reads as damaged,
// never as part of a list.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/job_list.h"

namespace qorvane {

struct RecoveredJobs {
    std::vector<EncodeJob> rows;  // in list order, the jobs that were going first
    std::size_t going = 0;        // how many of the first rows a batch had taken
};

// `going`: the jobs a running batch has taken and not finished, in the order
// it took them; `waiting`: the list.
std::string RecoveryText(const std::vector<EncodeJob>& going, const JobList& waiting);

// Nothing when the text is not a whole recovery file of this program.
std::optional<RecoveredJobs> ParseRecoveryText(std::string_view text);

// Keeps the recovery file current without holding up the window: at each
// tick (a few times a second) the text is made anew only when the list or
// the jobs going have changed since the last one, and handed to `save`,
// which writes it on a thread of its own. An empty list gives an empty text.
// After a tick that took long (a very long list, a slow machine), the next
// waits up to half a second more, so that the ticks cost about 1 % of the
// thread's time at most (for lists below some 40 000 rows).
// `failedSaves` counts the saves that could not be written: after each new
// failure the next tick hands the text over again, and the first ordinary
// tick after one calls `cannotKeep`, once for the keeper's life.
class RecoveryKeeper {
public:
    // `quietFactor`: after a tick that took T, the next waits T times this.
    RecoveryKeeper(const JobList& list, std::function<std::vector<EncodeJob>()> going,
                   std::function<void(std::string)> save, std::function<std::uint64_t()> failedSaves = {},
                   std::function<void()> cannotKeep = {}, int quietFactor = 99);
    // True when a new text was handed over. `now`: even right after a long
    // tick (the program is about to end).
    bool tick(bool now = false);

private:
    const JobList& list_;
    std::function<std::vector<EncodeJob>()> going_;
    std::function<void(std::string)> save_;
    std::function<std::uint64_t()> failedSaves_;
    std::function<void()> cannotKeep_;
    std::uint64_t seenFailures_ = 0;
    bool toldCannotKeep_ = false;
    std::optional<std::uint64_t> savedRevision_;
    std::vector<EncodeJob> savedGoing_;
    int quietFactor_;
    std::chrono::steady_clock::time_point quietUntil_{};
};

// The question at start-up; the caption is the program's.
std::string RestoreQuestion(std::size_t rows);
// The note when a recovery file could not be read; it has been renamed to `setAside`.
std::string DamagedRecoveryMessage(const std::string& setAside);
// The note when the list cannot be written to the recovery file in `folder`.
std::string CannotKeepRecoveryMessage(const std::string& folder);

}  // namespace qorvane
