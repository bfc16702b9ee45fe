#include "profiles/profile_editor_rules.h"

#include <algorithm>

namespace qorvane {

int ClampToSlider(int value, int max) { return std::clamp(value, 0, max); }

std::string CustomSizeItemText(const std::string& width, const std::string& height) {
    return "カスタム (" + width + "x" + height + ")";
}

std::optional<AudioModeRows> AudioModeChoice::pick(int mode) {
    if (mode == lastSeen_) return std::nullopt;
    lastSeen_ = mode;
    return AudioModeDescriptions(mode);
}

std::optional<int> QualityPresetOfVideoMode(int videoMode) {
    switch (videoMode) {
        case 1:
        case 2:
        case 6: return 75;
        case 3: return 85;
        default: return std::nullopt;
    }
}

}  // namespace qorvane
