#pragma once
// One line per run, in the words the command line prints and scripts read:
//   encoded: IN -> OUT [(N kbps)][: TAGS NOT WRITTEN (WHY)]
//   failed: IN -> OUT [(N kbps)]: REASON
//   aborted: IN [-> OUT [(N kbps)]]
//   skipped: IN: REASON
// A line is handed on as the run ends, with whether it tells of something
// not done (an encoded file without its tags included). A path that holds a
// line break, another control character or bytes that are not UTF-8 is
// quoted as a shell reads it back (base/shell_escape.h).

#include <functional>
#include <string>

#include "encode/batch_services.h"

namespace qorvane {

class RunLines final : public RunObserver {
public:
    using Sink = std::function<void(const std::string& line, bool failure)>;
    explicit RunLines(Sink sink) : sink_(std::move(sink)) {}

    void runSkipped(const BatchRun& run) override;
    void runFinished(const BatchRun& run) override;
    // A job refused before it became a run.
    void skipped(const std::string& input, const std::string& reason);
    // Runs and jobs so far that gave no output.
    int failures() const { return failures_; }

private:
    Sink sink_;
    int failures_ = 0;
};

}  // namespace qorvane
