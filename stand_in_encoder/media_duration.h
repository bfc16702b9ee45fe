#pragma once
// The duration of an input read from its own headers, for the progress
// lines, so that the common inputs need no ffprobe run:
//
//   WAV  (RIFF "WAVE")  the "data" chunk's size / the byte rate of "fmt "
//   MP3  (MPEG audio)   frames x samples per frame / sample rate from a
//                       Xing/Info or VBRI header, else the audio bytes x 8 /
//                       the bit rate of the first frame (constant rate)
//   AVI  (RIFF "AVI ")  microseconds per frame x total frames ("avih";
//                       the OpenDML "dmlh" total when there is one)
//
// The readers take whatever bytes they are given: they never read outside
// the input, look at a bounded number of bytes, and give up (no duration)
// on anything they cannot make sense of.

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace qorvane::encoder {

// Random access to the bytes of an input.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    virtual std::uint64_t size() const = 0;

    // The bytes at [offset, offset + length) that lie inside the input:
    // fewer near the end, none past it.
    std::string Read(std::uint64_t offset, std::size_t length) const;

protected:
    // Called with a range inside the input only.
    virtual std::string ReadInside(std::uint64_t offset, std::size_t length) const = 0;
};

// An input held in memory (the caller keeps the bytes alive).
class MemoryBytes final : public ByteSource {
public:
    explicit MemoryBytes(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }

private:
    std::string ReadInside(std::uint64_t offset, std::size_t length) const override;

    std::string_view bytes_;
};

// An input file, read piece by piece where asked. A file that cannot be
// opened reads as empty.
class FileBytes final : public ByteSource {
public:
    explicit FileBytes(const std::string& path);
    std::uint64_t size() const override { return size_; }

private:
    std::string ReadInside(std::uint64_t offset, std::size_t length) const override;

    mutable std::ifstream file_;
    std::uint64_t size_ = 0;
};

// The duration in seconds from the input's headers; empty when the input is
// none of the kinds above or its headers give no positive duration.
std::optional<double> ReadHeaderDuration(const ByteSource& input);

// Below this size an input whose headers give no duration gets no ffprobe
// run: it encodes in a few seconds, and one run of ffprobe costs about as
// much as encoding two seconds of sound.
inline constexpr std::uint64_t kProbeWorthyInputSize = std::uint64_t{64} << 20;

}  // namespace qorvane::encoder
