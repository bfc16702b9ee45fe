#include "encode/command_line.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <system_error>

#include "base/ascii_case.h"
#include "encode/media_inputs.h"
#include "profiles/encoding_modes.h"
#include "profiles/video_catalogue.h"

namespace qorvane {

namespace {

class ArgumentList {
public:
    explicit ArgumentList(std::vector<EncoderArgument>& out) : out_(out) {}
    ArgumentList& add(std::string text) {
        out_.push_back({std::move(text), false});
        return *this;
    }
    ArgumentList& quoted(std::string text) {
        out_.push_back({std::move(text), true});
        return *this;
    }

private:
    std::vector<EncoderArgument>& out_;
};

void AppendOptions(ArgumentList& args, std::span<const EncoderOption> options) {
    for (const EncoderOption& option : options) {
        args.add(std::string(option.name));
        if (!option.value.empty()) args.add(std::string(option.value));
    }
}

// A mode outside the table (hand-edited file) writes no video argument.
void AppendVideoBlock(ArgumentList& args, const EncoderRunInput& run, const ProfileSettings& p) {
    const VideoModeInfo* mode = VideoModeInfoOf(p.VideoMode);
    if (mode == nullptr) return;
    AppendOptions(args, mode->arguments);
    if (mode->takesBitrate && !run.videoBitrateValue.empty()) args.add("-v_bitrate").add(run.videoBitrateValue);
    if (mode->takesQuality) args.add("-v_quality").add(std::to_string(p.VideoQuality));
    if (mode->takesFrameOptions && !p.KeyFrame.empty()) args.add("-v_keydist").add(p.KeyFrame);
    if (mode->takesPeak && !p.VideoPeak.empty()) args.add("-v_peakbitrate").add(p.VideoPeak);
    if (mode->takesFrameOptions) {
        if (p.VideoFilter > 0) {
            args.add("-v_preproc").add(std::to_string(p.VideoFilter));
        } else {
            if (!p.FrameRate.empty()) args.add("-v_framerate").add(p.FrameRate);
            if (p.VideoSize == 10) {
                args.add("-v_width").add(p.CustomWidth).add("-v_height").add(p.CustomHeight);
            } else if (const auto size = FixedFrameSize(p.VideoSize)) {
                args.add("-v_width").add(std::string(size->width));
                args.add("-v_height").add(std::string(size->height));
            }
        }
    }
    if (mode->takesPixelFormat) {
        if (const auto name = PixelFormatName(p.PixelFormat)) args.add("-pixelformat").quoted(std::string(*name));
    }
}

// A mode below the list (hand-edited file) counts as video only; one past it
// writes no audio argument.
void AppendAudioBlock(ArgumentList& args, InputClass input, const ProfileSettings& p) {
    const AudioModeInfo* mode = AudioModeInfoOf(std::max(p.AudioMode, 0));
    if (mode == nullptr) return;
    if (mode->videoOnly) {
        if (input == InputClass::Video) args.add("-videoonly");
        return;
    }
    AppendOptions(args, mode->arguments);
    std::optional<std::string_view> code;
    if (mode->setting == AudioSettingSource::ProfileRow) code = AudioSettingCode(p.AudioMode, p.AudioSetting);
    if (mode->setting == AudioSettingSource::OnlyRow) code = mode->settings.front().code;
    if (code) args.add("-a_setting").add(std::string(*code));
    if (mode->takesPeak && !p.AudioPeak.empty()) args.add("-a_peakbitrate").add(p.AudioPeak);
}

}  // namespace

InputClass ClassifyInput(const std::filesystem::path& input) {
    const std::optional<MediaKind> kind = ClassifyMediaFile(input);
    if (!kind) return InputClass::Unsupported;
    return *kind == MediaKind::Video ? InputClass::Video : InputClass::Audio;
}

std::string EncoderCommandLine::text() const {
    std::string out;
    for (const EncoderArgument& arg : arguments) {
        if (!out.empty()) out += ' ';
        if (arg.quoted) {
            out += '"';
            out += arg.text;
            out += '"';
        } else {
            out += arg.text;
        }
    }
    return out;
}

std::vector<std::string> EncoderCommandLine::argv() const {
    std::vector<std::string> out;
    out.reserve(arguments.size());
    for (const EncoderArgument& arg : arguments) out.push_back(arg.text);
    return out;
}

std::optional<EncoderCommandLine> BuildEncoderCommandLine(const EncoderRunInput& run,
                                                          const ProfileSettings& profile,
                                                          CommandLineRefusal* why) {
    const auto refuse = [why](CommandLineRefusal reason) {
        if (why) *why = reason;
        return std::nullopt;
    };
    std::error_code ec;
    if (!std::filesystem::exists(run.inputPath, ec)) return refuse(CommandLineRefusal::InputMissing);
    const InputClass input = ClassifyInput(run.inputPath);
    if (input == InputClass::Unsupported) return refuse(CommandLineRefusal::UnsupportedInput);

    EncoderCommandLine line;
    const bool wmv = input == InputClass::Video && profile.VideoMode > 0;
    line.outputName = NameWithoutExtension(run.inputPath) + run.nameSuffix + (wmv ? ".wmv" : ".wma");

    const std::string inputText = run.inputPath.string();
    const auto hasQuote = [](const std::string& text) { return text.find('"') != std::string::npos; };
    if (hasQuote(run.scriptPath) || hasQuote(inputText) || hasQuote(line.outputName)) {
        return refuse(CommandLineRefusal::QuoteInPath);
    }

    ArgumentList args(line.arguments);
    args.add(kScriptHostCommand).quoted(run.scriptPath);
    args.add("-input").quoted(inputText).add("-output").quoted(line.outputName);
    if (input == InputClass::Video) AppendVideoBlock(args, run, profile);
    AppendAudioBlock(args, input, profile);
    if (input == InputClass::Video && profile.Performance < 6) {
        // In 64 bits: a hand-edited step far below 0 is written as it is, not wrapped.
        args.add("-v_performance").add(std::to_string(static_cast<long long>(profile.Performance) * 20));
    }
    if (run.debugMode) args.add("-s_config").add("debug");
    return line;
}

std::filesystem::path ResolveFullPath(const std::filesystem::path& stored) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(stored, ec);
    if (ec) absolute = stored;
    return absolute.lexically_normal();
}

}  // namespace qorvane
