#include "encode/h264_sps.h"

#include <cstdint>
#include <string>

namespace qorvane {

namespace {

// Bits of an RBSP, first bit first; reading past the end sets `overrun`.
class Bits {
public:
    explicit Bits(std::string_view bytes) : bytes_(bytes) {}

    std::uint32_t Read(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            if (at_ >= bytes_.size() * 8) {
                overrun = true;
                return 0;
            }
            const auto byte = static_cast<unsigned char>(bytes_[at_ / 8]);
            value = value << 1 | ((byte >> (7 - at_ % 8)) & 1u);
            ++at_;
        }
        return value;
    }
    // Exp-Golomb codes, unsigned and signed; more than 31 leading zeros is
    // no code of a sound stream.
    std::uint32_t Unsigned() {
        int zeros = 0;
        while (Read(1) == 0 && !overrun) {
            if (++zeros > 31) {
                overrun = true;
                return 0;
            }
        }
        return static_cast<std::uint32_t>((std::uint64_t{1} << zeros) - 1 + Read(zeros));
    }
    std::int64_t Signed() {
        const std::uint32_t code = Unsigned();
        return code & 1 ? static_cast<std::int64_t>(code / 2 + 1) : -static_cast<std::int64_t>(code / 2);
    }

    bool overrun = false;

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

void SkipScalingList(Bits& bits, int size) {
    std::int64_t last = 8;
    std::int64_t next = 8;
    for (int j = 0; j < size && !bits.overrun; ++j) {
        if (next != 0) next = (last + bits.Signed() + 256) % 256;
        last = next == 0 ? last : next;
    }
}

std::optional<VideoFacts> ReadSps(std::string_view rbsp) {
    Bits bits(rbsp);
    const std::uint32_t profile = bits.Read(8);
    bits.Read(16);  // constraint flags, level
    bits.Unsigned();
    std::uint32_t chroma = 1;
    bool frameMbsOnly = true;
    if (profile == 100 || profile == 110 || profile == 122 || profile == 244 || profile == 44 || profile == 83 ||
        profile == 86 || profile == 118 || profile == 128 || profile == 138 || profile == 139 || profile == 134 ||
        profile == 135) {
        chroma = bits.Unsigned();
        if (chroma == 3) bits.Read(1);  // separate colour planes
        bits.Unsigned();                // bit depths
        bits.Unsigned();
        bits.Read(1);
        if (bits.Read(1)) {  // scaling matrices
            for (int i = 0; i < (chroma == 3 ? 12 : 8) && !bits.overrun; ++i) {
                if (bits.Read(1)) SkipScalingList(bits, i < 6 ? 16 : 64);
            }
        }
    }
    bits.Unsigned();  // frame number bits
    const std::uint32_t orderType = bits.Unsigned();
    if (orderType == 0) {
        bits.Unsigned();
    } else if (orderType == 1) {
        bits.Read(1);
        bits.Signed();
        bits.Signed();
        const std::uint32_t cycle = bits.Unsigned();
        for (std::uint32_t i = 0; i < cycle && i < 256 && !bits.overrun; ++i) bits.Signed();
    }
    bits.Unsigned();  // reference frames
    bits.Read(1);
    const std::uint64_t widthMbs = bits.Unsigned() + std::uint64_t{1};
    const std::uint64_t heightUnits = bits.Unsigned() + std::uint64_t{1};
    frameMbsOnly = bits.Read(1) != 0;
    if (!frameMbsOnly) bits.Read(1);
    bits.Read(1);
    std::uint64_t crop[4] = {0, 0, 0, 0};
    if (bits.Read(1)) {
        for (std::uint64_t& side : crop) side = bits.Unsigned();
    }
    if (bits.overrun || chroma > 3) return std::nullopt;
    const std::uint64_t frameFactor = frameMbsOnly ? 1 : 2;
    const std::uint64_t cropX = chroma == 0 || chroma == 3 ? 1 : 2;
    const std::uint64_t cropY = (chroma == 1 ? 2 : 1) * frameFactor;
    const std::uint64_t width = widthMbs * 16;
    const std::uint64_t height = heightUnits * 16 * frameFactor;
    if (cropX * (crop[0] + crop[1]) >= width || cropY * (crop[2] + crop[3]) >= height) return std::nullopt;
    VideoFacts video;
    video.codec = "H.264";
    video.width = static_cast<int>(std::min<std::uint64_t>(width - cropX * (crop[0] + crop[1]), 1u << 30));
    video.height = static_cast<int>(std::min<std::uint64_t>(height - cropY * (crop[2] + crop[3]), 1u << 30));
    // VUI: aspect ratio, overscan, video signal, chroma location, then timing.
    if (bits.Read(1)) {
        if (bits.Read(1) && bits.Read(8) == 255) bits.Read(32);
        if (bits.Read(1)) bits.Read(1);
        if (bits.Read(1)) {
            bits.Read(4);
            if (bits.Read(1)) bits.Read(24);
        }
        if (bits.Read(1)) {
            bits.Unsigned();
            bits.Unsigned();
        }
        if (bits.Read(1)) {
            const std::uint32_t tick = bits.Read(32);
            const std::uint32_t scale = bits.Read(32);
            if (!bits.overrun && tick != 0) video.frameRate = static_cast<double>(scale) / (2.0 * tick);
        }
    }
    return video;
}

}  // namespace

std::optional<VideoFacts> ReadH264Pictures(std::string_view bytes) {
    constexpr std::string_view kStart("\0\0\x01", 3);
    for (std::size_t at = bytes.find(kStart); at != std::string_view::npos; at = bytes.find(kStart, at + 3)) {
        if (at + 3 >= bytes.size() || (static_cast<unsigned char>(bytes[at + 3]) & 0x1F) != 7) continue;
        // The set up to the next start code, emulation prevention bytes
        // (00 00 03) taken out.
        const std::size_t end = std::min(bytes.find(kStart, at + 3), bytes.size());
        std::string rbsp;
        for (std::size_t i = at + 4; i < end; ++i) {
            if (i >= at + 6 && bytes[i] == 3 && bytes[i - 1] == 0 && bytes[i - 2] == 0 && rbsp.size() >= 2 &&
                rbsp[rbsp.size() - 1] == 0 && rbsp[rbsp.size() - 2] == 0)
                continue;
            rbsp += bytes[i];
        }
        return ReadSps(rbsp);
    }
    return std::nullopt;
}

}  // namespace qorvane
