#include "tags/id3_file_reader.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <system_error>

#include "platform/file_open_error.h"

namespace qorvane {

namespace {

// Only a regular file (or a link to one) is opened. A directory would open
// here and simply yield no bytes, and opening a FIFO waits for a writer, so
// anything else counts as a file that cannot be opened. The type is asked
// for just before the open; the standard library offers no way to open
// without waiting and ask the open file itself.
std::FILE* OpenRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return nullptr;
    return std::fopen(path.c_str(), "rb");
}

}  // namespace

Id3FileReader::Id3FileReader(const std::filesystem::path& path)
    : file_(OpenRegularFile(path)) {
    if (file_ == nullptr) throw FileOpenError(path.string());
    // Reads go through our own window; a second buffer would only copy twice.
    std::setvbuf(file_, nullptr, _IONBF, 0);
}

Id3FileReader::~Id3FileReader() { std::fclose(file_); }

bool Id3FileReader::seek(std::uint64_t offset) {
    if (positionKnown_ && position_ == offset) return true;  // saves a system call
    if (offset > static_cast<std::uint64_t>(LONG_MAX)) return false;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) {
        positionKnown_ = false;
        return false;
    }
    position_ = offset;
    positionKnown_ = true;
    return true;
}

std::size_t Id3FileReader::readDirect(std::uint64_t offset, void* out, std::size_t count) {
    if (!seek(offset)) return 0;
    const std::size_t got = std::fread(out, 1, count, file_);
    position_ += got;
    if (got < count) {
        positionKnown_ = !std::ferror(file_);
        std::clearerr(file_);
    }
    return got;
}

void Id3FileReader::fill(std::uint64_t offset) {
    windowLength_ = readDirect(offset, window_.data(), window_.size());
    windowStart_ = offset;
    windowFilled_ = true;
    // A window that starts inside the file but comes back short ends at its end.
    if (windowLength_ > 0 && windowLength_ < window_.size()) {
        size_ = offset + windowLength_;
        sizeKnown_ = true;
    }
}

std::size_t Id3FileReader::readAt(std::uint64_t offset, void* out, std::size_t count) {
    if (count > window_.size()) return readDirect(offset, out, count);
    const bool windowHoldsEnd = windowFilled_ && windowLength_ < window_.size();
    const bool startsInside =
        windowFilled_ && offset >= windowStart_ && offset - windowStart_ <= windowLength_;
    if (!startsInside || (offset - windowStart_ + count > windowLength_ && !windowHoldsEnd)) {
        fill(offset);
    }
    const auto skip = static_cast<std::size_t>(offset - windowStart_);
    const std::size_t got = std::min(count, windowLength_ - skip);
    if (got > 0) std::memcpy(out, window_.data() + skip, got);
    return got;
}

std::size_t Id3FileReader::readLast(void* out, std::size_t count) {
    if (sizeKnown_) return size_ >= count ? readAt(size_ - count, out, count) : 0;
    // One seek from the end finds the place without asking for the size first.
    if (std::fseek(file_, -static_cast<long>(count), SEEK_END) != 0) {
        positionKnown_ = false;
        return 0;
    }
    positionKnown_ = false;
    const std::size_t got = std::fread(out, 1, count, file_);
    std::clearerr(file_);
    return got;
}

std::size_t Id3FileReader::zeroBytesAt(std::uint64_t offset) const {
    if (!windowFilled_ || offset < windowStart_ || offset - windowStart_ >= windowLength_) return 0;
    const auto* begin = window_.data() + (offset - windowStart_);
    const auto* end = window_.data() + windowLength_;
    const auto* firstNonZero = std::find_if(begin, end, [](unsigned char b) { return b != 0; });
    return static_cast<std::size_t>(firstNonZero - begin);
}

bool Id3FileReader::holds(std::uint64_t offset, std::uint64_t count) {
    if (windowFilled_ && offset >= windowStart_ &&
        offset - windowStart_ + count <= windowLength_) {
        return true;
    }
    return offset + count <= size();
}

std::uint64_t Id3FileReader::size() {
    if (!sizeKnown_) {
        positionKnown_ = false;
        if (std::fseek(file_, 0, SEEK_END) == 0) {
            const long end = std::ftell(file_);
            size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
        }
        sizeKnown_ = true;
    }
    return size_;
}

}  // namespace qorvane
