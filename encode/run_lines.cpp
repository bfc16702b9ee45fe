#include "encode/run_lines.h"

#include "encode/batch_runner.h"
#include "encode/run_outcome.h"

namespace qorvane {

void RunLines::runSkipped(const BatchRun& run) {
    // A run stopped before its encoder started is as aborted as one ended.
    if (run.outcome.result == RunResult::Aborted) {
        ++failures_;
        sink_("aborted: " + run.inputPath.string(), true);
    } else {
        skipped(run.inputPath.string(), FailureReason(run.outcome));
    }
}

void RunLines::runFinished(const BatchRun& run) {
    const RunResult result = run.outcome.result;
    if (result != RunResult::Good) ++failures_;
    std::string text =
        (result == RunResult::Good ? "encoded: " : result == RunResult::Aborted ? "aborted: " : "failed: ") +
        run.inputPath.string() + " -> " + run.outputPath().string();
    if (!run.videoKbpsText.empty()) text += " (" + run.videoKbpsText + " kbps)";
    if (result != RunResult::Good && result != RunResult::Aborted) text += ": " + FailureReason(run.outcome);
    sink_(text, result != RunResult::Good);
}

void RunLines::skipped(const std::string& input, const std::string& reason) {
    ++failures_;
    sink_("skipped: " + input + ": " + reason, true);
}

}  // namespace qorvane
