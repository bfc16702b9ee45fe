#include "platform/posix/posix_durable_text_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <system_error>

namespace qorvane {

namespace {

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t put = ::write(fd, text.data(), text.size());
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

int OpenRetrying(const std::filesystem::path& file, int flags) {
    int fd;
    do {
        fd = ::open(file.c_str(), flags | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

void MakeFolderOf(const std::filesystem::path& file) {
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
}

}  // namespace

std::string PosixDurableTextFile::load() {
    std::ifstream in(file_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool PosixDurableTextFile::append(std::string_view lines) {
    MakeFolderOf(file_);
    const int fd = OpenRetrying(file_, O_RDWR | O_APPEND | O_CREAT);
    if (fd < 0) return false;
    std::string text;
    // A line a crash cut short stays a line of its own, which readers skip.
    const off_t size = ::lseek(fd, 0, SEEK_END);
    char last = '\n';
    if (size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n') text = "\n";
    text += lines;
    const bool ok = WriteAll(fd, text) && ::fdatasync(fd) == 0;
    ::close(fd);
    return ok;
}

bool PosixDurableTextFile::replace(std::string_view text) {
    MakeFolderOf(file_);
    const std::filesystem::path temporary = file_.string() + ".tmp";
    const int fd = OpenRetrying(temporary, O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0) return false;
    const bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
    ::close(fd);
    std::error_code ec;
    if (!written || ::rename(temporary.c_str(), file_.c_str()) != 0) {
        std::filesystem::remove(temporary, ec);
        return false;
    }
    // The rename itself reaches the disk with the folder.
    if (const int dir = OpenRetrying(file_.parent_path().empty() ? "." : file_.parent_path(), O_RDONLY | O_DIRECTORY);
        dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace qorvane
