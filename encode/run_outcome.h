#pragma once
// How one run of a batch turned out. A run counts as good only when the
// encoder ended by itself with status 0 and its output file was written by
// that run; an earlier file of the same name that a failed run left as it
// was never counts, whatever status the encoder reported.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "encode/command_line.h"
#include "platform/process_launcher.h"

namespace qorvane {

enum class RunResult {
    Good,
    Aborted,            // stopped by the user or because the program ends
    InputMissing,       // no command line: the input is gone
    UnsupportedInput,   // no command line: not a kind of file the encoder takes
    QuoteInPath,        // no command line: a path the command line cannot carry
    OutputIsInput,      // the output would be the input itself (WritesOverInput)
    FolderNotCreated,   // the output folder could not be made
    EncoderNotStarted,  // the script host is missing or could not be started
    EncoderFailed,      // ended with a status other than 0, or by a signal
    NoOutput,           // ended with status 0 but wrote no file
};

struct RunOutcome {
    RunOutcome(RunResult r = RunResult::Good, ProcessEnd e = {}) : result(r), end(e) {}
    RunResult result = RunResult::Good;
    ProcessEnd end;  // how the encoder ended, where one ran
    // A good run whose tags could not be saved: why. Its file stays as the
    // encoder wrote it, and the user hears of it like a failure.
    std::string tagsNotWritten;
    bool operator==(const RunOutcome&) const = default;
};

RunResult RefusalResult(CommandLineRefusal refusal);

// What lies at a path at one moment.
struct FileStamp {
    bool regularFile = false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::filesystem::path& file);

// The verdict on a run that ended by itself: `before` is the output path's
// stamp just before the encoder started, `after` the one once it had ended.
RunOutcome JudgeEncoderRun(const ProcessEnd& end, const FileStamp& before, const FileStamp& after);

// True when writing `output` would replace `input` itself: the same file,
// also through a hard or a symbolic link (a .wma, .wmv or .asf source whose
// output gets its own name in its own folder).
bool WritesOverInput(const std::filesystem::path& input, const std::filesystem::path& output);

// A run that gave no file, for the report at the end of a batch.
struct RunFailure {
    std::string file;    // the input's file name
    std::string output;  // the output's file name, where one was named
    RunOutcome outcome;
};

// Whether the user should hear about this outcome at the end of the batch.
bool IsReportedFailure(const RunOutcome& outcome);

// The reason of one failure, in the program's words (for a good run, why its
// tags were not written, if they were not).
std::string FailureReason(const RunOutcome& outcome);

// How a run ended, in the program's words (a good run included).
std::string OutcomeText(const RunOutcome& outcome);

// The line after a list cut short: "ほか 3 件".
std::string MoreLine(std::size_t more);

// The end-of-batch message: the failures (at most `maxListed`, then how many
// more) and where the batch log is.
std::string FormatFailureReport(const std::vector<RunFailure>& failures, const std::string& logFile,
                                std::size_t maxListed = 20);

}  // namespace qorvane
