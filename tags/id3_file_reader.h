#pragma once
// Reads small pieces of one file at given offsets. The first few kilobytes
// are kept, since the headers, the frames of a typical tag and the first
// audio bytes usually all lie there; anything else is read where it is. The
// file's size is only asked for when a piece lies beyond what has been read,
// so that a typical file costs a look at its type, one open, one read and one
// close.

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace qorvane {

class Id3FileReader {
public:
    // Opens the file for reading; throws FileOpenError when it cannot, or
    // when the path names no regular file (a directory, a FIFO, a device).
    explicit Id3FileReader(const std::filesystem::path& path);
    ~Id3FileReader();
    Id3FileReader(const Id3FileReader&) = delete;
    Id3FileReader& operator=(const Id3FileReader&) = delete;

    // Copies up to `count` bytes from `offset` into `out`; returns how many
    // arrived (fewer at the end of the file or on a read error).
    std::size_t readAt(std::uint64_t offset, void* out, std::size_t count);

    // Copies the last `count` bytes of the file into `out`; returns how many
    // arrived (0 when the file is shorter).
    std::size_t readLast(void* out, std::size_t count);

    // How many zero bytes follow from `offset` within what has been read
    // already (0 when that piece has not been read).
    std::size_t zeroBytesAt(std::uint64_t offset) const;

    // True when the file reaches at least to offset + count.
    bool holds(std::uint64_t offset, std::uint64_t count);

    // The size of the file in bytes.
    std::uint64_t size();

private:
    void fill(std::uint64_t offset);
    bool seek(std::uint64_t offset);
    std::size_t readDirect(std::uint64_t offset, void* out, std::size_t count);

    std::FILE* file_;
    std::uint64_t position_ = 0;  // where the next fread starts
    bool positionKnown_ = true;
    std::array<unsigned char, 4096> window_;  // only [0, windowLength_) is ever read
    std::uint64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
    bool windowFilled_ = false;
    std::uint64_t size_ = 0;
    bool sizeKnown_ = false;
};

}  // namespace qorvane
