#include "profiles/profile_editor_rules.h"

#include <gtest/gtest.h>

#include "profiles/editor_key_filters.h"

namespace qorvane {
namespace {

TEST(AudioModeChoice, ReselectingTheModeLastSeenKeepsTheListOtherModesRefillIt) {
    AudioModeChoice choice(1);
    EXPECT_FALSE(choice.pick(1).has_value());

    const auto quality = choice.pick(3);
    ASSERT_TRUE(quality.has_value());
    EXPECT_EQ(quality->rows.size(), 8u);
    EXPECT_EQ(quality->defaultRow, 3);
    EXPECT_EQ(choice.lastSeen(), 3);

    // Back to the first mode: a fresh list with that mode's preset row.
    const auto cbr = choice.pick(1);
    ASSERT_TRUE(cbr.has_value());
    EXPECT_EQ(cbr->rows.size(), 27u);
    EXPECT_EQ(cbr->defaultRow, 14);
}

TEST(AudioModeChoice, PresetRowsOfEveryMode) {
    AudioModeChoice choice(-1);
    const std::optional<int> expected[] = {std::nullopt, 14, 14, 3, 1, 1, 0, 6, 1};
    for (int mode = 0; mode < static_cast<int>(AudioModes().size()); ++mode) {
        const auto rows = choice.pick(mode);
        ASSERT_TRUE(rows.has_value()) << mode;
        EXPECT_EQ(rows->defaultRow, expected[mode]) << mode;
    }
    const auto lossless = AudioModeChoice(0).pick(6);
    ASSERT_EQ(lossless->rows.size(), 1u);
    EXPECT_EQ(lossless->rows[0].description, "44.100kHz Stereo (16bit)");
    EXPECT_TRUE(AudioModeChoice(1).pick(0)->rows.empty());
}

TEST(ProfileEditorRules, VideoModeQualityPresets) {
    EXPECT_EQ(QualityPresetOfVideoMode(1), 75);
    EXPECT_EQ(QualityPresetOfVideoMode(2), 75);
    EXPECT_EQ(QualityPresetOfVideoMode(6), 75);
    EXPECT_EQ(QualityPresetOfVideoMode(3), 85);
    for (int mode : {0, 4, 5, 7}) EXPECT_FALSE(QualityPresetOfVideoMode(mode).has_value()) << mode;
}

TEST(ProfileEditorRules, SlidersClampAndCustomSizeText) {
    EXPECT_EQ(ClampToSlider(150, kVideoQualityMax), 100);
    EXPECT_EQ(ClampToSlider(-3, kVideoQualityMax), 0);
    EXPECT_EQ(ClampToSlider(9, kPerformanceMax), 5);
    EXPECT_EQ(ClampToSlider(60, kVideoQualityMax), 60);
    EXPECT_EQ(CustomSizeItemText("320", "240"), "カスタム (320x240)");
    EXPECT_EQ(CustomSizeItemText("", "240"), "カスタム (x240)");
}

TEST(EditorKeyFilters, EachFieldTakesItsOwnCharacters) {
    for (auto filter : {EditorKeyFilter::Digits, EditorKeyFilter::BitRates, EditorKeyFilter::FrameRate}) {
        EXPECT_TRUE(IsKeyAccepted(filter, U'0'));
        EXPECT_TRUE(IsKeyAccepted(filter, U'9'));
        EXPECT_TRUE(IsKeyAccepted(filter, 8));  // backspace
        for (char32_t refused : {U'a', U'-', U' ', U'\t', U'\r', U'\x1B', U'\x7F', U'５'}) {
            EXPECT_FALSE(IsKeyAccepted(filter, refused)) << static_cast<int>(refused);
        }
    }
    EXPECT_TRUE(IsKeyAccepted(EditorKeyFilter::BitRates, U','));
    EXPECT_FALSE(IsKeyAccepted(EditorKeyFilter::BitRates, U'.'));
    EXPECT_TRUE(IsKeyAccepted(EditorKeyFilter::FrameRate, U'.'));
    EXPECT_FALSE(IsKeyAccepted(EditorKeyFilter::FrameRate, U','));
    EXPECT_FALSE(IsKeyAccepted(EditorKeyFilter::Digits, U','));
    EXPECT_FALSE(IsKeyAccepted(EditorKeyFilter::Digits, U'.'));
}

}  // namespace
}  // namespace qorvane
