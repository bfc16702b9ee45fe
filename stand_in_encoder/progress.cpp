#include "stand_in_encoder/progress.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace qorvane::encoder {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The whole of `text` as a number.
template <typename Number>
std::optional<Number> WholeNumber(std::string_view text) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty()) return std::nullopt;
    return value;
}

// ffmpeg's "out_time": "HH:MM:SS.micro", negative before the first packet.
std::optional<double> ParseClock(std::string_view text) {
    const auto firstColon = text.find(':');
    const auto secondColon = text.find(':', firstColon + 1);
    if (firstColon == std::string_view::npos || secondColon == std::string_view::npos) return std::nullopt;
    const auto hours = WholeNumber<long>(text.substr(0, firstColon));
    const auto minutes = WholeNumber<long>(text.substr(firstColon + 1, secondColon - firstColon - 1));
    const auto seconds = WholeNumber<double>(text.substr(secondColon + 1));
    if (!hours || !minutes || !seconds || *hours < 0 || *minutes < 0 || *seconds < 0) return std::nullopt;
    return static_cast<double>(*hours) * 3600 + static_cast<double>(*minutes) * 60 + *seconds;
}

// Rounded down to whole tenths; what is not a number counts as nothing.
long long Tenths(double value) {
    if (!(value > 0)) return 0;
    return static_cast<long long>(std::floor(std::min(value, 1e15) * 10 + 1e-6));
}

std::string Percent(long tenths) { return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%"; }

}  // namespace

std::vector<FfmpegProgressBlock> FfmpegProgressReader::Feed(std::string_view piece) {
    std::vector<FfmpegProgressBlock> done;
    for (;;) {
        const auto end = piece.find('\n');
        if (end == std::string_view::npos) break;
        if (partial_.empty()) {
            TakeLine(piece.substr(0, end), done);
        } else {
            partial_.append(piece.substr(0, end));
            TakeLine(partial_, done);
            partial_.clear();
        }
        piece.remove_prefix(end + 1);
    }
    // A line is short; a stream without line ends is not ffmpeg's.
    if (partial_.size() + piece.size() <= 4096) partial_.append(piece);
    return done;
}

void FfmpegProgressReader::TakeLine(std::string_view line, std::vector<FfmpegProgressBlock>& done) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return;
    const std::string_view key = Trimmed(line.substr(0, equals));
    const std::string_view value = Trimmed(line.substr(equals + 1));
    if (key == "out_time_us") {
        const auto microseconds = WholeNumber<long long>(value);
        if (microseconds && *microseconds >= 0) block_.outTime = static_cast<double>(*microseconds) / 1e6;
    } else if (key == "out_time") {
        outTimeText_ = ParseClock(value);
    } else if (key == "speed") {
        std::string_view number = value;
        if (!number.empty() && number.back() == 'x') number.remove_suffix(1);
        const auto speed = WholeNumber<double>(Trimmed(number));
        if (speed && *speed >= 0) block_.speed = speed;
    } else if (key == "progress") {
        if (!block_.outTime) block_.outTime = outTimeText_;
        block_.end = value == "end";
        done.push_back(block_);
        block_ = {};
        outTimeText_.reset();
    }
}

std::optional<double> ParseProbedDuration(std::string_view text) {
    const auto seconds = WholeNumber<double>(Trimmed(text));
    if (!seconds || !(*seconds > 0) || !std::isfinite(*seconds)) return std::nullopt;
    return seconds;
}

std::string FormatClock(double seconds) {
    const long long tenths = Tenths(seconds);
    const long long whole = tenths / 10;
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%lld", whole / 3600, whole / 60 % 60, whole % 60,
                  tenths % 10);
    return text;
}

ProgressMeter::ProgressMeter(double duration, int passes)
    : duration_(duration > 0 ? duration : 1), passes_(std::max(passes, 1)) {}

std::string ProgressMeter::Update(int pass, const FfmpegProgressBlock& block) {
    if (pass > pass_ && pass < passes_) {
        pass_ = pass;
        position_ = 0;
    }
    if (block.outTime) position_ = std::max(position_, std::min(*block.outTime, duration_));
    speed_ = block.speed.value_or(0.0);
    // 100.0 % is kept for the end that has succeeded.
    const long passTenths = static_cast<long>(std::min<long long>(Tenths(position_ / duration_ * 100), 999));
    return Line(pass_, (pass_ * 1000L + passTenths) / passes_, passTenths, position_);
}

std::string ProgressMeter::Finished() const { return Line(passes_ - 1, 1000, 1000, duration_); }

std::string ProgressMeter::Line(int pass, long percentTenths, long passTenths, double position) const {
    char speed[32];
    std::snprintf(speed, sizeof speed, "%.1f", std::min(speed_, 1e6));
    std::string line = "progress: " + Percent(percentTenths) + " " + FormatClock(position) + "/" +
                       FormatClock(duration_) + " speed=" + speed + "x";
    if (passes_ > 1)
        line += " pass=" + std::to_string(pass + 1) + "/" + std::to_string(passes_) +
                " pass_percent=" + Percent(passTenths);
    return line;
}

std::string FinishedLine(std::string_view failure) {
    if (failure.empty()) return "finished: ok";
    std::string line = "finished: failed: ";
    for (const char c : failure) line += c == '\n' || c == '\r' ? ' ' : c;
    return line;
}

}  // namespace qorvane::encoder
