#pragma once
// Random access to the bytes of a file whose headers a reader looks at, or
// of bytes in memory (tests, fuzzers). Readers of untrusted bytes ask for
// what they need and take fewer bytes near the end as an answer.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace qorvane {

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

// A file, read piece by piece where asked. A file that cannot be opened
// reads as empty.
class FileBytes final : public ByteSource {
public:
    explicit FileBytes(const std::filesystem::path& path);
    std::uint64_t size() const override { return size_; }

private:
    std::string ReadInside(std::uint64_t offset, std::size_t length) const override;

    mutable std::ifstream file_;
    std::uint64_t size_ = 0;
};

}  // namespace qorvane
