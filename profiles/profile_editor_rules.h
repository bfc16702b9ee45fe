#pragma once
// The rules of the profile editor that do not depend on its windows: what
// picking an audio or video mode does, the ranges of its sliders and the text
// of the custom size entry.

#include <optional>
#include <span>
#include <string>

#include "profiles/encoding_modes.h"

namespace qorvane {

// Slider ranges; a loaded value outside is shown (and saved) clamped.
inline constexpr int kVideoQualityMax = 100;
inline constexpr int kPerformanceMax = 5;
int ClampToSlider(int value, int max);

// The position of the custom entry in the size list.
inline constexpr int kCustomSizeItem = 10;

// "カスタム (WxH)" (in the user's language) with the texts as they are, empty ones included.
std::string CustomSizeItemText(const std::string& width, const std::string& height);

// What the bit-rate list holds for an audio mode, and the row it selects
// when the user picks the mode (none for "ビデオのみ" and outside the list).
struct AudioModeRows {
    std::span<const AudioSettingRow> rows;
    std::optional<int> defaultRow;
};
AudioModeRows AudioModeRowsOf(int audioMode);

// The bit-rate list follows the audio mode list, but only when the user
// really picks another mode: picking the mode last seen again keeps the row
// the user chose in the bit-rate list.
class AudioModeChoice {
public:
    explicit AudioModeChoice(int loadedMode) : lastSeen_(loadedMode) {}

    // The user picked a mode. Nothing when it is the mode last seen; else
    // the rows the bit-rate list now holds and the row to select (none for
    // "ビデオのみ").
    std::optional<AudioModeRows> pick(int mode);

    int lastSeen() const { return lastSeen_; }

private:
    int lastSeen_;
};

// The quality a picked video mode presets; nothing for the modes that
// leave the slider where it is.
std::optional<int> QualityPresetOfVideoMode(int videoMode);

}  // namespace qorvane
