#include "stand_in_encoder/encoder_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <map>
#include <string_view>

#include "encode/media_inputs.h"
#include "stand_in_encoder/audio_plan.h"

namespace qorvane::encoder {

namespace {

std::string Lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

// Whole decimal numbers only: no sign, no blanks, no trailing text.
template <typename Int>
std::optional<Int> ParseWhole(std::string_view text) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text.front()))) return std::nullopt;
    Int value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// A plain positive decimal such as "8", "0.5" or "29.97" (no exponent, no sign).
std::optional<double> ParsePositiveDecimal(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos ||
        std::count(text.begin(), text.end(), '.') > 1 || text.front() == '.' || text.back() == '.')
        return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !(value > 0)) return std::nullopt;
    return value;
}

std::optional<int> SampleRateOfCode(int khz) {
    switch (khz) {
        case 8: return 8000;
        case 11: return 11025;
        case 16: return 16000;
        case 22: return 22050;
        case 32: return 32000;
        case 44: return 44100;
        case 48: return 48000;
        default: return std::nullopt;
    }
}

std::vector<std::string_view> SplitUnderscores(std::string_view text) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto cut = text.find('_');
        parts.push_back(text.substr(0, cut));
        if (cut == std::string_view::npos) return parts;
        text.remove_prefix(cut + 1);
    }
}

// Checks that the options fit together; empty when they do.
std::string CheckCombination(const EncoderSettings& s) {
    if (s.audioOnly && s.videoOnly) return "-audioonly and -videoonly exclude each other";
    if (!s.encodesAudio() && !s.encodesVideo()) return "nothing to encode: an audio input with -videoonly";
    if (!s.audioSetting) return {};
    return AudioCodecOf(s).check(*s.audioSetting, s.audioMode);
}

}  // namespace

std::optional<AudioSettingCode> ParseAudioSettingCode(const std::string& code) {
    const auto parts = SplitUnderscores(code);
    if (parts.size() != 3 && parts.size() != 4) return std::nullopt;
    AudioSettingCode result;
    std::string_view rate = parts[0];
    if (!rate.empty() && rate.front() == 'Q') {
        result.quality = true;
        rate.remove_prefix(1);
    }
    const auto value = ParseWhole<int>(rate);
    const auto khz = ParseWhole<int>(parts[1]);
    const auto channels = ParseWhole<int>(parts[2]);
    if (!value || !khz || !channels) return std::nullopt;
    const auto sampleRate = SampleRateOfCode(*khz);
    if (!sampleRate || (*channels != 1 && *channels != 2)) return std::nullopt;
    if (result.quality ? *value > 100 : (*value == 0 || *value > 1536)) return std::nullopt;
    result.value = *value;
    result.sampleRate = *sampleRate;
    result.channels = *channels;
    if (parts.size() == 4) {
        const auto bits = ParseWhole<int>(parts[3]);
        if (!bits || !result.quality || (*bits != 16 && *bits != 24)) return std::nullopt;
        result.bitsPerSample = *bits;
    }
    return result;
}

const std::vector<std::string>& PixelFormatNameList() {
    static const std::vector<std::string> names = {
        "I420",    "IYUV",    "RGB 1", "RGB 24", "RGB 32", "RGB 4", "RGB 555",
        "RGB 565", "RGB 8",   "UYVY",  "YUY2",   "YV12",   "YVU9",  "YVYU"};
    return names;
}

ParseOutcome ParseEncoderArguments(const std::vector<std::string>& arguments, const InputKindReader& readKind) {
    EncoderSettings s;
    using Setter = std::function<bool(const std::string&)>;  // false: the value is not accepted

    auto whole = [](auto& field, long low, long high) {
        return [&field, low, high](const std::string& text) {
            const auto value = ParseWhole<long>(text);
            if (!value || *value < low || *value > high) return false;
            field = static_cast<std::remove_reference_t<decltype(field)>>(*value);
            return true;
        };
    };
    auto wholeOpt = [](auto& field, long low, long high) {
        return [&field, low, high](const std::string& text) {
            const auto value = ParseWhole<long>(text);
            if (!value || *value < low || *value > high) return false;
            field = static_cast<typename std::remove_reference_t<decltype(field)>::value_type>(*value);
            return true;
        };
    };
    constexpr long kMaxBitrate = 100'000'000;

    const std::map<std::string, Setter> valued = {
        {"-input", [&](const std::string& v) { s.input = v; return !v.empty(); }},
        {"-output", [&](const std::string& v) { s.output = v; return !v.empty(); }},
        {"-a_codec",
         [&](const std::string& v) {
             s.audioCodec = FindAudioCodec(v);
             return s.audioCodec != nullptr;
         }},
        {"-a_mode", whole(s.audioMode, 0, 4)},
        {"-a_setting",
         [&](const std::string& v) {
             s.audioSetting = ParseAudioSettingCode(v);
             return s.audioSetting.has_value();
         }},
        {"-a_peakbitrate", wholeOpt(s.audioPeakBitrate, 1000, kMaxBitrate)},
        {"-a_content", wholeOpt(s.audioContent, 0, 3)},
        {"-v_codec",
         [&](const std::string& v) {
             static const std::map<std::string, VideoCodecName> names = {
                 {"WMV9", VideoCodecName::Wmv9},       {"WMV8", VideoCodecName::Wmv8},
                 {"WMV7", VideoCodecName::Wmv7},       {"MP43", VideoCodecName::MsMpeg4v3},
                 {"MP41", VideoCodecName::IsoMpeg4},   {"MP4S", VideoCodecName::IsoMpeg4},
                 {"UNCOMP", VideoCodecName::Uncompressed}};
             const auto found = names.find(v);
             if (found == names.end()) return false;
             s.videoCodec = found->second;
             return true;
         }},
        {"-v_mode", whole(s.videoMode, 0, 4)},
        {"-v_bitrate", wholeOpt(s.videoBitrate, 1000, kMaxBitrate)},
        {"-v_quality", wholeOpt(s.videoQuality, 0, 100)},
        {"-v_keydist",
         [&](const std::string& v) {
             s.keyDistanceSeconds = ParsePositiveDecimal(v);
             return s.keyDistanceSeconds.has_value() && *s.keyDistanceSeconds <= 3600;
         }},
        {"-v_peakbitrate", wholeOpt(s.videoPeakBitrate, 1000, kMaxBitrate)},
        {"-v_preproc", whole(s.videoPreprocess, 0, 18)},
        {"-v_framerate",
         [&](const std::string& v) {
             const auto rate = ParsePositiveDecimal(v);
             if (!rate || *rate > 1000) return false;
             s.frameRate = v;
             return true;
         }},
        {"-v_width", wholeOpt(s.width, 1, 8192)},
        {"-v_height", wholeOpt(s.height, 1, 8192)},
        {"-pixelformat",
         [&](const std::string& v) {
             const auto& names = PixelFormatNameList();
             if (std::find(names.begin(), names.end(), v) == names.end()) return false;
             s.pixelFormat = v;
             return true;
         }},
        {"-v_performance", wholeOpt(s.performance, 0, 100)},
        {"-s_config",
         [&](const std::string& v) {
             s.debug = v == "debug";
             return s.debug;
         }},
    };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "-audioonly") {
            s.audioOnly = true;
            continue;
        }
        if (option == "-videoonly") {
            s.videoOnly = true;
            continue;
        }
        const auto found = valued.find(option);
        if (found == valued.end()) return {std::nullopt, "Unknown option: \"" + option + "\""};
        if (i + 1 >= arguments.size()) return {std::nullopt, "Missing value for " + option};
        const std::string& value = arguments[++i];
        if (!found->second(value))
            return {std::nullopt, "Invalid value for " + option + ": \"" + value + "\""};
    }

    if (s.input.empty()) return {std::nullopt, "Missing option: -input"};
    if (s.output.empty()) return {std::nullopt, "Missing option: -output"};

    // The front end's table of inputs; a container that may hold either is
    // what its content says, where the caller reads it.
    const MediaInputType* type = FindMediaInputType(s.input);
    if (type == nullptr) return {std::nullopt, "Unsupported input type: \"" + s.input + "\""};
    const MediaKind kind = type->byContent && readKind ? readKind(s.input).value_or(type->kind) : type->kind;
    s.inputKind = kind == MediaKind::Video ? InputKind::Video : InputKind::Audio;

    const auto outDot = s.output.find_last_of("./");
    const std::string outputExtension =
        outDot != std::string::npos && s.output[outDot] == '.' ? Lower(s.output.substr(outDot)) : "";
    if (outputExtension != ".wma" && outputExtension != ".wmv" && outputExtension != ".asf")
        return {std::nullopt, "The output must be a .wma, .wmv or .asf file: \"" + s.output + "\""};

    if (const std::string problem = CheckCombination(s); !problem.empty())
        return {std::nullopt, problem};
    return {s, {}};
}

}  // namespace qorvane::encoder
