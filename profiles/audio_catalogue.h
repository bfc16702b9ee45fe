#pragma once
// The catalogue: the only place where a list position stored in a profile
// becomes an encoder value or a text shown in the profile editor. The tables
// are part of the profile file format; their order never changes.

#include <optional>
#include <span>
#include <string_view>

namespace qorvane {

struct AudioSettingRow {
    std::string_view code;         // encoder value, e.g. "128_44_2"
    std::string_view description;  // editor text, e.g. "44.100kHz - 128kbps Stereo"
};

extern const AudioSettingRow CbrAudioSettings[27];
extern const AudioSettingRow VbrAudioSettings[10];
extern const AudioSettingRow QualityAudioSettings[8];
extern const AudioSettingRow VoiceAudioSettings[7];
extern const AudioSettingRow PcmAudioSettings[4];

// The single row of the lossless mode; it has no setting code.
inline constexpr std::string_view kLosslessDescription = "44.100kHz Stereo (16bit)";

inline constexpr int kAudioModeCount = 9;
inline constexpr int kVideoModeCount = 8;
extern const std::string_view AudioModeNames[kAudioModeCount];
extern const std::string_view VideoModeNames[kVideoModeCount];
extern const std::string_view VideoFilterNames[19];
extern const std::string_view PixelFormatNames[14];

// The setting table of an audio mode (empty for modes 0 and 6 and for a
// mode outside 0..8).
std::span<const AudioSettingRow> AudioSettingTable(int audioMode);

// What the editor's bit-rate list shows for a mode, in row order, and the
// row it selects when the mode is picked (nothing for mode 0).
struct AudioModeRows {
    std::span<const std::string_view> descriptions;
    std::optional<int> defaultRow;
};
AudioModeRows AudioModeDescriptions(int audioMode);

// The setting code of (mode, row); nothing for modes 0 and 6, for a mode
// outside 0..8 and for a row outside the mode's table.
std::optional<std::string_view> AudioSettingCode(int audioMode, int audioSetting);

// Width and height of a frame size position 1..9; nothing for 0 (source
// size), 10 (custom: the profile's own texts) and anything outside.
struct FrameSize {
    std::string_view width;
    std::string_view height;
};
extern const FrameSize FrameSizeTable[9];
std::optional<FrameSize> FixedFrameSize(int videoSize);

// Pixel format name for positions 1..14; nothing for 0 (automatic) and
// anything outside.
std::optional<std::string_view> PixelFormatName(int pixelFormat);

}  // namespace qorvane
