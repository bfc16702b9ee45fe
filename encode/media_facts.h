#pragma once
// What a source is, as its own headers say: kind, length, and the codec
// facts of its first sound and first picture track. Read when a row is
// added, shown in the list and used for the size estimate.

#include <filesystem>
#include <optional>
#include <string>

#include "encode/media_inputs.h"

namespace qorvane {

struct AudioFacts {
    std::string codec;    // short display name: "FLAC", "MP3", "AAC", "PCM", "Vorbis", ...
    int sampleRate = 0;   // Hz; 0 when unknown
    int channels = 0;     // 0 when unknown
    int bitRateKbps = 0;  // 0 when unknown
    bool operator==(const AudioFacts&) const = default;
};

struct VideoFacts {
    std::string codec;  // "H.264", "MPEG-2", "VP9", ...
    int width = 0;
    int height = 0;
    double frameRate = 0;  // frames per second; 0 when unknown
    bool operator==(const VideoFacts&) const = default;
};

struct MediaFacts {
    MediaKind kind = MediaKind::Audio;
    std::optional<double> duration;  // seconds
    std::optional<AudioFacts> audio;
    std::optional<VideoFacts> video;
    bool operator==(const MediaFacts&) const = default;
};

// Reads a file's facts from its headers, never by starting a process.
// Nothing for a file it cannot make sense of (or cannot open).
class MediaFactsReader {
public:
    virtual ~MediaFactsReader() = default;
    virtual std::optional<MediaFacts> read(const std::filesystem::path& source) const = 0;
};

}  // namespace qorvane
