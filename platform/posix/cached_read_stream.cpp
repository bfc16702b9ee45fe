#include "platform/posix/cached_read_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/file_open_error.h"

namespace qorvane {

namespace {

constexpr std::uint64_t kBlockSize = 64 * 1024;

}  // namespace

CachedReadStream::CachedReadStream(const std::filesystem::path& path)
    : name_(path.string()), fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
    // O_NONBLOCK: a FIFO opens at once instead of waiting for a writer, and
    // is then refused with everything else that is no regular file.
    struct stat status {};
    if (fd_ < 0 || ::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) {
        if (fd_ >= 0) ::close(fd_);
        throw FileOpenError(name_);
    }
    length_ = static_cast<long>(status.st_size);
}

CachedReadStream::~CachedReadStream() { ::close(fd_); }

const std::string& CachedReadStream::block(std::uint64_t index) {
    auto [entry, added] = blocks_.try_emplace(index);
    if (!added) return entry->second;
    std::string& bytes = entry->second;
    bytes.resize(kBlockSize);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(fd_, bytes.data() + got, bytes.size() - got,
                                  static_cast<off_t>(index * kBlockSize + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the end of the file, or a read error: what came counts
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

std::string CachedReadStream::ReadAt(std::uint64_t offset, std::size_t length) {
    std::string out;
    const auto size = static_cast<std::uint64_t>(length_);
    if (offset >= size) return out;
    const std::uint64_t wanted = std::min<std::uint64_t>(length, size - offset);
    out.reserve(static_cast<std::size_t>(wanted));
    while (out.size() < wanted) {
        const std::uint64_t at = offset + out.size();
        const std::string& bytes = block(at / kBlockSize);
        const std::uint64_t inBlock = at % kBlockSize;
        if (inBlock >= bytes.size()) break;  // the file became shorter
        const std::uint64_t n = std::min<std::uint64_t>(bytes.size() - inBlock, wanted - out.size());
        out.append(bytes, static_cast<std::size_t>(inBlock), static_cast<std::size_t>(n));
    }
    return out;
}

TagLib::ByteVector CachedReadStream::readBlock(unsigned long length) {
    if (position_ < 0) return {};
    const std::string bytes = ReadAt(static_cast<std::uint64_t>(position_), length);
    position_ += static_cast<long>(bytes.size());
    return TagLib::ByteVector(bytes.data(), static_cast<unsigned>(bytes.size()));
}

void CachedReadStream::seek(long offset, Position from) {
    const long base = from == Beginning ? 0 : from == Current ? position_ : length_;
    position_ = std::max(0L, base + offset);
}

}  // namespace qorvane
