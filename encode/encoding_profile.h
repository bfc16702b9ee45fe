#pragma once
// A profile made ready for encoding: peaks in bits per second and the list
// of video bit rates, one per run of a video job (encode/run_planner.h).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "profiles/profile_settings.h"

namespace qorvane {

// A video bit rate in kbps as a profile lists it: a whole number, at least 1.
using VideoKbps = int;

// The video bit rates of a profile, in the order written, duplicates kept.
using VideoBitrateList = std::vector<VideoKbps>;

struct EncodingProfile {
    ProfileSettings settings;        // peaks in bits per second
    VideoBitrateList videoBitrates;  // empty for a mode that takes no bit rate
};

// Peaks from kbps to bits per second (a text that is not a whole number
// stays as written), and the bit-rate list: the entries of the video
// bit-rate text that are whole numbers of at least 1 (and fit an int), 250
// when none is; empty for the modes that take no bit rate (audio only,
// quality-based, uncompressed). A single entry also replaces the bit-rate
// text, in plain decimal form.
EncodingProfile PrepareEncodingProfile(ProfileSettings loaded);

// Splits a comma-separated list: commas and blanks separate, double quotes
// group (a doubled quote inside stands for one).
std::vector<std::string> SplitCommaText(std::string_view text);

// The runner's notion of a video input for multi-bit-rate runs: one that
// ClassifyMediaFile finds video, or a file of a kind the program does not
// take (its runs are refused one by one).
bool IsVideoInputForRuns(const std::filesystem::path& input);

// The progress count text, "(3) ".
std::string FormatRemainingCount(int remaining);

}  // namespace qorvane
