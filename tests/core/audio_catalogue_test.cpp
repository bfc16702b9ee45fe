#include "profiles/audio_catalogue.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace qorvane {
namespace {

// The descriptions are derived by hand from the codes: check each against
// its own code, so a row copied with the wrong text shows up.
TEST(AudioCatalogue, DescriptionsAgreeWithTheirCodes) {
    const std::regex code(R"((Q?)(\d+)_(\d+)_([12]))");
    for (int mode : {1, 3, 4, 7, 8}) {
        for (const AudioSettingRow& row : AudioSettingTable(mode)) {
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

TEST(AudioCatalogue, ExactAlignmentIncludingTheTwoOddRows) {
    EXPECT_EQ(CbrAudioSettings[0].description, "22.050kHz -  16kbps Mono");
    EXPECT_EQ(CbrAudioSettings[22].description, "48.000kHz - 64kbps Stereo");
    EXPECT_EQ(CbrAudioSettings[23].description, "48.000kHz - 96kbps Stereo");
    EXPECT_EQ(VbrAudioSettings[6].description, "48.000kHz -  64kbps Stereo");
    EXPECT_EQ(VoiceAudioSettings[0].description, " 8.000kHz -   4kbps Mono");
    EXPECT_EQ(PcmAudioSettings[0].description, "22.050kHz -  353kbps Mono");
    EXPECT_EQ(PcmAudioSettings[3].description, "44.100kHz - 1411kbps Stereo");
}

TEST(AudioCatalogue, LookupsNeverReadOutsideTheirTables) {
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
    EXPECT_FALSE(AudioSettingCode(6, 0));
    EXPECT_FALSE(AudioSettingCode(9, 0));
    EXPECT_FALSE(AudioSettingCode(-1, 0));

    EXPECT_EQ(FixedFrameSize(1)->width, "720");
    EXPECT_EQ(FixedFrameSize(9)->height, "120");
    EXPECT_FALSE(FixedFrameSize(0));
    EXPECT_FALSE(FixedFrameSize(10));
    EXPECT_EQ(PixelFormatName(4), "RGB 24");
    EXPECT_EQ(PixelFormatName(14), "YVYU");
    EXPECT_FALSE(PixelFormatName(0));
    EXPECT_FALSE(PixelFormatName(15));
}

TEST(AudioCatalogue, ModeRowsAndTheirPreselection) {
    struct Case { int mode; std::size_t rows; std::optional<int> selected; };
    for (const Case c : {Case{0, 0, std::nullopt}, Case{1, 27, 14}, Case{2, 27, 14}, Case{3, 8, 3},
                         Case{4, 10, 1}, Case{5, 10, 1}, Case{6, 1, 0}, Case{7, 7, 6}, Case{8, 4, 1}}) {
        const AudioModeRows rows = AudioModeDescriptions(c.mode);
        EXPECT_EQ(rows.descriptions.size(), c.rows) << c.mode;
        EXPECT_EQ(rows.defaultRow, c.selected) << c.mode;
    }
    EXPECT_EQ(AudioModeDescriptions(6).descriptions[0], "44.100kHz Stereo (16bit)");
    EXPECT_EQ(AudioModeDescriptions(1).descriptions[14], "44.100kHz -  64kbps Stereo");
}

}  // namespace
}  // namespace qorvane
