#include "stand_in_encoder/audio_plan.h"

#include <gtest/gtest.h>

#include <cmath>

#include "profiles/encoding_modes.h"

namespace qorvane::encoder {
namespace {

EncoderSettings AudioSettings(const std::string& code, std::string_view codec = "WMA9STD", int mode = 0) {
    EncoderSettings s;
    s.input = "/in/a.wav";
    s.output = "a.wma";
    s.audioCodec = FindAudioCodec(codec);
    s.audioMode = mode;
    s.audioSetting = ParseAudioSettingCode(code);
    return s;
}

// What the file spends per second on a WMA stream: ffmpeg's frame size from
// the codec rate, and the packets that the muxer fills with them.
double WmaFileRate(const AudioPlan& plan) {
    const int frameLength = WmaFrameLength(plan.sampleRate);
    const long block = plan.codecBitrate * frameLength / (plan.sampleRate * 8L);
    // Two frames to a packet, nothing left over.
    EXPECT_EQ(plan.packetSize, kAsfPacketHeader + 2 * (block + kAsfPayloadHeader)) << plan.codecBitrate;
    const double framesPerSecond = static_cast<double>(plan.sampleRate) / frameLength;
    return plan.packetSize / 2.0 * 8.0 * framesPerSecond;
}

TEST(AudioPlan, WmaRowsFillTheirPacketsAndSpendTheRequestedRate) {
    int wmaRows = 0;
    for (const auto& row : CbrAudioSettings) {
        const auto code = ParseAudioSettingCode(std::string(row.code));
        ASSERT_TRUE(code);
        const AudioPlan plan = PlanAudio(AudioSettings(std::string(row.code)));
        const long nominal = code->value * 1000L;
        EXPECT_EQ(plan.nominalBitrate, nominal);
        if (plan.encoder != "wmav2") continue;
        ++wmaRows;
        EXPECT_EQ(plan.sampleRate, code->sampleRate) << row.code;
        EXPECT_EQ(plan.channels, code->channels) << row.code;
        EXPECT_GE(plan.codecBitrate, 24000) << row.code;
        EXPECT_LT(plan.codecBitrate, nominal) << row.code;
        const double rate = WmaFileRate(plan);
        EXPECT_LE(rate, nominal) << row.code;
        EXPECT_GT(rate, nominal * 0.99) << row.code;
    }
    EXPECT_EQ(wmaRows, 21);  // every row from 32 kbps up
}

TEST(AudioPlan, TheDefaultPacketSizeWouldNearlyDoubleTheRate) {
    // The reason for sizing packets: one 1857-byte frame per 3200-byte packet.
    const long block = 320000L * 2048 / (44100 * 8);
    EXPECT_EQ(block, 1857);
    EXPECT_NEAR(3200.0 * 8 * 44100 / 2048, 551000, 1000);
    const AudioPlan plan = PlanAudio(AudioSettings("320_44_2"));
    EXPECT_NEAR(WmaFileRate(plan), 320000, 3200);
}

TEST(AudioPlan, RatesBelowWmasFloorUseAac) {
    for (const char* code : {"16_22_1", "20_22_1", "20_22_2", "22_22_2", "20_32_1", "20_44_1"}) {
        const AudioPlan plan = PlanAudio(AudioSettings(code));
        const auto parsed = ParseAudioSettingCode(code);
        EXPECT_EQ(plan.encoder, "aac") << code;
        EXPECT_EQ(plan.channels, parsed->channels) << code;
        EXPECT_EQ(plan.sampleRate, parsed->sampleRate > 32000 ? 22050 : parsed->sampleRate) << code;
        // The container's share comes off the codec's rate.
        EXPECT_LT(plan.codecBitrate, plan.nominalBitrate) << code;
        EXPECT_GT(plan.codecBitrate, plan.nominalBitrate / 2) << code;
        EXPECT_GE(plan.packetSize, kAsfMinPacket) << code;
    }
}

TEST(AudioPlan, LosslessAndPcmAreSixteenBitPcmInWholePackets) {
    AudioPlan plan = PlanAudio(AudioSettings("Q100_44_2_16", "WMA9LSL", 2));
    EXPECT_EQ(plan.encoder, "pcm_s16le");
    EXPECT_EQ(plan.sampleRate, 44100);
    EXPECT_EQ(plan.channels, 2);
    EXPECT_EQ(plan.nominalBitrate, 1411200);
    EXPECT_EQ(plan.packetSize, 1024 * 4 + kAsfSinglePayloadHeaders);
    EXPECT_NE(plan.filter.find("asetnsamples=n=1024"), std::string::npos);

    plan = PlanAudio(AudioSettings("353_22_1", "PCM"));
    EXPECT_EQ(plan.encoder, "pcm_s16le");
    EXPECT_EQ(plan.sampleRate, 22050);
    EXPECT_EQ(plan.channels, 1);
    EXPECT_EQ(plan.packetSize, 1024 * 2 + kAsfSinglePayloadHeaders);
}

TEST(AudioPlan, VoiceRunsAtSpeexRates) {
    const std::pair<const char*, int> cases[] = {
        {"4_8_1", 8000}, {"10_11_1", 16000}, {"16_16_1", 16000}, {"20_22_1", 32000}};
    for (const auto& [code, rate] : cases) {
        const AudioPlan plan = PlanAudio(AudioSettings(code, "WMSP9"));
        EXPECT_EQ(plan.encoder, "libspeex") << code;
        EXPECT_EQ(plan.sampleRate, rate) << code;
        EXPECT_EQ(plan.channels, 1) << code;
        EXPECT_LT(plan.codecBitrate, plan.nominalBitrate) << code;
    }
}

TEST(AudioPlan, QualityLevelsRiseWithQuality) {
    long previous = 0;
    for (int quality = 0; quality <= 100; ++quality) {
        const long rate = QualityNominalBitrate(quality, 2);
        EXPECT_GE(rate, previous) << quality;
        previous = rate;
    }
    EXPECT_EQ(QualityNominalBitrate(75, 2), 128000);
    EXPECT_EQ(QualityNominalBitrate(75, 1), 64000);
    const AudioPlan plan = PlanAudio(AudioSettings("Q90_48_2", "WMA9STD", 2));
    EXPECT_EQ(plan.encoder, "wmav2");
    EXPECT_EQ(plan.sampleRate, 48000);
    EXPECT_EQ(plan.nominalBitrate, 160000);
}

TEST(AudioPlan, NoSettingMeansSixtyFourKbpsStereo) {
    EncoderSettings s;
    const AudioPlan plan = PlanAudio(s);
    EXPECT_EQ(plan.encoder, "wmav2");
    EXPECT_EQ(plan.nominalBitrate, 64000);
    EXPECT_EQ(plan.sampleRate, 44100);
    EXPECT_EQ(plan.channels, 2);
}

}  // namespace
}  // namespace qorvane::encoder
