#include "encode/encoding_profile.h"

#include <cstdint>

#include "platform/ascii_case.h"
#include "platform/ini_file.h"

namespace qorvane {

namespace {

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

    if (s.VideoMode == 0 || s.VideoMode == 3 || s.VideoMode == 7) {
        prepared.bitrates = {""};
        return prepared;
    }
    for (const std::string& entry : SplitCommaText(s.VideoBitrate)) {
        const auto kbps = ParseWholeNumber(entry);
        if (kbps && *kbps >= 1) prepared.bitrates.push_back(std::to_string(*kbps));
    }
    if (prepared.bitrates.empty()) prepared.bitrates = {"250"};
    if (prepared.bitrates.size() == 1) s.VideoBitrate = prepared.bitrates.front();
    return prepared;
}

bool IsVideoInputForRuns(const std::filesystem::path& input) {
    const std::string ext = LowerExtension(input);
    return ext != ".wav" && ext != ".mp3";
}

bool HasSeveralRuns(const EncodingProfile& profile, const std::filesystem::path& input) {
    return profile.bitrates.size() >= 2 && IsVideoInputForRuns(input);
}

RunNaming NameRun(const EncodingProfile& profile, std::size_t index,
                  const std::filesystem::path& input, const std::string& displayName) {
    if (HasSeveralRuns(profile, input) && index < profile.bitrates.size()) {
        const std::string& kbps = profile.bitrates[index];
        return {"_v" + kbps, kbps + "000", "[" + kbps + "kbps] " + displayName};
    }
    return {"", profile.settings.VideoBitrate + "000", displayName};
}

std::string FormatRemainingCount(int remaining) {
    return "(" + std::to_string(remaining) + ") ";
}

}  // namespace qorvane
