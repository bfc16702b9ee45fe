#include "profiles/audio_catalogue.h"

#include <array>
#include <iterator>

namespace qorvane {

// The descriptions are exact texts, blanks included: the bit rate stands
// right-aligned after "kHz - " (rows 22 and 23 of the CBR table were always
// written with one blank only, and stay so).
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

const AudioSettingRow VoiceAudioSettings[7] = {
    {"4_8_1", " 8.000kHz -   4kbps Mono"},   {"5_8_1", " 8.000kHz -   5kbps Mono"},
    {"8_8_1", " 8.000kHz -   8kbps Mono"},   {"10_11_1", "11.025kHz -  10kbps Mono"},
    {"12_16_1", "16.000kHz -  12kbps Mono"}, {"16_16_1", "16.000kHz -  16kbps Mono"},
    {"20_22_1", "22.050kHz -  20kbps Mono"},
};

const AudioSettingRow PcmAudioSettings[4] = {
    {"353_22_1", "22.050kHz -  353kbps Mono"},
    {"706_22_2", "22.050kHz -  706kbps Stereo"},
    {"706_44_1", "44.100kHz -  706kbps Mono"},
    {"1411_44_2", "44.100kHz - 1411kbps Stereo"},
};

const std::string_view AudioModeNames[kAudioModeCount] = {
    "ビデオのみ",           "1-pass CBR",           "2-pass CBR",
    "Quality-based VBR",    "Bit rate-based VBR",   "Bit rate-based peak VBR",
    "WMA 9 Lossless Codec", "WMA 9 Voice Codec",    "PCM",
};

const std::string_view VideoModeNames[kVideoModeCount] = {
    "オーディオのみ",     "1-pass CBR",         "2-pass CBR",
    "Quality-based VBR",  "Bit rate-based VBR", "Peak bit rate-based VBR",
    "ISO MPEG-4 Video V1 Codec", "圧縮なし",
};

const std::string_view VideoFilterNames[19] = {
    "なし",
    "Deinterlace : sizex1 - fpsx1",
    "Deinterlace : size/2 - fpsx1",
    "Deinterlace : size/2 - fpsx2",
    "Deinterlace : height/2 - fpsx2",
    "Inverse telecine : fps 30 -> 24",
    "Inverse telecine : top AA",
    "Inverse telecine : top BB",
    "Inverse telecine : top BC",
    "Inverse telecine : top CD",
    "Inverse telecine : top DD",
    "Inverse telecine : bottom AA",
    "Inverse telecine : bottom BB",
    "Inverse telecine : bottom BC",
    "Inverse telecine : bottom CD",
    "Inverse telecine : bottom DD",
    "Interlaced",
    "Interlaced : top",
    "Interlaced : bottom",
};

const std::string_view PixelFormatNames[14] = {
    "I420",    "IYUV",    "RGB 1", "RGB 24", "RGB 32", "RGB 4", "RGB 555",
    "RGB 565", "RGB 8",   "UYVY",  "YUY2",   "YV12",   "YVU9",  "YVYU",
};

const FrameSize FrameSizeTable[9] = {
    {"720", "480"}, {"640", "480"}, {"352", "288"}, {"352", "240"}, {"320", "240"},
    {"256", "240"}, {"176", "144"}, {"176", "120"}, {"160", "120"},
};

namespace {

// Descriptions per table, built once from the rows so the two never differ.
template <std::size_t N>
std::array<std::string_view, N> Descriptions(const AudioSettingRow (&rows)[N]) {
    std::array<std::string_view, N> out{};
    for (std::size_t i = 0; i < N; ++i) out[i] = rows[i].description;
    return out;
}

const auto kCbrDescriptions = Descriptions(CbrAudioSettings);
const auto kVbrDescriptions = Descriptions(VbrAudioSettings);
const auto kQualityDescriptions = Descriptions(QualityAudioSettings);
const auto kVoiceDescriptions = Descriptions(VoiceAudioSettings);
const auto kPcmDescriptions = Descriptions(PcmAudioSettings);
const std::string_view kLosslessRows[1] = {kLosslessDescription};

}  // namespace

std::span<const AudioSettingRow> AudioSettingTable(int audioMode) {
    switch (audioMode) {
        case 1:
        case 2: return CbrAudioSettings;
        case 3: return QualityAudioSettings;
        case 4:
        case 5: return VbrAudioSettings;
        case 7: return VoiceAudioSettings;
        case 8: return PcmAudioSettings;
        default: return {};
    }
}

AudioModeRows AudioModeDescriptions(int audioMode) {
    switch (audioMode) {
        case 1:
        case 2: return {kCbrDescriptions, 14};
        case 3: return {kQualityDescriptions, 3};
        case 4:
        case 5: return {kVbrDescriptions, 1};
        case 6: return {kLosslessRows, 0};
        case 7: return {kVoiceDescriptions, 6};
        case 8: return {kPcmDescriptions, 1};
        default: return {{}, std::nullopt};
    }
}

std::optional<std::string_view> AudioSettingCode(int audioMode, int audioSetting) {
    const auto table = AudioSettingTable(audioMode);
    if (audioSetting < 0 || static_cast<std::size_t>(audioSetting) >= table.size()) return std::nullopt;
    return table[static_cast<std::size_t>(audioSetting)].code;
}

std::optional<FrameSize> FixedFrameSize(int videoSize) {
    if (videoSize < 1 || videoSize > static_cast<int>(std::size(FrameSizeTable))) return std::nullopt;
    return FrameSizeTable[videoSize - 1];
}

std::optional<std::string_view> PixelFormatName(int pixelFormat) {
    if (pixelFormat < 1 || pixelFormat > static_cast<int>(std::size(PixelFormatNames))) return std::nullopt;
    return PixelFormatNames[pixelFormat - 1];
}

}  // namespace qorvane
