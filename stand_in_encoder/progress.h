#pragma once
// The progress the stand-in reports on its standard output, one line at a
// time, taken from ffmpeg's machine-readable "-progress" output:
//
//   progress: P% E/T speed=Sx[ pass=K/N pass_percent=Q%]
//   finished: ok | finished: failed: REASON
//
// P and Q have one decimal and are rounded down; while ffmpeg runs they stay
// below 100.0, which only the line of a successful end shows. E and T are
// "HH:MM:SS.s". Two passes share P: the first runs 0 -> 50, the second
// 50 -> 100, and E is the position within the current pass.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qorvane::encoder {

// One block of ffmpeg's "-progress" output; "progress=continue" or
// "progress=end" closes it.
struct FfmpegProgressBlock {
    std::optional<double> outTime;  // seconds; empty for "N/A" or a negative time
    std::optional<double> speed;    // times real time; empty for "N/A"
    bool end = false;
};

// Collects ffmpeg's key=value lines as they arrive, in pieces of any size.
class FfmpegProgressReader {
public:
    // The blocks this piece completes.
    std::vector<FfmpegProgressBlock> Feed(std::string_view piece);

private:
    void TakeLine(std::string_view line, std::vector<FfmpegProgressBlock>& done);

    std::string partial_;  // a line without its end yet
    FfmpegProgressBlock block_;
    std::optional<double> outTimeText_;  // "out_time", used when "out_time_us" is missing
};

// The duration ffprobe prints ("8.000000"); empty for "N/A", anything that
// is not a number, and durations that are not positive.
std::optional<double> ParseProbedDuration(std::string_view text);

// "HH:MM:SS.s" (at least two digits of hours), rounded down to tenths.
std::string FormatClock(double seconds);

// Turns the blocks of one encoding (`passes` runs over an input of
// `duration` seconds) into progress lines that never go back.
class ProgressMeter {
public:
    ProgressMeter(double duration, int passes);

    // The line for a block of pass `pass` (counted from 0).
    std::string Update(int pass, const FfmpegProgressBlock& block);

    // The line of a successful end: everything at 100.0 %.
    std::string Finished() const;

private:
    std::string Line(int pass, long percentTenths, long passTenths, double position) const;

    double duration_;
    int passes_;
    int pass_ = 0;
    double position_ = 0;  // within pass_, never going back
    double speed_ = 0;
};

// "finished: ok" for an empty failure, else "finished: failed: FAILURE" on
// one line.
std::string FinishedLine(std::string_view failure);

}  // namespace qorvane::encoder
