#pragma once
// Which real codec stands in for the requested Windows Media audio, and how
// the ASF packets are sized so that the file carries the requested bit rate.
//
// ffmpeg's ASF muxer never splits an audio frame over two packets: a frame
// that does not fit into what is left of a packet closes the packet with
// padding. With the default 3200-byte packets and 320 kbps WMA (1857-byte
// frames) every packet holds one frame and 1343 bytes of padding, so the
// file runs at about 550 kbps. Every frame also costs a 17-byte payload
// header. So the packet size is chosen to hold a whole number of frames, and
// the codec is asked for the requested rate less the container's share.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stand_in_encoder/encoder_options.h"

namespace qorvane::encoder {

struct AudioPlan {
    std::string encoder;  // ffmpeg encoder name
    int sampleRate = 0;
    int channels = 0;
    long nominalBitrate = 0;  // bits per second the file should carry for this stream
    long codecBitrate = 0;    // what the encoder is asked for; 0: fixed by the format (PCM)
    int packetSize = 3200;    // ASF packet size that fits this stream's frames
    std::vector<std::string> encoderOptions;  // further ffmpeg output options
    std::string filter;                       // audio filter chain, may be empty
};

// Fixed sizes of ffmpeg's ASF packets (in bytes).
inline constexpr int kAsfPacketHeader = 12;       // parsing information with payload flags
inline constexpr int kAsfPayloadHeader = 17;      // one payload of several in a packet
inline constexpr int kAsfSinglePayloadHeaders = 26;  // packet with one payload
inline constexpr int kAsfMinPacket = 100;
inline constexpr int kAsfMaxPacket = 65536;

// Samples per frame of ffmpeg's WMA encoders at a sample rate.
int WmaFrameLength(int sampleRate);

// The nominal bit rate that a quality level stands for (quality VBR is
// encoded at a fixed rate here).
long QualityNominalBitrate(int quality, int channels);

// The codecs of "-a_codec", one row each: which setting codes the codec
// takes and what stands in for it. Supporting another codec is one row.
struct AudioCodec {
    std::string_view name;  // the "-a_codec" value, exact case
    // Why a setting code does not fit the codec in an audio mode ("-a_mode");
    // empty when it does.
    std::string (*check)(const AudioSettingCode& code, int audioMode);
    AudioPlan (*plan)(const AudioSettingCode& code);
};

// The row of a "-a_codec" value; nullptr for a name the script does not know.
const AudioCodec* FindAudioCodec(std::string_view name);

// The codec the settings ask for: Windows Media Audio 9 without "-a_codec".
const AudioCodec& AudioCodecOf(const EncoderSettings& settings);

// The plan for the audio settings; the defaults ("64_44_2" CBR) apply when
// no "-a_setting" was given.
AudioPlan PlanAudio(const EncoderSettings& settings);

}  // namespace qorvane::encoder
