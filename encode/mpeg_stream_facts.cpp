// MPEG program streams (.mpg .vob) and transport streams (.ts .m2ts): the
// packets of the first and of the last bytes. The length runs from the
// earliest PTS to the end of the last frame; codecs and pictures come from
// the first packets of each stream (MPEG video's sequence header, an MPEG
// audio, AC-3 or ADTS frame header), or for transport streams from the
// stream type of the program map where that says more.
#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "encode/container_parts.h"
#include "encode/h264_sps.h"
#include "encode/header_facts.h"
#include "encode/mpeg_audio_frame.h"

namespace qorvane {

namespace {

using headers::Be;
using headers::Byte;

// How much of the start and of the end is read.
constexpr std::size_t kWindow = 256 * 1024;
constexpr double kPtsRate = 90000;
constexpr std::uint64_t kPtsWrap = std::uint64_t{1} << 33;

// The start of a PES packet: the stream it belongs to, its PTS, the payload
// bytes at hand and the payload's whole length (0 when not given).
struct PesStart {
    std::uint64_t stream = 0;  // the stream id, or a transport stream's PID
    std::uint64_t id = 0;      // the stream id; 0x100 + the substream number in a private stream
    std::optional<std::uint64_t> pts;
    std::string_view payload;
    std::uint64_t payloadLength = 0;
    int streamType = 0;  // of a transport stream's program map; 0 when unknown
};

// Of a stream: what its first packets said, and its first and last times.
struct Stream {
    std::optional<AudioFacts> audio;
    std::optional<VideoFacts> video;
    bool known = false;              // its codec header has been read
    double frameSeconds = 0;         // of one picture or one sound frame
    std::uint64_t frameBytes = 0;    // of one sound frame; 0 for pictures or when unknown
    std::optional<std::uint64_t> firstPts;
};

std::optional<std::uint64_t> ReadPts(std::string_view b, std::size_t at) {
    if (at + 5 > b.size() || (Byte(b, at) & 1) == 0 || (Byte(b, at + 2) & 1) == 0 || (Byte(b, at + 4) & 1) == 0)
        return std::nullopt;
    return (Byte(b, at) >> 1 & 7) << 30 | Byte(b, at + 1) << 22 | (Byte(b, at + 2) >> 1) << 15 |
           Byte(b, at + 3) << 7 | Byte(b, at + 4) >> 1;
}

// A PES packet's header at `b` (which starts with 00 00 01 and its stream
// id), MPEG-2 or MPEG-1 style: its PTS and where its payload begins.
std::optional<std::pair<std::optional<std::uint64_t>, std::size_t>> ReadPesHeader(std::string_view b) {
    if (b.size() < 9) return std::nullopt;
    if ((Byte(b, 6) & 0xC0) == 0x80) {
        const std::size_t payload = 9 + Byte(b, 8);
        std::optional<std::uint64_t> pts;
        if (Byte(b, 7) & 0x80) {
            pts = ReadPts(b, 9);
            if (!pts) return std::nullopt;
        }
        return std::pair{pts, payload};
    }
    std::size_t at = 6;
    while (at < b.size() && at < 6 + 16 && Byte(b, at) == 0xFF) ++at;  // stuffing
    if (at < b.size() && (Byte(b, at) & 0xC0) == 0x40) at += 2;         // buffer size
    if (at >= b.size()) return std::nullopt;
    const std::uint64_t marker = Byte(b, at) >> 4;
    if (marker == 2 || marker == 3) {
        const auto pts = ReadPts(b, at);
        if (!pts) return std::nullopt;
        return std::pair{pts, at + (marker == 3 ? 10 : 5)};
    }
    if (Byte(b, at) != 0x0F) return std::nullopt;
    return std::pair{std::optional<std::uint64_t>(), at + 1};
}

// Private stream 1 (DVD sound), MPEG audio and video, and the extended
// stream id that Blu-ray files give their AC-3.
bool IsMediaStream(std::uint64_t id) { return id == 0xBD || id == 0xFD || (id >= 0xC0 && id <= 0xEF); }

// ---- program streams -------------------------------------------------------------

// The PES packets of a program stream in `bytes`, from the first pack header
// on (the window may begin inside a packet).
void ForEachProgramPes(std::string_view bytes, const std::function<void(const PesStart&)>& each) {
    std::size_t at = bytes.find(std::string_view("\0\0\x01\xBA", 4));
    for (int packets = 0; at != std::string_view::npos && at + 6 <= bytes.size() && packets < 100000; ++packets) {
        if (bytes.substr(at, 3) != std::string_view("\0\0\x01", 3)) {
            at = bytes.find(std::string_view("\0\0\x01", 3), at + 1);
            continue;
        }
        const std::uint64_t id = Byte(bytes, at + 3);
        if (id == 0xBA) {
            // MPEG-2 pack headers are 14 bytes and stuffing, MPEG-1's 12.
            if (at + 14 > bytes.size()) return;
            at += (Byte(bytes, at + 4) & 0xC0) == 0x40 ? 14 + (Byte(bytes, at + 13) & 7) : 12;
            continue;
        }
        if (id < 0xBB) {
            at += 3;
            continue;
        }
        const std::uint64_t length = Be(bytes, at + 4, 2);
        if (IsMediaStream(id)) {
            const std::string_view packet = bytes.substr(at, 6 + length);
            if (const auto header = ReadPesHeader(packet); header && header->second <= packet.size()) {
                PesStart pes;
                pes.stream = id;
                pes.id = id;
                pes.pts = header->first;
                pes.payload = packet.substr(header->second);
                pes.payloadLength = length + 6 - header->second;
                // A DVD's private stream: a substream number and three bytes
                // before the AC-3 frames.
                if (id == 0xBD && !pes.payload.empty()) {
                    pes.stream = pes.id = 0x100 | Byte(pes.payload, 0);
                    pes.payload = pes.payload.substr(std::min<std::size_t>(4, pes.payload.size()));
                    pes.payloadLength -= std::min<std::uint64_t>(4, pes.payloadLength);
                }
                each(pes);
            }
        }
        at += 6 + length;
    }
}

// ---- transport streams ---------------------------------------------------------

// 188-byte packets, or 192 with a time stamp before each (M2TS): where the
// first of three packets in a row begins within the first `search` bytes.
std::optional<std::pair<std::size_t, std::size_t>> FindPackets(std::string_view bytes, std::size_t search) {
    for (const std::size_t size : {188, 192}) {
        const std::size_t offset = size - 188;
        for (std::size_t at = 0; at < search && at + 2 * size + offset < bytes.size(); ++at) {
            if (bytes[at + offset] == 0x47 && bytes[at + offset + size] == 0x47 && bytes[at + offset + 2 * size] == 0x47)
                return std::pair{at + offset, size};
        }
    }
    return std::nullopt;
}

// The PES starts of a transport stream's packets in `bytes`; the program map
// (found through the program association table) gives each stream's type.
void ForEachTransportPes(std::string_view bytes, std::map<std::uint64_t, int>& streamTypes,
                         const std::function<void(const PesStart&)>& each) {
    const auto packets = FindPackets(bytes, 192 * 4);
    if (!packets) return;
    std::optional<std::uint64_t> mapPid;
    for (std::size_t at = packets->first; at + 188 <= bytes.size(); at += packets->second) {
        const std::string_view packet = bytes.substr(at, 188);
        if (packet[0] != 0x47) continue;
        const std::uint64_t pid = (Byte(packet, 1) & 0x1F) << 8 | Byte(packet, 2);
        const bool unitStart = (Byte(packet, 1) & 0x40) != 0;
        const std::uint64_t control = Byte(packet, 3) >> 4 & 3;
        if (!unitStart || (control & 1) == 0) continue;
        const std::size_t start = 4 + ((control & 2) ? 1 + Byte(packet, 4) : 0);
        if (start >= 188) continue;
        const std::string_view payload = packet.substr(start);
        if (pid == 0 || (mapPid && pid == *mapPid)) {
            // A section behind its pointer field: table id, 12 bits of length.
            const std::size_t table = 1 + Byte(payload, 0);
            if (table + 8 > payload.size()) continue;
            const std::string_view section = payload.substr(table, std::min<std::size_t>(3 + (Be(payload, table + 1, 2) & 0xFFF), payload.size() - table));
            if (section.size() < 12) continue;
            const std::size_t end = section.size() - 4;  // before the CRC
            if (pid == 0 && Byte(section, 0) == 0) {
                for (std::size_t entry = 8; entry + 4 <= end; entry += 4) {
                    if (Be(section, entry, 2) != 0) {
                        mapPid = Be(section, entry + 2, 2) & 0x1FFF;
                        break;
                    }
                }
            } else if (Byte(section, 0) == 2) {
                for (std::size_t entry = 12 + (Be(section, 10, 2) & 0xFFF); entry + 5 <= end;
                     entry += 5 + (Be(section, entry + 3, 2) & 0xFFF)) {
                    streamTypes[Be(section, entry + 1, 2) & 0x1FFF] = static_cast<int>(Byte(section, entry));
                }
            }
            continue;
        }
        if (!payload.starts_with(std::string_view("\0\0\x01", 3)) || payload.size() < 6 || !IsMediaStream(Byte(payload, 3)))
            continue;
        const auto header = ReadPesHeader(payload);
        if (!header || header->second > payload.size()) continue;
        PesStart pes;
        pes.stream = pid;
        pes.id = Byte(payload, 3);
        pes.pts = header->first;
        pes.payload = payload.substr(header->second);
        const std::uint64_t length = Be(payload, 4, 2);
        pes.payloadLength = length == 0 || length + 6 < header->second ? 0 : length + 6 - header->second;
        const auto type = streamTypes.find(pid);
        pes.streamType = type == streamTypes.end() ? 0 : type->second;
        each(pes);
    }
}

// ---- what the payloads say -------------------------------------------------------

void ReadMpegVideo(std::string_view b, Stream& s) {
    const std::size_t at = b.find(std::string_view("\0\0\x01\xB3", 4));
    if (at == std::string_view::npos || at + 12 > b.size()) return;
    static constexpr std::array<double, 9> kRates{0, 24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 50, 60000.0 / 1001, 60};
    VideoFacts video;
    const std::size_t extension = b.find(std::string_view("\0\0\x01\xB5", 4), at + 12);
    video.codec = extension != std::string_view::npos && extension + 4 < b.size() && (Byte(b, extension + 4) >> 4) == 1
                      ? "MPEG-2"
                      : "MPEG-1";
    video.width = static_cast<int>(Byte(b, at + 4) << 4 | Byte(b, at + 5) >> 4);
    video.height = static_cast<int>((Byte(b, at + 5) & 0x0F) << 8 | Byte(b, at + 6));
    const std::uint64_t rate = Byte(b, at + 7) & 0x0F;
    video.frameRate = rate < kRates.size() ? kRates[rate] : 0;
    s.video = video;
    s.known = true;
    if (video.frameRate > 0) s.frameSeconds = 1 / video.frameRate;
}

void ReadMpegAudio(std::string_view b, Stream& s) {
    for (std::size_t at = 0; at + 4 <= b.size() && at < 64; ++at) {
        const auto frame = ParseMpegAudioFrame(static_cast<std::uint32_t>(Be(b, at, 4)));
        if (!frame) continue;
        AudioFacts audio;
        audio.codec = frame->codec();
        audio.sampleRate = frame->sampleRate;
        audio.channels = frame->mono ? 1 : 2;
        audio.bitRateKbps = frame->bitRate / 1000;
        s.audio = audio;
        s.known = true;
        s.frameSeconds = static_cast<double>(frame->samplesPerFrame) / frame->sampleRate;
        s.frameBytes = frame->bytes;
        return;
    }
}

void ReadAc3(std::string_view b, Stream& s) {
    const std::size_t at = b.find("\x0B\x77");
    if (at == std::string_view::npos || at + 7 > b.size()) return;
    static constexpr std::array<int, 3> kRates{48000, 44100, 32000};
    static constexpr std::array<int, 19> kKbps{32, 40, 48, 56, 64, 80, 96, 112, 128, 160,
                                               192, 224, 256, 320, 384, 448, 512, 576, 640};
    static constexpr std::array<int, 8> kChannels{2, 1, 2, 3, 3, 4, 4, 5};
    const std::uint64_t rateCode = Byte(b, at + 4) >> 6;
    const std::uint64_t sizeCode = Byte(b, at + 4) & 0x3F;
    if (rateCode >= kRates.size() || sizeCode / 2 >= kKbps.size()) return;
    // After the coding mode: the mix levels it has, then the LFE bit.
    const std::uint64_t bits = Be(b, at + 6, 1) << 8 | (at + 7 < b.size() ? Byte(b, at + 7) : 0);
    const std::uint64_t mode = bits >> 13;
    int skip = 3 + ((mode & 1) && mode != 1 ? 2 : 0) + ((mode & 4) ? 2 : 0) + (mode == 2 ? 2 : 0);
    const bool lfe = (bits >> (15 - skip) & 1) != 0;
    AudioFacts audio;
    audio.codec = "AC-3";
    audio.sampleRate = kRates[rateCode];
    audio.channels = kChannels[mode] + (lfe ? 1 : 0);
    audio.bitRateKbps = kKbps[sizeCode / 2];
    s.audio = audio;
    s.known = true;
    s.frameSeconds = 1536.0 / audio.sampleRate;
    s.frameBytes = static_cast<std::uint64_t>(audio.bitRateKbps) * 1000 / 8 * 1536 / static_cast<std::uint64_t>(audio.sampleRate);
}

void ReadAdts(std::string_view b, Stream& s) {
    if (b.size() < 7 || Byte(b, 0) != 0xFF || (Byte(b, 1) & 0xF6) != 0xF0) return;
    static constexpr std::array<int, 13> kRates{96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                                22050, 16000, 12000, 11025, 8000,  7350};
    const std::uint64_t rate = Byte(b, 2) >> 2 & 0x0F;
    if (rate >= kRates.size()) return;
    AudioFacts audio;
    audio.codec = "AAC";
    audio.sampleRate = kRates[rate];
    audio.channels = static_cast<int>((Byte(b, 2) & 1) << 2 | Byte(b, 3) >> 6);
    s.audio = audio;
    s.known = true;
    s.frameSeconds = 1024.0 / audio.sampleRate;
    s.frameBytes = (Be(b, 3, 3) >> 5) & 0x1FFF;
}

// The codec of a stream from the first payload that tells it: by the
// program map's stream type, else by the PES stream id.
void ReadCodec(const PesStart& pes, Stream& s) {
    const auto named = [&](const char* codec) {
        s.video = VideoFacts();
        s.video->codec = codec;
        s.known = true;
    };
    const int type = pes.streamType;
    const bool dvdAc3 = pes.id >= 0x180 && pes.id <= 0x187;  // a DVD's private substreams
    if (type == 0x1B) {
        s.video = ReadH264Pictures(pes.payload);
        if (!s.video) named("H.264");  // the set comes in a later packet
        s.known = true;
    }
    else if (type == 0x24) named("H.265");
    else if (type == 0x10) named("MPEG-4");
    else if (type == 0x0F) ReadAdts(pes.payload, s);
    else if (type == 0x81 || (type == 0 && dvdAc3)) ReadAc3(pes.payload, s);
    else if (type == 0x01 || type == 0x02 || (type == 0 && pes.id >= 0xE0 && pes.id <= 0xEF)) ReadMpegVideo(pes.payload, s);
    else if (type == 0x03 || type == 0x04 || (type == 0 && pes.id >= 0xC0 && pes.id <= 0xDF)) ReadMpegAudio(pes.payload, s);
}

}  // namespace

std::optional<MediaFacts> ReadMpegStreamFacts(const ByteSource& input) {
    const std::string signature = input.Read(0, 3 * 192);
    const bool program = signature.starts_with(std::string_view("\0\0\x01\xBA", 4));
    if (!program && !FindPackets(signature, 1)) return std::nullopt;
    const std::string head = input.Read(0, kWindow);
    std::map<std::uint64_t, int> streamTypes;
    const auto forEachPes = [&](std::string_view bytes, const std::function<void(const PesStart&)>& each) {
        if (program) ForEachProgramPes(bytes, each);
        else ForEachTransportPes(bytes, streamTypes, each);
    };

    std::map<std::uint64_t, Stream> streams;
    forEachPes(head, [&](const PesStart& pes) {
        Stream& s = streams[pes.stream];
        if (!s.known) ReadCodec(pes, s);
        if (pes.pts && !s.firstPts) s.firstPts = pes.pts;
    });
    std::optional<AudioFacts> audio;
    std::optional<VideoFacts> video;
    std::optional<std::uint64_t> start;
    for (const auto& [key, s] : streams) {
        if (s.audio && !audio) audio = s.audio;
        if (s.video && !video) video = s.video;
        if (s.known && s.firstPts && (!start || *s.firstPts < *start)) start = s.firstPts;
    }
    if (!start) return FactsOf(std::nullopt, audio, video);

    // The end: each stream's last PTS and the frames of its last packet.
    const std::uint64_t tail = std::min<std::uint64_t>(input.size(), kWindow);
    const std::string last = input.Read(input.size() - tail, static_cast<std::size_t>(tail));
    double end = 0;
    forEachPes(last, [&](const PesStart& pes) {
        const auto s = streams.find(pes.stream);
        if (!pes.pts || s == streams.end() || !s->second.known) return;
        const std::uint64_t frames = s->second.frameBytes == 0
                                         ? 1
                                         : std::max<std::uint64_t>(1, (pes.payloadLength + s->second.frameBytes / 2) / s->second.frameBytes);
        const std::uint64_t since = (*pes.pts + kPtsWrap - *start) % kPtsWrap;
        end = std::max(end, static_cast<double>(since) / kPtsRate + static_cast<double>(frames) * s->second.frameSeconds);
    });
    return FactsOf(end, audio, video);
}

}  // namespace qorvane
