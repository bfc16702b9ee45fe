#include "encode/header_facts.h"

#include <cmath>

namespace qorvane {

namespace {

// Longer than any real recording (a year), faster than any real frame rate
// or sample rate: such figures come from damaged headers.
constexpr double kLongest = 366.0 * 24 * 3600;
constexpr int kHighestSampleRate = 1'000'000;
constexpr int kMostChannels = 255;
constexpr int kHighestBitRateKbps = 1'000'000;
constexpr int kLargestPicture = 65535;
constexpr double kHighestFrameRate = 10'000;

int Within(int value, int highest) { return value > 0 && value <= highest ? value : 0; }

}  // namespace

int KbpsOf(double bitsPerSecond) {
    const double kbps = bitsPerSecond / 1000;
    return std::isfinite(kbps) && kbps >= 0.5 && kbps <= kHighestBitRateKbps ? static_cast<int>(std::lround(kbps)) : 0;
}

int HertzOf(double rate) {
    return std::isfinite(rate) && rate >= 1 && rate <= 1e7 ? static_cast<int>(rate) : 0;
}

std::optional<MediaFacts> FactsOf(std::optional<double> duration, std::optional<AudioFacts> audio,
                                  std::optional<VideoFacts> video) {
    if (!audio && !video) return std::nullopt;
    MediaFacts facts;
    facts.kind = video ? MediaKind::Video : MediaKind::Audio;
    if (duration && std::isfinite(*duration) && *duration > 0 && *duration < kLongest) facts.duration = duration;
    if (audio) {
        audio->sampleRate = Within(audio->sampleRate, kHighestSampleRate);
        audio->channels = Within(audio->channels, kMostChannels);
        audio->bitRateKbps = Within(audio->bitRateKbps, kHighestBitRateKbps);
        facts.audio = std::move(audio);
    }
    if (video) {
        video->width = Within(video->width, kLargestPicture);
        video->height = Within(video->height, kLargestPicture);
        if (!(std::isfinite(video->frameRate) && video->frameRate > 0 && video->frameRate <= kHighestFrameRate))
            video->frameRate = 0;
        facts.video = std::move(video);
    }
    return facts;
}

std::optional<MediaFacts> ReadHeaderFacts(const ByteSource& input) {
    // Every reader but MPEG audio's checks a signature at the start; MPEG
    // audio, which has none of its own, comes last.
    for (const auto reader : {ReadRiffFacts, ReadMatroskaFacts, ReadOggFacts, ReadAsfFacts, ReadMp4Facts,
                              ReadMpegStreamFacts, ReadMpegAudioFacts}) {
        auto facts = reader(input);
        if (!facts) continue;
        if (facts->audio && !facts->video && facts->audio->bitRateKbps == 0 && facts->duration) {
            facts->audio->bitRateKbps = KbpsOf(static_cast<double>(input.size()) * 8 / *facts->duration);
        }
        return facts;
    }
    return std::nullopt;
}

}  // namespace qorvane
