#include "platform/posix/file_head_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>
#include <system_error>

namespace qorvane {

namespace {

SaveResult Failure(int error) { return {false, std::generic_category().message(error)}; }

// Closes on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, with the answer that tells of a write that failed late.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Copies `size` bytes of `in` from `offset` to the end of `out`; in the
// kernel where it can, through a buffer where it cannot.
bool CopyRange(int in, off_t offset, int out, std::uint64_t size) {
    bool inKernel = true;
    std::array<char, 1 << 16> buffer;
    while (size > 0) {
        ssize_t copied = -1;
        if (inKernel) {
            copied = ::copy_file_range(in, &offset, out, nullptr, size, 0);
            if (copied < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                inKernel = false;
                continue;
            }
        } else {
            copied = ::pread(in, buffer.data(), std::min<std::uint64_t>(size, buffer.size()), offset);
            if (copied > 0 && !WriteAll(out, buffer.data(), static_cast<std::size_t>(copied))) return false;
            if (copied > 0) offset += copied;
        }
        if (copied < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (copied == 0) {  // the file is shorter than it was
            errno = EIO;
            return false;
        }
        size -= static_cast<std::uint64_t>(copied);
    }
    return true;
}

void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // the rename is done either way; this only makes it last
    ::close(fd);
}

}  // namespace

SaveResult ReplaceFileHead(const std::filesystem::path& file, std::uint64_t keepFrom, std::string_view head) {
    Descriptor in(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat original {};
    if (in.get() < 0 || ::fstat(in.get(), &original) != 0) return Failure(errno);
    const auto oldSize = static_cast<std::uint64_t>(original.st_size);
    if (keepFrom > oldSize) return Failure(EINVAL);

    const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
    // Not named after the file: a name at the system's length limit would
    // leave no room for a longer one beside it.
    std::string temporary = (folder / ".qorvane-save-XXXXXX").string();
    Descriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (out.get() < 0) return Failure(errno);

    const std::uint64_t expected = head.size() + (oldSize - keepFrom);
    const auto writeWhole = [&]() -> int {  // 0, or the error
        if (::fchmod(out.get(), original.st_mode & 07777) != 0 || !WriteAll(out.get(), head.data(), head.size()) ||
            !CopyRange(in.get(), static_cast<off_t>(keepFrom), out.get(), oldSize - keepFrom) ||
            ::fsync(out.get()) != 0) {
            return errno;
        }
        struct stat written {};
        if (::fstat(out.get(), &written) != 0) return errno;
        return static_cast<std::uint64_t>(written.st_size) == expected ? 0 : EIO;
    };
    int error = writeWhole();
    if (!out.close() && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), file.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return Failure(error);
    }
    SyncFolder(folder);
    return {};
}

}  // namespace qorvane
