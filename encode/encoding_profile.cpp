#include "encode/encoding_profile.h"

#include <cstdint>

#include "base/ascii_case.h"
#include "base/ini_file.h"
#include "encode/media_inputs.h"
#include "profiles/encoding_modes.h"

namespace qorvane {

namespace {

// The bit rate of a profile whose list holds no usable entry.
constexpr VideoKbps kDefaultVideoKbps = 250;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' ' && c != '\0'; }

// kbps to bits per second; 64-bit so that a large hand-typed peak does not
// wrap around.
void PeakToBitsPerSecond(std::string& peak) {
    if (peak.empty()) return;
    if (const auto kbps = ParseWholeNumber(peak)) {
        peak = std::to_string(static_cast<std::int64_t>(*kbps) * 1000);
    }
}

}  // namespace

std::vector<std::string> SplitCommaText(std::string_view text) {
    std::vector<std::string> out;
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(text[i])) ++i;
    };
    skipBlanks();
    while (i < text.size()) {
        std::string entry;
        if (text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        entry += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                entry += text[i++];
            }
        } else {
            while (i < text.size() && !IsBlank(text[i]) && text[i] != ',') entry += text[i++];
        }
        out.push_back(std::move(entry));
        skipBlanks();
        if (i < text.size() && text[i] == ',') {
            ++i;
            if (i == text.size()) out.emplace_back();  // a trailing comma ends in an empty entry
            skipBlanks();
        }
    }
    return out;
}

EncodingProfile PrepareEncodingProfile(ProfileSettings loaded) {
    EncodingProfile prepared{std::move(loaded), {}};
    ProfileSettings& s = prepared.settings;
    PeakToBitsPerSecond(s.AudioPeak);
    PeakToBitsPerSecond(s.VideoPeak);

    // A mode outside the table (a hand-edited file) keeps its list: its runs
    // are planned as they always were, though no bit rate is written.
    if (VideoModeInfoOf(s.VideoMode) != nullptr && !VideoModeTakesBitrate(s.VideoMode)) return prepared;

    VideoBitrateList& list = prepared.videoBitrates;
    for (const std::string& entry : SplitCommaText(s.VideoBitrate)) {
        const auto kbps = ParseWholeNumber(entry);
        if (kbps && *kbps >= 1) list.push_back(*kbps);
    }
    if (list.empty()) list.push_back(kDefaultVideoKbps);
    if (list.size() == 1) s.VideoBitrate = std::to_string(list.front());
    return prepared;
}

bool IsVideoInputForRuns(const std::filesystem::path& input) {
    const std::optional<MediaKind> kind = ClassifyMediaFile(input);
    return !kind || *kind == MediaKind::Video;
}

std::string FormatRemainingCount(int remaining) {
    return "(" + std::to_string(remaining) + ") ";
}

}  // namespace qorvane
