#pragma once
// A read-only TagLib stream over one file that keeps what it has read, in
// blocks of 64 KiB. TagLib reads a file's tags in many small pieces, and on
// its own FileStream each piece is a seek and a read of its own; here a small
// file costs one read, and a large one a read per block its tags touch.

#include <taglib/tiostream.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace qorvane {

class CachedReadStream final : public TagLib::IOStream {
public:
    // Throws FileOpenError when the path names no regular file (opening a
    // FIFO would wait for a writer) or the file cannot be opened.
    explicit CachedReadStream(const std::filesystem::path& path);
    ~CachedReadStream() override;
    CachedReadStream(const CachedReadStream&) = delete;
    CachedReadStream& operator=(const CachedReadStream&) = delete;

    TagLib::FileName name() const override { return name_.c_str(); }
    TagLib::ByteVector readBlock(unsigned long length) override;
    bool readOnly() const override { return true; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position from = Beginning) override;
    long tell() const override { return position_; }
    long length() override { return length_; }

    // The bytes at [offset, offset + length) that lie inside the file,
    // through the same blocks, the stream's position left as it is.
    std::string ReadAt(std::uint64_t offset, std::size_t length);

    // Never called on a read-only stream.
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    void truncate(long) override {}

private:
    const std::string& block(std::uint64_t index);

    std::string name_;
    int fd_;
    long length_ = 0;
    long position_ = 0;
    std::map<std::uint64_t, std::string> blocks_;
};

}  // namespace qorvane
