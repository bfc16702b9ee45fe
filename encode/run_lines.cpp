#include "encode/run_lines.h"

#include "base/shell_escape.h"
#include "encode/batch_runner.h"
#include "encode/run_outcome.h"

namespace qorvane {

namespace {

// A path as a line may carry it: never a second line, never a terminal's
// escape sequence.
std::string Shown(const std::filesystem::path& path) { return ShellEscapeIfUnsafe(path.string()); }

}  // namespace

void RunLines::runSkipped(const BatchRun& run) {
    // A run stopped before its encoder started is as aborted as one ended.
    if (run.outcome.result == RunResult::Aborted) {
        ++failures_;
        sink_("aborted: " + Shown(run.inputPath), true);
    } else {
        skipped(run.inputPath.string(), FailureReason(run.outcome));
    }
}

void RunLines::runFinished(const BatchRun& run) {
    const RunResult result = run.outcome.result;
    // An encoded file whose tags could not be saved is not what was asked for.
    const bool failure = result != RunResult::Good || !run.outcome.tagsNotWritten.empty();
    if (failure) ++failures_;
    std::string text =
        (result == RunResult::Good ? "encoded: " : result == RunResult::Aborted ? "aborted: " : "failed: ") +
        Shown(run.inputPath) + " -> " + Shown(run.outputPath());
    if (!run.videoKbpsText.empty()) text += " (" + run.videoKbpsText + " kbps)";
    if (failure && result != RunResult::Aborted) text += ": " + FailureReason(run.outcome);
    sink_(text, failure);
}

void RunLines::skipped(const std::string& input, const std::string& reason) {
    ++failures_;
    sink_("skipped: " + ShellEscapeIfUnsafe(input) + ": " + reason, true);
}

}  // namespace qorvane
