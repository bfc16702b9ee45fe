// The stand-in encoder's option parser on any argument vector (the input
// split at NUL bytes): it answers with settings or with a reason, never
// both or neither; what it accepts lies inside the ranges the script
// documents; and accepted settings always give sound ffmpeg runs that read
// the input as a file, never as an option or a protocol.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "stand_in_encoder/encoder_options.h"
#include "stand_in_encoder/ffmpeg_command.h"

namespace {

using namespace qorvane::encoder;

[[noreturn]] void Fail() { __builtin_trap(); }

template <typename T>
void InRange(const std::optional<T>& value, T low, T high) {
    if (value && (*value < low || *value > high)) Fail();
}

void CheckSettings(const EncoderSettings& s) {
    if (s.input.empty() || s.output.empty()) Fail();
    if (s.audioOnly && s.videoOnly) Fail();
    if (!s.encodesAudio() && !s.encodesVideo()) Fail();
    if (s.audioMode < 0 || s.audioMode > 4 || s.videoMode < 0 || s.videoMode > 4) Fail();
    if (s.videoPreprocess < 0 || s.videoPreprocess > 18) Fail();
    InRange(s.videoQuality, 0, 100);
    InRange(s.performance, 0, 100);
    InRange(s.width, 1, 8192);
    InRange(s.height, 1, 8192);
    InRange(s.audioContent, 0, 3);
    InRange(s.videoBitrate, 1000L, 100'000'000L);
    InRange(s.videoPeakBitrate, 1000L, 100'000'000L);
    InRange(s.audioPeakBitrate, 1000L, 100'000'000L);
    InRange(s.keyDistanceSeconds, 0.0, 3600.0);
    if (s.keyDistanceSeconds && !(*s.keyDistanceSeconds > 0)) Fail();
    if (s.audioSetting) {
        const AudioSettingCode& code = *s.audioSetting;
        if (code.channels != 1 && code.channels != 2) Fail();
        if (code.sampleRate < 8000 || code.sampleRate > 48000) Fail();
    }
    if (s.pixelFormat) {
        const auto& names = PixelFormatNameList();
        if (std::find(names.begin(), names.end(), *s.pixelFormat) == names.end()) Fail();
    }
}

void CheckRuns(const EncoderSettings& s) {
    FfmpegTarget target;
    target.ffmpeg = "/usr/bin/ffmpeg";
    target.output = "/work/out.asf";
    target.passLog = "/work/pass";
    target.progress = "pipe:4";
    const std::vector<ArgumentVector> runs = BuildFfmpegRuns(s, target);
    if (runs.empty() || runs.size() > 2) Fail();
    for (const ArgumentVector& run : runs) {
        if (run.empty() || run.front() != target.ffmpeg) Fail();
        bool inputSeen = false;
        for (std::size_t i = 0; i + 1 < run.size(); ++i) {
            if (run[i] == "-i") {
                if (run[i + 1] != "file:" + s.input) Fail();
                inputSeen = true;
            }
        }
        if (!inputSeen) Fail();
    }
    if (runs.back().back() != "file:" + target.output) Fail();
    (void)RenderCommand(runs.back());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments;
    std::size_t start = 0;
    while (start <= text.size() && size > 0) {
        const std::size_t end = std::min(text.find('\0', start), text.size());
        arguments.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    const ParseOutcome outcome = ParseEncoderArguments(arguments);
    if (outcome.settings.has_value() == !outcome.error.empty()) Fail();
    if (!outcome.settings) return 0;
    CheckSettings(*outcome.settings);
    CheckRuns(*outcome.settings);
    return 0;
}
