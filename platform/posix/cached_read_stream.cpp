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

TagLib::ByteVector CachedReadStream::readBlock(unsigned long length) {
    TagLib::ByteVector out;
    if (position_ < 0 || position_ >= length_) return out;
    auto wanted = std::min<std::uint64_t>(length, static_cast<std::uint64_t>(length_ - position_));
    out.resize(static_cast<unsigned>(wanted));
    std::uint64_t done = 0;
    while (done < wanted) {
        const std::uint64_t at = static_cast<std::uint64_t>(position_) + done;
        const std::string& bytes = block(at / kBlockSize);
        const std::uint64_t offset = at % kBlockSize;
        if (offset >= bytes.size()) break;  // the file became shorter
        const std::uint64_t n = std::min<std::uint64_t>(bytes.size() - offset, wanted - done);
        std::copy_n(bytes.data() + offset, n, out.data() + done);
        done += n;
    }
    out.resize(static_cast<unsigned>(done));
    position_ += static_cast<long>(done);
    return out;
}

void CachedReadStream::seek(long offset, Position from) {
    const long base = from == Beginning ? 0 : from == Current ? position_ : length_;
    position_ = std::max(0L, base + offset);
}

}  // namespace qorvane
