#pragma once
// The batch log: Linux has no console window for the encoder, so each run's
// output is appended to one text file instead, after a header that names the
// command line. Without debug mode only the end of a run's output is kept.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace qorvane {

// $QORVANE_LOG when set; else $XDG_STATE_HOME/qorvane/encoder.log; else
// ~/.local/state/qorvane/encoder.log. The directory is made on first write.
std::filesystem::path DefaultBatchLogPath();

// How much of a run's output is kept without debug mode.
inline constexpr std::size_t kBatchLogTailBytes = 64 * 1024;

// A log grown past this is moved to "<name>.1" (replacing an older one)
// before the next run is written, so the log never grows without end.
inline constexpr std::uintmax_t kBatchLogRotateBytes = 8 * 1024 * 1024;

// Opens the log for appending (close-on-exec), making its directory and
// rotating it first. -1 when it cannot be opened; the run goes on unlogged.
int OpenBatchLog(const std::filesystem::path& path);

// Writes all of `text`; a failing log is ignored.
void AppendToLog(int fd, std::string_view text);

// "==== 2024-05-01 12:34:56 ====\n" with the local time.
std::string LogTimestampLine();

// What `captureFd` holds (a file the run wrote into), ending in a line
// break, for the log. More than `limit` bytes: a line telling how much was
// left out, then the last `limit` bytes at most, starting after a line break
// where there is one.
std::string CapturedOutputTail(int captureFd, std::size_t limit);

}  // namespace qorvane
