#pragma once
// What an encoder prints about its progress. The stand-in encoder writes one
// line per step on its standard output:
//
//     progress: 42.0% 00:00:12.3/00:00:29.1 speed=31.0x
//     progress: 71.5% 00:00:12.3/00:00:29.1 speed=30.2x pass=2/2 pass_percent=43.0%
//     finished: ok
//
// The final line is shown as it stands with the run's output; only the
// progress lines are read. An encoder that prints no such lines is just as valid: its runs then show
// activity without a percentage.

#include <optional>
#include <string>
#include <string_view>

namespace qorvane {

struct EncoderProgress {
    double percent = 0;   // of the whole run, 0..100
    double position = 0;  // seconds of the input done (within the current pass)
    double total = 0;     // seconds of the input
    double speed = 0;     // times real time; 0 when unknown
    int pass = 0;         // 0 for a one-pass run, else 1..passes
    int passes = 0;
    bool operator==(const EncoderProgress&) const = default;
};

// A "progress:" line; nothing for any other line or a malformed one.
std::optional<EncoderProgress> ParseProgressLine(std::string_view line);

// "00:12", "1:02:03": a duration in whole seconds for the user.
std::string FormatClock(double seconds);

}  // namespace qorvane
