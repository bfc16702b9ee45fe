#include "encode/size_estimate.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "encode/run_planner.h"
#include "profiles/encoding_modes.h"

namespace qorvane {

namespace {

// The container's share, as ffmpeg's ASF muxer writes it for the stand-in
// encoder (measured on its files; bench/size_estimate_bench prints how close
// the whole estimate comes).
//  - The header object and the data object's head: about 400 bytes with
//    sound alone, 700 with a picture stream.
//  - Sound alone: the encoder sizes the packets to whole frames and asks
//    the codec for the nominal rate less the packets' share, so the file
//    carries the nominal rate; nothing more is added.
//  - With pictures: 3200-byte packets, each with a 12-byte head, and a
//    17-byte payload head for every frame and for every packet a picture
//    continues into. A sound frame is never split: one that does not fit
//    into the rest of a packet closes it with padding, half a frame on
//    average as often as the frame takes of a packet.
//  - A simple index after the data: 56 bytes and 6 a second.
constexpr double kAudioHeaderBytes = 400;
constexpr double kVideoHeaderBytes = 700;
constexpr double kPacketBytes = 3200;
constexpr double kPacketHeadBytes = 12;
constexpr double kPayloadHeadBytes = 17;
constexpr double kAudioFramesPerSecond = 21.5;  // 2048 samples at 44.1 kHz, 1024 at 22.05 kHz
constexpr double kIndexBytes = 56;
constexpr double kIndexEntryBytes = 6;
constexpr double kDefaultFrameRate = 25;

std::optional<double> PositiveNumber(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value > 0)) return std::nullopt;
    return value;
}

// The pictures per second of the output: the profile's own rate where the
// encoder receives it (no preprocessing filter), else the source's.
double OutputFrameRate(const ProfileSettings& s, const MediaFacts& facts) {
    if (s.VideoFilter <= 0) {
        if (const auto rate = PositiveNumber(s.FrameRate)) return *rate;
    }
    if (facts.video && facts.video->frameRate > 0) return facts.video->frameRate;
    return kDefaultFrameRate;
}

// The sound's bits per second; nothing when the encoder, not the profile,
// decides it.
std::optional<double> AudioBitsPerSecond(const ProfileSettings& s, bool videoInput, bool hasSound) {
    const int mode = std::max(s.AudioMode, 0);  // below the list counts as video only
    const AudioModeInfo* info = AudioModeInfoOf(mode);
    if (info == nullptr) return std::nullopt;
    if (info->videoOnly) return videoInput ? std::optional<double>(0) : std::nullopt;
    if (videoInput && !hasSound) return 0;  // a silent clip stays silent
    const std::optional<int> kbps = AudioBitrateKbps(mode, s.AudioSetting);
    if (!kbps) return std::nullopt;
    return *kbps * 1000.0;
}

}  // namespace

std::uint64_t AsfFileBytes(const OutputStreams& streams, double seconds) {
    seconds = std::max(seconds, 0.0);
    const double payload = (streams.audioBitsPerSecond + streams.videoBitsPerSecond) / 8 * seconds;
    if (!streams.video) return static_cast<std::uint64_t>(std::llround(kAudioHeaderBytes + payload));

    const double audioFrames = streams.audioBitsPerSecond > 0 ? kAudioFramesPerSecond * seconds : 0;
    const double audioFrameBytes =
        streams.audioBitsPerSecond > 0 ? streams.audioBitsPerSecond / 8 / kAudioFramesPerSecond : 0;
    const double padding = audioFrames * audioFrameBytes * audioFrameBytes / (2 * kPacketBytes);
    const double frames = audioFrames + std::max(streams.frameRate, 0.0) * seconds;
    // Every packet holds its head and one continued payload's head besides
    // the frames' own.
    const double packets = std::ceil((payload + padding + frames * kPayloadHeadBytes) /
                                     (kPacketBytes - kPacketHeadBytes - kPayloadHeadBytes));
    const double index = kIndexBytes + kIndexEntryBytes * std::ceil(seconds);
    return static_cast<std::uint64_t>(std::llround(kVideoHeaderBytes + packets * kPacketBytes + index));
}

JobSize EstimateJobSize(const EncodingProfile& profile, const MediaFacts& facts) {
    const ProfileSettings& s = profile.settings;
    const bool videoInput = facts.kind == MediaKind::Video;
    const auto bitrates = RunVideoBitrates(profile, videoInput);
    JobSize size;
    size.runs.assign(bitrates.size(), std::nullopt);

    const std::optional<double> audio = AudioBitsPerSecond(s, videoInput, facts.audio.has_value());
    const bool writesVideo = videoInput && s.VideoMode != 0;  // the .wmv rule of the command line
    const VideoModeInfo* videoMode = writesVideo ? VideoModeInfoOf(s.VideoMode) : nullptr;
    const bool videoKnown = !writesVideo || (videoMode != nullptr && videoMode->takesBitrate);
    // Sound alone from a clip without sound makes no file at all.
    const bool makesFile = writesVideo || !videoInput || facts.audio.has_value();
    const bool ratesKnown = !writesVideo || std::all_of(bitrates.begin(), bitrates.end(),
                                                        [](const auto& kbps) { return kbps.has_value(); });
    if (!facts.duration || !audio || !videoKnown || !makesFile || !ratesKnown) return size;

    std::uint64_t total = 0;
    for (std::size_t run = 0; run < bitrates.size(); ++run) {
        OutputStreams streams;
        streams.audioBitsPerSecond = *audio;
        if (writesVideo) {
            streams.video = true;
            streams.videoBitsPerSecond = *bitrates[run] * 1000.0;
            streams.frameRate = OutputFrameRate(s, facts);
        }
        const std::uint64_t bytes = AsfFileBytes(streams, *facts.duration);
        size.runs[run] = bytes;
        total += bytes;
    }
    size.bytes = total;
    return size;
}

}  // namespace qorvane
