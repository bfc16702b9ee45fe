#pragma once
// The batch log: Linux has no console window for the encoder, so each run's
// output is appended to one text file instead, after a header that names the
// command line. How much of a run's output is kept: see kept_output.h.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace qorvane {

// $QORVANE_LOG when set; else $XDG_STATE_HOME/qorvane/encoder.log; else
// ~/.local/state/qorvane/encoder.log. The directory is made on first write.
std::filesystem::path DefaultBatchLogPath();

// How much of a run's output is kept without debug mode: its end, where
// encoders print why they failed.
inline constexpr std::size_t kBatchLogTailBytes = 64 * 1024;

// With debug mode: the start and the end of a run's output, enough for a
// whole normal run, while an encoder that never stops printing still cannot
// grow the log without end.
inline constexpr std::size_t kBatchLogDebugHeadBytes = 1024 * 1024;
inline constexpr std::size_t kBatchLogDebugTailBytes = 1024 * 1024;

// A log grown past this is moved to "<name>.1" (replacing an older one)
// before the next record is written, so the log never grows without end.
inline constexpr std::uintmax_t kBatchLogRotateBytes = 8 * 1024 * 1024;

// Appends one run's record (its start, output and end) in one write, when
// the run has ended: runs going at the same time never cut into each
// other's records, and rotation never puts one record into two files. The
// log is locked meanwhile, so that runs ending at once, in this program or
// another, move it aside once. Makes the log's directory; a failing log is
// ignored.
void AppendToBatchLog(const std::filesystem::path& path, std::string_view record);

// "==== 2024-05-01 12:34:56 ====\n" with the local time.
std::string LogTimestampLine();

}  // namespace qorvane
