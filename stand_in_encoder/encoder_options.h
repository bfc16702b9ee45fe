#pragma once
// The options of the encoding script as the front end writes them, parsed
// and checked in one place. Nothing here touches the file system: the checks
// are on the text alone, so the whole translation stays testable.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "encode/media_inputs.h"

namespace qorvane::encoder {

enum class InputKind { Audio, Video };

// A row of the audio codec table (audio_plan.h).
struct AudioCodec;

// Video codec names of "-v_codec"; the default is Windows Media Video 9.
enum class VideoCodecName { Wmv9, Wmv8, Wmv7, MsMpeg4v3, IsoMpeg4, Uncompressed };

// "-a_setting": bit rate (or "Q" and a quality level), sample rate in whole
// kHz, channel count, and, for the lossless code, the sample size.
struct AudioSettingCode {
    bool quality = false;  // "Q90_44_2": value is a quality level
    int value = 0;         // kbps, or the quality level
    int sampleRate = 0;    // in Hz: 8 -> 8000, 11 -> 11025, 22 -> 22050, 44 -> 44100
    int channels = 0;
    int bitsPerSample = 0;  // 0 when the code has no fourth part
};

std::optional<AudioSettingCode> ParseAudioSettingCode(const std::string& code);

struct EncoderSettings {
    std::string input;
    std::string output;
    InputKind inputKind = InputKind::Audio;

    bool audioOnly = false;  // "-audioonly": a video input without its picture
    bool videoOnly = false;  // "-videoonly": a video input without its sound

    const AudioCodec* audioCodec = nullptr;  // "-a_codec"; nullptr: the default, Windows Media Audio 9
    int audioMode = 0;  // 0 CBR, 1 2-pass CBR, 2 quality VBR, 3 VBR, 4 peak VBR
    std::optional<AudioSettingCode> audioSetting;
    std::optional<long> audioPeakBitrate;
    std::optional<int> audioContent;

    VideoCodecName videoCodec = VideoCodecName::Wmv9;
    int videoMode = 0;  // same numbering as the audio modes
    std::optional<long> videoBitrate;
    std::optional<int> videoQuality;
    std::optional<double> keyDistanceSeconds;
    std::optional<long> videoPeakBitrate;
    int videoPreprocess = 0;  // 0 none, 1..18
    std::optional<std::string> frameRate;  // checked decimal text, passed on as written
    std::optional<int> width;
    std::optional<int> height;
    std::optional<std::string> pixelFormat;  // one of the 14 names
    std::optional<int> performance;          // 0..100

    bool debug = false;  // "-s_config debug"

    bool encodesVideo() const { return inputKind == InputKind::Video && !audioOnly; }
    bool encodesAudio() const { return !videoOnly; }
};

struct ParseOutcome {
    std::optional<EncoderSettings> settings;
    std::string error;  // set when settings is empty
};

// Reads what an input that may hold either holds (ClassifyMediaFile);
// nothing when it cannot tell.
using InputKindReader = std::function<std::optional<MediaKind>(const std::string& input)>;

// Parses the script's arguments (everything after the script path). Without
// a reader the input's kind is its extension's.
ParseOutcome ParseEncoderArguments(const std::vector<std::string>& arguments, const InputKindReader& readKind = {});

// The 14 pixel format names, in the order the front end lists them.
const std::vector<std::string>& PixelFormatNameList();

}  // namespace qorvane::encoder
