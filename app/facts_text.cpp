#include "app/facts_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace qorvane {

namespace {

std::string AudioText(const AudioFacts& audio) {
    std::string text = audio.codec;
    const auto add = [&text](const std::string& part) {
        if (!text.empty()) text += ' ';
        text += part;
    };
    if (audio.sampleRate > 0) add(TrimmedNumber(audio.sampleRate / 1000.0, 3) + "kHz");
    if (audio.channels > 0) add(std::to_string(audio.channels) + "ch");
    return text;
}

std::string VideoText(const VideoFacts& video) {
    std::string text = video.codec;
    const auto add = [&text](const std::string& part) {
        if (!text.empty()) text += ' ';
        text += part;
    };
    if (video.width > 0 && video.height > 0) add(std::to_string(video.width) + "x" + std::to_string(video.height));
    if (video.frameRate > 0) add(TrimmedNumber(video.frameRate, 3) + "fps");
    return text;
}

}  // namespace

std::string TrimmedNumber(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

std::string FormatDuration(double seconds) {
    const long long whole = std::llround(std::max(seconds, 0.0));
    const long long h = whole / 3600;
    const long long m = whole / 60 % 60;
    const long long s = whole % 60;
    char buffer[48];
    if (h > 0) {
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", h, m, s);
    } else {
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld", m, s);
    }
    return buffer;
}

std::string FormatMediaFacts(const MediaFacts& facts) {
    const std::string audio = facts.audio ? AudioText(*facts.audio) : std::string();
    if (facts.kind != MediaKind::Video || !facts.video) return audio;
    std::string text = VideoText(*facts.video);
    if (!audio.empty()) text += (text.empty() ? "" : ", ") + audio;
    return text;
}

std::string FormatByteSize(std::uint64_t bytes) {
    static constexpr std::array<const char*, 5> kUnits{"KB", "MB", "GB", "TB", "PB"};
    if (bytes < 1024) return std::to_string(bytes) + " B";
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    // Rounded as shown, 1023.6 KB reads "1.0 MB", not "1024 KB".
    while (unit + 1 < kUnits.size() && std::round(value) >= 1024) {
        value /= 1024;
        ++unit;
    }
    char buffer[48];
    if (std::round(value * 10) < 100) {
        std::snprintf(buffer, sizeof buffer, "%.1f %s", value, kUnits[unit]);
    } else {
        std::snprintf(buffer, sizeof buffer, "%.0f %s", value, kUnits[unit]);
    }
    return buffer;
}

}  // namespace qorvane
