#pragma once
// A profile made ready for encoding, and the runs a job makes of it: a video
// job whose profile lists several bit rates is encoded once per bit rate,
// each run into its own file.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "profiles/profile_settings.h"

namespace qorvane {

struct EncodingProfile {
    ProfileSettings settings;           // peaks in bits per second
    std::vector<std::string> bitrates;  // kbps, one entry per run of a video job
};

// Peaks from kbps to bits per second (a text that is not a whole number
// stays as written), and the bit-rate list: entries of the video bit-rate
// text in plain decimal form, unusable ones dropped, "250" when none is
// left; one empty entry for the modes that take no bit rate (0, 3, 7). A
// single entry also replaces the bit-rate text.
EncodingProfile PrepareEncodingProfile(ProfileSettings loaded);

// Splits a comma-separated list: commas and blanks separate, double quotes
// group (a doubled quote inside stands for one).
std::vector<std::string> SplitCommaText(std::string_view text);

// The runner's notion of a video input for multi-bit-rate runs: any
// extension other than .wav and .mp3, compared in lower case.
bool IsVideoInputForRuns(const std::filesystem::path& input);

// Whether a job on this input is encoded once per bit-rate entry.
bool HasSeveralRuns(const EncodingProfile& profile, const std::filesystem::path& input);

struct RunNaming {
    std::string nameSuffix;         // "_v300", or empty
    std::string videoBitrateValue;  // bits per second: the kbps text followed by "000"
    std::string label;              // progress text: "[300kbps] clip.avi", or the display name
};

// The naming of run `index` of a job.
RunNaming NameRun(const EncodingProfile& profile, std::size_t index,
                  const std::filesystem::path& input, const std::string& displayName);

// The progress count text, "(3) ".
std::string FormatRemainingCount(int remaining);

}  // namespace qorvane
