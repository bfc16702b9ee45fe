#include "stand_in_encoder/audio_plan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace qorvane::encoder {

namespace {

// ffmpeg's WMA encoder refuses anything below this.
constexpr long kWmaMinimumBitrate = 24000;

const AudioSettingCode kDefaultSetting{false, 64, 44100, 2, 0};

// WMA: every frame has the same size (block_align), so two frames fill a
// packet exactly: 12 + 2 * (frame + 17) bytes, no padding. The codec rate is
// chosen so that frame plus overhead spends the requested rate.
std::optional<AudioPlan> PlanWma(long nominal, int sampleRate, int channels) {
    const int frameLength = WmaFrameLength(sampleRate);
    const double bytesPerFrame = static_cast<double>(nominal) * frameLength / (8.0 * sampleRate);
    const double overhead = kAsfPayloadHeader + kAsfPacketHeader / 2.0;
    const long block = static_cast<long>(std::floor(bytesPerFrame - overhead));
    if (block <= 0) return std::nullopt;
    // ffmpeg derives the frame size as bit_rate * frame_length / (rate * 8),
    // rounded down; the smallest rate that gives `block` bytes:
    const long codecRate =
        static_cast<long>(std::ceil(static_cast<double>(block) * 8.0 * sampleRate / frameLength));
    if (codecRate < kWmaMinimumBitrate) return std::nullopt;
    AudioPlan plan;
    plan.encoder = "wmav2";
    plan.sampleRate = sampleRate;
    plan.channels = channels;
    plan.nominalBitrate = nominal;
    plan.codecBitrate = codecRate;
    plan.packetSize = static_cast<int>(
        std::clamp<long>(kAsfPacketHeader + 2 * (block + kAsfPayloadHeader), kAsfMinPacket, kAsfMaxPacket));
    return plan;
}

// Frames of variable size (AAC, Speex): a packet is sized for about
// `framesPerPacket` average frames plus half a frame of slack, and the
// expected padding (half a frame per packet) is counted as overhead.
AudioPlan PlanVariableFrames(AudioPlan plan, double framesPerSecond, int framesPerPacket) {
    const double budget = static_cast<double>(plan.nominalBitrate) / 8.0 / framesPerSecond;
    const double overhead = kAsfPayloadHeader + (kAsfPacketHeader + budget / 2.0) / framesPerPacket;
    const double frame = std::max(1.0, budget - overhead);
    plan.codecBitrate = std::max(1000L, static_cast<long>(frame * 8.0 * framesPerSecond));
    plan.packetSize = static_cast<int>(std::clamp<long>(
        static_cast<long>(kAsfPacketHeader + framesPerPacket * (frame + kAsfPayloadHeader) + frame / 2.0),
        kAsfMinPacket, kAsfMaxPacket));
    return plan;
}

// Below WMA's floor the stand-in uses AAC. At 44.1 and 48 kHz AAC makes 43
// frames a second, whose payload headers alone would take 6 kbps, and the
// encoder does not go much under 15 kbps there; at such rates the band is far
// below 11 kHz anyway, so the stream runs at half the sample rate.
AudioPlan PlanAac(long nominal, int sampleRate, int channels) {
    AudioPlan plan;
    plan.encoder = "aac";
    plan.sampleRate = sampleRate > 32000 ? sampleRate / 2 : sampleRate;
    plan.channels = channels;
    plan.nominalBitrate = nominal;
    const double framesPerSecond = plan.sampleRate / 1024.0;
    return PlanVariableFrames(std::move(plan), framesPerSecond, 4);
}

// The voice codec's stand-in is Speex, a speech codec too; it runs at 8, 16
// or 32 kHz, at an average rate, eight 20 ms frames to a packet.
AudioPlan PlanVoice(const AudioSettingCode& code) {
    AudioPlan plan;
    plan.encoder = "libspeex";
    plan.sampleRate = code.sampleRate <= 8000 ? 8000 : code.sampleRate <= 16000 ? 16000 : 32000;
    plan.channels = 1;
    plan.nominalBitrate = code.value * 1000L;
    plan.encoderOptions = {"-abr", "1", "-frames_per_packet", "8"};
    return PlanVariableFrames(std::move(plan), 1.0 / 0.160, 2);
}

// 16-bit PCM: frames of 1024 samples, one to a packet that holds it exactly.
AudioPlan PlanPcm(int sampleRate, int channels) {
    AudioPlan plan;
    plan.encoder = "pcm_s16le";
    plan.sampleRate = sampleRate;
    plan.channels = channels;
    plan.nominalBitrate = static_cast<long>(sampleRate) * 16 * channels;
    constexpr int kSamples = 1024;
    // Counted after the conversion, or a resampled frame would be shorter.
    plan.filter = "aformat=sample_fmts=s16:sample_rates=" + std::to_string(sampleRate) +
                  ":channel_layouts=" + (channels == 1 ? "mono" : "stereo") +
                  ",asetnsamples=n=" + std::to_string(kSamples) + ":p=0";
    plan.packetSize = kSamples * 2 * channels + kAsfSinglePayloadHeaders;
    return plan;
}

// Windows Media Audio 9: WMA 2 from 24 kbps, AAC below; quality VBR at the
// rate its level stands for.
std::string CheckStandard(const AudioSettingCode& code, int audioMode) {
    if (code.bitsPerSample != 0) return "the sample size of -a_setting needs -a_codec WMA9LSL";
    if (code.quality != (audioMode == 2))
        return code.quality ? "a quality code in -a_setting needs -a_mode 2"
                            : "-a_mode 2 needs a quality code (such as Q90_44_2) in -a_setting";
    if (!code.quality && code.value < 8) return "the bit rate of -a_setting is too low";
    return {};
}

AudioPlan PlanStandard(const AudioSettingCode& code) {
    const long nominal =
        code.quality ? QualityNominalBitrate(code.value, code.channels) : code.value * 1000L;
    if (auto wma = PlanWma(nominal, code.sampleRate, code.channels)) return *wma;
    return PlanAac(nominal, code.sampleRate, code.channels);
}

std::string CheckLossless(const AudioSettingCode& code, int) {
    if (!code.quality || code.bitsPerSample != 16)
        return "-a_codec WMA9LSL needs a 16-bit quality code such as Q100_44_2_16";
    return {};
}

std::string CheckVoice(const AudioSettingCode& code, int) {
    if (code.quality || code.bitsPerSample != 0 || code.channels != 1 || code.sampleRate > 22050)
        return "-a_codec WMSP9 needs a mono bit-rate code up to 22 kHz such as 8_8_1";
    if (code.value < 2 || code.value > 20) return "-a_codec WMSP9 takes 2 to 20 kbps";
    return {};
}

std::string CheckPcm(const AudioSettingCode& code, int) {
    if (code.quality || code.bitsPerSample != 0) return "-a_codec PCM needs a bit-rate code";
    const long implied = static_cast<long>(code.sampleRate) * 16 * code.channels / 1000;
    if (code.value < implied - 1 || code.value > implied + 1)
        return "the bit rate of -a_setting does not match 16-bit PCM at its sample rate";
    return {};
}

AudioPlan PlanPcmOfCode(const AudioSettingCode& code) { return PlanPcm(code.sampleRate, code.channels); }

// The first row is the default codec.
const AudioCodec kAudioCodecs[] = {
    {"WMA9STD", CheckStandard, PlanStandard},
    {"WMA9LSL", CheckLossless, PlanPcmOfCode},  // lossless: 16-bit PCM
    {"WMSP9", CheckVoice, PlanVoice},
    {"PCM", CheckPcm, PlanPcmOfCode},
};

}  // namespace

const AudioCodec* FindAudioCodec(std::string_view name) {
    for (const AudioCodec& codec : kAudioCodecs) {
        if (codec.name == name) return &codec;
    }
    return nullptr;
}

const AudioCodec& AudioCodecOf(const EncoderSettings& settings) {
    return settings.audioCodec != nullptr ? *settings.audioCodec : kAudioCodecs[0];
}

int WmaFrameLength(int sampleRate) {
    if (sampleRate <= 16000) return 512;
    if (sampleRate <= 22050) return 1024;
    return 2048;
}

long QualityNominalBitrate(int quality, int channels) {
    // Typical average rates of Windows Media Audio 9 quality VBR (stereo).
    static constexpr std::array<std::pair<int, long>, 8> points = {{
        {0, 48000}, {10, 56000}, {25, 64000}, {50, 96000},
        {75, 128000}, {90, 160000}, {98, 256000}, {100, 320000}}};
    long stereo = points.back().second;
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (quality <= points[i].first) {
            const auto [q0, r0] = points[i - 1];
            const auto [q1, r1] = points[i];
            stereo = r0 + (r1 - r0) * (quality - q0) / (q1 - q0);
            break;
        }
    }
    return channels == 1 ? std::max(32000L, stereo / 2) : stereo;
}

AudioPlan PlanAudio(const EncoderSettings& settings) {
    return AudioCodecOf(settings).plan(settings.audioSetting.value_or(kDefaultSetting));
}

}  // namespace qorvane::encoder
