#pragma once
// What each encoding mode means: one row per audio mode and one per video
// mode, in the order of the editor's mode lists (a profile stores the
// position). The editor, the command-line builder and the run planning read
// these rows; nothing else keeps its own list of modes.

#include <optional>
#include <span>
#include <string_view>

namespace qorvane {

// One row of an audio setting table.
struct AudioSettingRow {
    std::string_view code;         // encoder value, e.g. "128_44_2"
    std::string_view description;  // editor text, e.g. "44.100kHz - 128kbps Stereo"
};

// The audio setting tables. The descriptions are exact texts, blanks
// included; the row order is part of the profile file format.
extern const AudioSettingRow CbrAudioSettings[27];
extern const AudioSettingRow VbrAudioSettings[10];
extern const AudioSettingRow QualityAudioSettings[8];
extern const AudioSettingRow VoiceAudioSettings[7];
extern const AudioSettingRow PcmAudioSettings[4];

// One encoder argument with its value ("-a_mode" "0"); a switch has no value.
struct EncoderOption {
    std::string_view name;
    std::string_view value;
};

// Where the "-a_setting" value of an audio mode comes from.
enum class AudioSettingSource {
    None,        // no "-a_setting"
    ProfileRow,  // the code of the profile's row, left out when the row is outside the table
    OnlyRow,     // the code of the mode's single row, whatever row the profile holds
};

struct AudioModeInfo {
    std::string_view text;                      // item of the editor's audio mode list (Japanese words go through UiText)
    bool videoOnly;                             // no sound: "-videoonly" for a video input
    std::span<const EncoderOption> arguments;   // written first, in this order
    AudioSettingSource setting;                 // then "-a_setting"
    std::span<const AudioSettingRow> settings;  // the rows of the editor's bit-rate list
    std::optional<int> defaultRow;              // selected when the mode is picked
    bool takesPeak;                             // then "-a_peakbitrate" with the audio peak
    bool fixesBitrate;                          // the stream's bit rate is the row's kbps (an average for VBR)
};

struct VideoModeInfo {
    std::string_view text;                     // item of the editor's video mode list (Japanese words go through UiText)
    std::span<const EncoderOption> arguments;  // written first, in this order
    bool takesBitrate;                         // "-v_bitrate", one run per listed bit rate
    bool takesQuality;                         // "-v_quality"
    bool takesPeak;                            // "-v_peakbitrate" with the video peak
    bool takesFrameOptions;                    // key distance, filter, frame rate and size
    bool takesPixelFormat;                     // "-pixelformat"
    std::optional<int> qualityPreset;          // where picking the mode moves the quality slider
};

std::span<const AudioModeInfo> AudioModes();
std::span<const VideoModeInfo> VideoModes();

// The row of a mode; nullptr outside the table (a hand-edited profile).
const AudioModeInfo* AudioModeInfoOf(int audioMode);
const VideoModeInfo* VideoModeInfoOf(int videoMode);

// The kbps of the audio stream for a mode that fixes one (the leading
// number of the row's code); nothing for quality-based and lossless modes,
// the video-only mode, and outside the tables.
std::optional<int> AudioBitrateKbps(int audioMode, int audioSetting);

// Whether the encoder receives a video bit rate in this mode, so that a
// job makes one run per listed bit rate; false outside the table.
bool VideoModeTakesBitrate(int videoMode);

// The code of the profile's row for the modes whose "-a_setting" comes from
// it; nothing for the other modes, outside the table and for a row outside
// the mode's settings.
std::optional<std::string_view> AudioSettingCode(int audioMode, int audioSetting);

}  // namespace qorvane
