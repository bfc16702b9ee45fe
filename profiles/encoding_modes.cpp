#include "profiles/encoding_modes.h"

#include "base/ini_file.h"
#include "platform/ui_text.h"

namespace qorvane {

// After "kHz - " the bit rate stands right-aligned; rows 22 and 23 of the CBR
// table were always written with one blank only, and stay so.
const AudioSettingRow CbrAudioSettings[27] = {
    {"16_22_1", "22.050kHz -  16kbps Mono"},     {"20_22_1", "22.050kHz -  20kbps Mono"},
    {"20_22_2", "22.050kHz -  20kbps Stereo"},   {"22_22_2", "22.050kHz -  22kbps Stereo"},
    {"32_22_2", "22.050kHz -  32kbps Stereo"},   {"20_32_1", "32.000kHz -  20kbps Mono"},
    {"32_32_2", "32.000kHz -  32kbps Stereo"},   {"40_32_2", "32.000kHz -  40kbps Stereo"},
    {"48_32_2", "32.000kHz -  48kbps Stereo"},   {"20_44_1", "44.100kHz -  20kbps Mono"},
    {"32_44_1", "44.100kHz -  32kbps Mono"},     {"48_44_1", "44.100kHz -  48kbps Mono"},
    {"32_44_2", "44.100kHz -  32kbps Stereo"},   {"48_44_2", "44.100kHz -  48kbps Stereo"},
    {"64_44_2", "44.100kHz -  64kbps Stereo"},   {"80_44_2", "44.100kHz -  80kbps Stereo"},
    {"96_44_2", "44.100kHz -  96kbps Stereo"},   {"128_44_2", "44.100kHz - 128kbps Stereo"},
    {"160_44_2", "44.100kHz - 160kbps Stereo"},  {"192_44_2", "44.100kHz - 192kbps Stereo"},
    {"256_44_2", "44.100kHz - 256kbps Stereo"},  {"320_44_2", "44.100kHz - 320kbps Stereo"},
    {"64_48_2", "48.000kHz - 64kbps Stereo"},    {"96_48_2", "48.000kHz - 96kbps Stereo"},
    {"128_48_2", "48.000kHz - 128kbps Stereo"},  {"160_48_2", "48.000kHz - 160kbps Stereo"},
    {"192_48_2", "48.000kHz - 192kbps Stereo"},
};

const AudioSettingRow VbrAudioSettings[10] = {
    {"48_44_2", "44.100kHz -  48kbps Stereo"},  {"64_44_2", "44.100kHz -  64kbps Stereo"},
    {"96_44_2", "44.100kHz -  96kbps Stereo"},  {"128_44_2", "44.100kHz - 128kbps Stereo"},
    {"160_44_2", "44.100kHz - 160kbps Stereo"}, {"192_44_2", "44.100kHz - 192kbps Stereo"},
    {"64_48_2", "48.000kHz -  64kbps Stereo"},  {"96_48_2", "48.000kHz -  96kbps Stereo"},
    {"128_48_2", "48.000kHz - 128kbps Stereo"}, {"192_48_2", "48.000kHz - 192kbps Stereo"},
};

const AudioSettingRow QualityAudioSettings[8] = {
    {"Q10_44_2", "44.100kHz - Q10 Stereo"}, {"Q25_44_2", "44.100kHz - Q25 Stereo"},
    {"Q50_44_2", "44.100kHz - Q50 Stereo"}, {"Q75_44_2", "44.100kHz - Q75 Stereo"},
    {"Q90_44_2", "44.100kHz - Q90 Stereo"}, {"Q98_44_2", "44.100kHz - Q98 Stereo"},
    {"Q90_48_2", "48.000kHz - Q90 Stereo"}, {"Q98_48_2", "48.000kHz - Q98 Stereo"},
};

// The sample rate stands right-aligned in six characters.
const AudioSettingRow VoiceAudioSettings[7] = {
    {"4_8_1", " 8.000kHz -   4kbps Mono"},   {"5_8_1", " 8.000kHz -   5kbps Mono"},
    {"8_8_1", " 8.000kHz -   8kbps Mono"},   {"10_11_1", "11.025kHz -  10kbps Mono"},
    {"12_16_1", "16.000kHz -  12kbps Mono"}, {"16_16_1", "16.000kHz -  16kbps Mono"},
    {"20_22_1", "22.050kHz -  20kbps Mono"},
};

// Bit rate = sample rate x 16 bits x channels, in a field of four.
const AudioSettingRow PcmAudioSettings[4] = {
    {"353_22_1", "22.050kHz -  353kbps Mono"},
    {"706_22_2", "22.050kHz -  706kbps Stereo"},
    {"706_44_1", "44.100kHz -  706kbps Mono"},
    {"1411_44_2", "44.100kHz - 1411kbps Stereo"},
};

namespace {

// The lossless codec has one setting, with a sample size of its own.
const AudioSettingRow kLosslessAudioSettings[1] = {{"Q100_44_2_16", "44.100kHz Stereo (16bit)"}};

constexpr EncoderOption kCbr[] = {{"-a_mode", "0"}};
constexpr EncoderOption kTwoPassCbr[] = {{"-a_mode", "1"}};
constexpr EncoderOption kQualityVbr[] = {{"-a_mode", "2"}};
constexpr EncoderOption kVbr[] = {{"-a_mode", "3"}};
constexpr EncoderOption kPeakVbr[] = {{"-a_mode", "4"}};
constexpr EncoderOption kLossless[] = {{"-a_codec", "WMA9LSL"}, {"-a_mode", "2"}};
constexpr EncoderOption kVoice[] = {{"-a_codec", "WMSP9"}, {"-a_mode", "0"}, {"-a_content", "1"}};
constexpr EncoderOption kPcm[] = {{"-a_codec", "PCM"}};

using enum AudioSettingSource;

const AudioModeInfo kAudioModes[] = {
    {.text = QORVANE_UI_TEXT("ビデオのみ"), .videoOnly = true, .arguments = {}, .setting = None, .settings = {},
     .defaultRow = std::nullopt, .takesPeak = false, .fixesBitrate = false},
    {.text = "1-pass CBR", .videoOnly = false, .arguments = kCbr, .setting = ProfileRow,
     .settings = CbrAudioSettings, .defaultRow = 14, .takesPeak = false, .fixesBitrate = true},
    {.text = "2-pass CBR", .videoOnly = false, .arguments = kTwoPassCbr, .setting = ProfileRow,
     .settings = CbrAudioSettings, .defaultRow = 14, .takesPeak = false, .fixesBitrate = true},
    {.text = "Quality-based VBR", .videoOnly = false, .arguments = kQualityVbr, .setting = ProfileRow,
     .settings = QualityAudioSettings, .defaultRow = 3, .takesPeak = false, .fixesBitrate = false},
    {.text = "Bit rate-based VBR", .videoOnly = false, .arguments = kVbr, .setting = ProfileRow,
     .settings = VbrAudioSettings, .defaultRow = 1, .takesPeak = false, .fixesBitrate = true},
    {.text = "Bit rate-based peak VBR", .videoOnly = false, .arguments = kPeakVbr, .setting = ProfileRow,
     .settings = VbrAudioSettings, .defaultRow = 1, .takesPeak = true, .fixesBitrate = true},
    {.text = "WMA 9 Lossless Codec", .videoOnly = false, .arguments = kLossless, .setting = OnlyRow,
     .settings = kLosslessAudioSettings, .defaultRow = 0, .takesPeak = false, .fixesBitrate = false},
    {.text = "WMA 9 Voice Codec", .videoOnly = false, .arguments = kVoice, .setting = ProfileRow,
     .settings = VoiceAudioSettings, .defaultRow = 6, .takesPeak = false, .fixesBitrate = true},
    {.text = "PCM", .videoOnly = false, .arguments = kPcm, .setting = ProfileRow, .settings = PcmAudioSettings,
     .defaultRow = 1, .takesPeak = false, .fixesBitrate = true},
};

constexpr EncoderOption kAudioOnly[] = {{"-audioonly", ""}};
constexpr EncoderOption kVideoCbr[] = {{"-v_mode", "0"}};
constexpr EncoderOption kVideoTwoPassCbr[] = {{"-v_mode", "1"}};
constexpr EncoderOption kVideoQualityVbr[] = {{"-v_mode", "2"}};
constexpr EncoderOption kVideoVbr[] = {{"-v_mode", "3"}};
constexpr EncoderOption kVideoPeakVbr[] = {{"-v_mode", "4"}};
constexpr EncoderOption kIsoMpeg4[] = {{"-v_codec", "MP41"}, {"-v_mode", "0"}};
constexpr EncoderOption kUncompressed[] = {{"-v_codec", "UNCOMP"}};

const VideoModeInfo kVideoModes[] = {
    {.text = QORVANE_UI_TEXT("オーディオのみ"), .arguments = kAudioOnly, .takesBitrate = false, .takesQuality = false,
     .takesPeak = false, .takesFrameOptions = false, .takesPixelFormat = false, .qualityPreset = std::nullopt},
    {.text = "1-pass CBR", .arguments = kVideoCbr, .takesBitrate = true, .takesQuality = true,
     .takesPeak = false, .takesFrameOptions = true, .takesPixelFormat = true, .qualityPreset = 75},
    {.text = "2-pass CBR", .arguments = kVideoTwoPassCbr, .takesBitrate = true, .takesQuality = true,
     .takesPeak = false, .takesFrameOptions = true, .takesPixelFormat = true, .qualityPreset = 75},
    {.text = "Quality-based VBR", .arguments = kVideoQualityVbr, .takesBitrate = false, .takesQuality = true,
     .takesPeak = false, .takesFrameOptions = true, .takesPixelFormat = true, .qualityPreset = 85},
    {.text = "Bit rate-based VBR", .arguments = kVideoVbr, .takesBitrate = true, .takesQuality = false,
     .takesPeak = false, .takesFrameOptions = true, .takesPixelFormat = true, .qualityPreset = std::nullopt},
    {.text = "Peak bit rate-based VBR", .arguments = kVideoPeakVbr, .takesBitrate = true,
     .takesQuality = false, .takesPeak = true, .takesFrameOptions = true, .takesPixelFormat = true,
     .qualityPreset = std::nullopt},
    {.text = "ISO MPEG-4 Video V1 Codec", .arguments = kIsoMpeg4, .takesBitrate = true, .takesQuality = false,
     .takesPeak = false, .takesFrameOptions = true, .takesPixelFormat = true, .qualityPreset = 75},
    {.text = QORVANE_UI_TEXT("圧縮なし"), .arguments = kUncompressed, .takesBitrate = false, .takesQuality = false,
     .takesPeak = false, .takesFrameOptions = false, .takesPixelFormat = true, .qualityPreset = std::nullopt},
};

template <typename Row>
const Row* RowOf(std::span<const Row> rows, int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= rows.size()) return nullptr;
    return &rows[static_cast<std::size_t>(position)];
}

}  // namespace

std::span<const AudioModeInfo> AudioModes() { return kAudioModes; }
std::span<const VideoModeInfo> VideoModes() { return kVideoModes; }

const AudioModeInfo* AudioModeInfoOf(int audioMode) { return RowOf(AudioModes(), audioMode); }
const VideoModeInfo* VideoModeInfoOf(int videoMode) { return RowOf(VideoModes(), videoMode); }

std::optional<int> AudioBitrateKbps(int audioMode, int audioSetting) {
    const AudioModeInfo* mode = AudioModeInfoOf(audioMode);
    if (mode == nullptr || !mode->fixesBitrate) return std::nullopt;
    const std::optional<std::string_view> code = AudioSettingCode(audioMode, audioSetting);
    if (!code) return std::nullopt;
    // A bit-rate code begins with its kbps: "128_44_2".
    return ParseWholeNumber(code->substr(0, code->find('_')));
}

bool VideoModeTakesBitrate(int videoMode) {
    const VideoModeInfo* mode = VideoModeInfoOf(videoMode);
    return mode != nullptr && mode->takesBitrate;
}

std::optional<std::string_view> AudioSettingCode(int audioMode, int audioSetting) {
    const AudioModeInfo* mode = AudioModeInfoOf(audioMode);
    if (mode == nullptr || mode->setting != AudioSettingSource::ProfileRow) return std::nullopt;
    const AudioSettingRow* row = RowOf(mode->settings, audioSetting);
    if (row == nullptr) return std::nullopt;
    return row->code;
}

}  // namespace qorvane
