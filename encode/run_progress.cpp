#include "encode/run_progress.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace qorvane {

namespace {

bool ConsumePrefix(std::string_view& text, std::string_view prefix) {
    if (text.substr(0, prefix.size()) != prefix) return false;
    text.remove_prefix(prefix.size());
    return true;
}

std::string_view NextToken(std::string_view& text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    const auto end = text.find(' ');
    const std::string_view token = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end);
    return token;
}

std::optional<double> Number(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> NumberWithSuffix(std::string_view text, char suffix) {
    if (text.empty() || text.back() != suffix) return std::nullopt;
    return Number(text.substr(0, text.size() - 1));
}

// HH:MM:SS.s, the hours at least two digits.
std::optional<double> Timestamp(std::string_view text) {
    const auto first = text.find(':');
    const auto second = text.find(':', first == std::string_view::npos ? 0 : first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos) return std::nullopt;
    const auto hours = Number(text.substr(0, first));
    const auto minutes = Number(text.substr(first + 1, second - first - 1));
    const auto seconds = Number(text.substr(second + 1));
    if (!hours || !minutes || !seconds || *hours < 0 || *minutes < 0 || *seconds < 0) return std::nullopt;
    return *hours * 3600 + *minutes * 60 + *seconds;
}

std::string_view TrimLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    return line;
}

}  // namespace

std::optional<EncoderProgress> ParseProgressLine(std::string_view line) {
    line = TrimLineEnd(line);
    if (!ConsumePrefix(line, "progress:")) return std::nullopt;
    EncoderProgress progress;
    const auto percent = NumberWithSuffix(NextToken(line), '%');
    if (!percent || *percent < 0 || *percent > 100) return std::nullopt;
    progress.percent = *percent;

    const std::string_view times = NextToken(line);
    const auto slash = times.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const auto position = Timestamp(times.substr(0, slash));
    const auto total = Timestamp(times.substr(slash + 1));
    if (!position || !total) return std::nullopt;
    progress.position = *position;
    progress.total = *total;

    // key=value tokens; unknown ones are for later versions.
    for (std::string_view token = NextToken(line); !token.empty(); token = NextToken(line)) {
        const auto equals = token.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = token.substr(0, equals);
        const std::string_view value = token.substr(equals + 1);
        if (key == "speed") {
            if (const auto speed = NumberWithSuffix(value, 'x')) progress.speed = *speed;
        } else if (key == "pass") {
            const auto of = value.find('/');
            const auto pass = Number(value.substr(0, of));
            const auto passes = of == std::string_view::npos ? std::nullopt : Number(value.substr(of + 1));
            if (pass && passes && *pass >= 1 && *pass <= *passes && *passes <= 16) {
                progress.pass = static_cast<int>(*pass);
                progress.passes = static_cast<int>(*passes);
            }
        }
    }
    return progress;
}

std::string FormatClock(double seconds) {
    // Beyond a hundred days an estimate says nothing (and a hostile line
    // could ask for more than a number holds).
    const double shown = std::isfinite(seconds) ? std::clamp(seconds, 0.0, 100.0 * 86400) : 0;
    const long long whole = std::llround(shown);
    char text[32];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%02lld:%02lld", whole / 60, whole % 60);
    }
    return text;
}

}  // namespace qorvane
