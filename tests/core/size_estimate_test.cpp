#include "encode/size_estimate.h"

#include <gtest/gtest.h>

namespace qorvane {
namespace {

EncodingProfile Profile(int audioMode, int audioSetting, int videoMode, const std::string& videoBitrate = "500") {
    ProfileSettings s;
    s.AudioMode = audioMode;
    s.AudioSetting = audioSetting;
    s.VideoMode = videoMode;
    s.VideoBitrate = videoBitrate;
    return PrepareEncodingProfile(s);
}

MediaFacts Song(double seconds) {
    MediaFacts f;
    f.kind = MediaKind::Audio;
    f.duration = seconds;
    f.audio = AudioFacts{"FLAC", 44100, 2, 900};
    return f;
}

MediaFacts Clip(double seconds, bool sound = true) {
    MediaFacts f;
    f.kind = MediaKind::Video;
    f.duration = seconds;
    if (sound) f.audio = AudioFacts{"AAC", 48000, 2, 128};
    f.video = VideoFacts{"H.264", 640, 360, 25};
    return f;
}

// 1-pass CBR, row 17: 128 kbps stereo.
constexpr int kCbr = 1;
constexpr int kRow128 = 17;

TEST(SizeEstimate, SoundAloneIsItsBitRateTimesItsLengthAndAHeader) {
    const JobSize size = EstimateJobSize(Profile(kCbr, kRow128, 1), Song(60));
    ASSERT_EQ(size.runs.size(), 1u);
    EXPECT_EQ(size.bytes, 128000 / 8 * 60 + 400);
    // The voice codec and PCM fix their rates too: row 0 of the voice codec
    // is 4 kbps, row 3 of PCM 1411 kbps.
    EXPECT_EQ(EstimateJobSize(Profile(7, 0, 1), Song(8)).bytes, 4000 + 400);
    EXPECT_EQ(EstimateJobSize(Profile(8, 3, 1), Song(8)).bytes, 1411000 + 400);
}

TEST(SizeEstimate, ModesThatFixNoBitRateAreUnknown) {
    const auto unknown = [](const EncodingProfile& profile, const MediaFacts& facts) {
        const JobSize size = EstimateJobSize(profile, facts);
        return !size.bytes && !size.runs.empty() && !size.runs.front();
    };
    EXPECT_TRUE(unknown(Profile(3, 3, 1), Song(60)));    // quality-based VBR sound
    EXPECT_TRUE(unknown(Profile(6, 0, 1), Song(60)));    // lossless
    EXPECT_TRUE(unknown(Profile(9, 0, 1), Song(60)));    // a mode past the table: the encoder's default
    EXPECT_TRUE(unknown(Profile(kCbr, 40, 1), Song(60)));  // a row past the table
    EXPECT_TRUE(unknown(Profile(0, 0, 1), Song(60)));    // "video only" on sound: the encoder decides
    EXPECT_TRUE(unknown(Profile(kCbr, kRow128, 3), Clip(30)));  // quality-based VBR pictures
    EXPECT_TRUE(unknown(Profile(kCbr, kRow128, 7), Clip(30)));  // uncompressed
    EXPECT_TRUE(unknown(Profile(kCbr, kRow128, 8), Clip(30)));  // a video mode past the table
    MediaFacts noLength = Song(60);
    noLength.duration.reset();
    EXPECT_TRUE(unknown(Profile(kCbr, kRow128, 1), noLength));
    // Sound alone from a clip without sound makes no file.
    EXPECT_TRUE(unknown(Profile(kCbr, kRow128, 0), Clip(30, false)));
}

TEST(SizeEstimate, AClipMakesOneRunPerListedRateAndTheJobIsTheirSum) {
    const JobSize size = EstimateJobSize(Profile(kCbr, kRow128, 1, "300,1000"), Clip(30));
    ASSERT_EQ(size.runs.size(), 2u);
    ASSERT_TRUE(size.runs[0] && size.runs[1] && size.bytes);
    EXPECT_EQ(*size.bytes, *size.runs[0] + *size.runs[1]);
    // Each run: its streams' bytes and the container's few percent more (more
    // of them at lower rates).
    const double payload300 = (128 + 300) * 1000 / 8.0 * 30;
    const double payload1000 = (128 + 1000) * 1000 / 8.0 * 30;
    EXPECT_GT(*size.runs[0], payload300 * 1.01);
    EXPECT_LT(*size.runs[0], payload300 * 1.08);
    EXPECT_GT(*size.runs[1], payload1000 * 1.01);
    EXPECT_LT(*size.runs[1], payload1000 * 1.08);
    // A song under the same profile runs once, as sound.
    EXPECT_EQ(EstimateJobSize(Profile(kCbr, kRow128, 1, "300,1000"), Song(30)).runs.size(), 1u);
}

TEST(SizeEstimate, AClipWithoutSoundOrWithTheVideoOnlyModeCarriesPicturesAlone) {
    const auto silent = EstimateJobSize(Profile(kCbr, kRow128, 1), Clip(30, false)).bytes;
    const auto videoOnly = EstimateJobSize(Profile(0, 0, 1), Clip(30)).bytes;
    ASSERT_TRUE(silent && videoOnly);
    EXPECT_EQ(*silent, *videoOnly);
    EXPECT_LT(*silent, *EstimateJobSize(Profile(kCbr, kRow128, 1), Clip(30)).bytes);
    // The audio-only mode makes a clip's sound into a .wma of sound alone.
    EXPECT_EQ(EstimateJobSize(Profile(kCbr, kRow128, 0, "300,1000"), Clip(30)).bytes,
              EstimateJobSize(Profile(kCbr, kRow128, 1), Song(30)).bytes);
}

TEST(SizeEstimate, LargeSoundFramesBesidePicturesCostPadding) {
    // The same total rate: 320 + 680 kbps pads more than 32 + 968.
    OutputStreams bigFrames;
    bigFrames.video = true;
    bigFrames.audioBitsPerSecond = 320000;
    bigFrames.videoBitsPerSecond = 680000;
    OutputStreams smallFrames = bigFrames;
    smallFrames.audioBitsPerSecond = 32000;
    smallFrames.videoBitsPerSecond = 968000;
    EXPECT_GT(AsfFileBytes(bigFrames, 60), AsfFileBytes(smallFrames, 60));
    EXPECT_EQ(AsfFileBytes(bigFrames, -1), AsfFileBytes(bigFrames, 0));
}

}  // namespace
}  // namespace qorvane
