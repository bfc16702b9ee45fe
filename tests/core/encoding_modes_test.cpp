#include "profiles/encoding_modes.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace qorvane {
namespace {

// The descriptions are derived by hand from the codes: check each against
// its own code, so a row copied with the wrong text shows up.
TEST(EncodingModes, DescriptionsAgreeWithTheirCodes) {
    const std::regex code(R"((Q?)(\d+)_(\d+)_([12]))");
    for (const AudioModeInfo& mode : AudioModes()) {
        if (mode.setting != AudioSettingSource::ProfileRow) continue;
        for (const AudioSettingRow& row : mode.settings) {
            std::cmatch m;
            ASSERT_TRUE(std::regex_match(row.code.begin(), row.code.end(), m, code)) << row.code;
            const std::string desc(row.description);
            const std::string khz = m[3].str();
            EXPECT_NE(desc.find(khz == "22" ? "22.050kHz" : khz == "11" ? "11.025kHz"
                                : khz == "44" ? "44.100kHz" : khz + ".000kHz"),
                      std::string::npos) << desc;
            EXPECT_NE(desc.find(m[1].str() + m[2].str() + (m[1].length() ? " " : "kbps ")), std::string::npos)
                << desc;
            EXPECT_TRUE(desc.ends_with(m[4].str() == "1" ? " Mono" : " Stereo")) << desc;
        }
    }
}

TEST(EncodingModes, ExactAlignmentIncludingTheTwoOddRows) {
    EXPECT_EQ(CbrAudioSettings[0].description, "22.050kHz -  16kbps Mono");
    EXPECT_EQ(CbrAudioSettings[22].description, "48.000kHz - 64kbps Stereo");
    EXPECT_EQ(CbrAudioSettings[23].description, "48.000kHz - 96kbps Stereo");
    EXPECT_EQ(VbrAudioSettings[6].description, "48.000kHz -  64kbps Stereo");
    EXPECT_EQ(VoiceAudioSettings[0].description, " 8.000kHz -   4kbps Mono");
    EXPECT_EQ(PcmAudioSettings[0].description, "22.050kHz -  353kbps Mono");
    EXPECT_EQ(PcmAudioSettings[3].description, "44.100kHz - 1411kbps Stereo");
}

// A profile stores positions: a row moved or dropped would change what every
// saved profile means.
TEST(EncodingModes, EachAudioModeAtItsPositionWithItsSettings) {
    struct Expected {
        std::string_view text;
        const AudioSettingRow* settings;
        std::size_t rows;
    };
    const Expected expected[] = {
        {"ビデオのみ", nullptr, 0},
        {"1-pass CBR", CbrAudioSettings, 27},
        {"2-pass CBR", CbrAudioSettings, 27},
        {"Quality-based VBR", QualityAudioSettings, 8},
        {"Bit rate-based VBR", VbrAudioSettings, 10},
        {"Bit rate-based peak VBR", VbrAudioSettings, 10},
        {"WMA 9 Lossless Codec", nullptr, 1},
        {"WMA 9 Voice Codec", VoiceAudioSettings, 7},
        {"PCM", PcmAudioSettings, 4},
    };
    ASSERT_EQ(AudioModes().size(), std::size(expected));
    for (int mode = 0; mode < static_cast<int>(std::size(expected)); ++mode) {
        const AudioModeInfo* info = AudioModeInfoOf(mode);
        ASSERT_NE(info, nullptr) << mode;
        EXPECT_EQ(info->text, expected[mode].text) << mode;
        EXPECT_EQ(info->settings.size(), expected[mode].rows) << mode;
        if (expected[mode].settings) {
            EXPECT_EQ(info->settings.data(), expected[mode].settings) << mode;
        }
        if (info->defaultRow) {
            EXPECT_LT(static_cast<std::size_t>(*info->defaultRow), info->settings.size()) << mode;
        }
    }
}

TEST(EncodingModes, WhichVideoModesTakeABitRate) {
    const char* texts[] = {"オーディオのみ",    "1-pass CBR",         "2-pass CBR",
                           "Quality-based VBR", "Bit rate-based VBR", "Peak bit rate-based VBR",
                           "ISO MPEG-4 Video V1 Codec", "圧縮なし"};
    const bool takesBitrate[] = {false, true, true, false, true, true, true, false};
    ASSERT_EQ(VideoModes().size(), std::size(texts));
    for (int mode = 0; mode < static_cast<int>(std::size(texts)); ++mode) {
        EXPECT_EQ(VideoModeInfoOf(mode)->text, texts[mode]) << mode;
        EXPECT_EQ(VideoModeTakesBitrate(mode), takesBitrate[mode]) << mode;
    }
    EXPECT_FALSE(VideoModeTakesBitrate(-1));
    EXPECT_FALSE(VideoModeTakesBitrate(8));
}

TEST(EncodingModes, LookupsNeverReadOutsideTheirTables) {
    EXPECT_EQ(AudioSettingCode(1, 17), "128_44_2");
    EXPECT_EQ(AudioSettingCode(2, 26), "192_48_2");
    EXPECT_EQ(AudioSettingCode(3, 7), "Q98_48_2");
    EXPECT_EQ(AudioSettingCode(5, 9), "192_48_2");
    EXPECT_EQ(AudioSettingCode(7, 6), "20_22_1");
    EXPECT_EQ(AudioSettingCode(8, 3), "1411_44_2");
    EXPECT_FALSE(AudioSettingCode(1, 27));
    EXPECT_FALSE(AudioSettingCode(1, -1));
    EXPECT_FALSE(AudioSettingCode(8, 4));
    EXPECT_FALSE(AudioSettingCode(0, 0));
    EXPECT_FALSE(AudioSettingCode(6, 0));  // lossless: one fixed setting, not the profile's row
    EXPECT_FALSE(AudioSettingCode(9, 0));
    EXPECT_FALSE(AudioSettingCode(-1, 0));

    EXPECT_EQ(AudioModeInfoOf(-1), nullptr);
    EXPECT_EQ(AudioModeInfoOf(9), nullptr);
    EXPECT_EQ(VideoModeInfoOf(-1), nullptr);
    EXPECT_EQ(VideoModeInfoOf(8), nullptr);
}

}  // namespace
}  // namespace qorvane
