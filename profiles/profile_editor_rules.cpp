#include "profiles/profile_editor_rules.h"

#include <algorithm>

#include "platform/ui_text.h"

namespace qorvane {

int ClampToSlider(int value, int max) { return std::clamp(value, 0, max); }

namespace {

constexpr const char* kCustomSizeText = QORVANE_UI_TEXT("カスタム (%1x%2)");

}  // namespace

std::string CustomSizeItemText(const std::string& width, const std::string& height) {
    return UiText(kCustomSizeText, {width, height});
}

AudioModeRows AudioModeRowsOf(int audioMode) {
    const AudioModeInfo* mode = AudioModeInfoOf(audioMode);
    if (mode == nullptr) return {};
    return {mode->settings, mode->defaultRow};
}

std::optional<AudioModeRows> AudioModeChoice::pick(int mode) {
    if (mode == lastSeen_) return std::nullopt;
    lastSeen_ = mode;
    return AudioModeRowsOf(mode);
}

std::optional<int> QualityPresetOfVideoMode(int videoMode) {
    const VideoModeInfo* mode = VideoModeInfoOf(videoMode);
    if (mode == nullptr) return std::nullopt;
    return mode->qualityPreset;
}

}  // namespace qorvane
