#include "platform/posix/posix_directory_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace qorvane {

namespace {

DirectoryWalk::Kind KindOfMode(mode_t mode) {
    if (S_ISREG(mode)) return DirectoryWalk::Kind::File;
    if (S_ISDIR(mode)) return DirectoryWalk::Kind::Folder;
    return DirectoryWalk::Kind::Other;
}

}  // namespace

DirectoryWalk::Kind PosixDirectoryWalk::kind(const std::filesystem::path& path) const {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return Kind::Other;
    return KindOfMode(status.st_mode);
}

std::optional<DirectoryWalk::Listing> PosixDirectoryWalk::list(const std::filesystem::path& folder) const {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return std::nullopt;
    }
    Listing listing;
    listing.device = status.st_dev;
    listing.inode = status.st_ino;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') continue;  // hidden, and "." and ".."
        Entry e;
        e.name = entry->d_name;
        switch (entry->d_type) {
            case DT_REG: e.kind = Kind::File; break;
            case DT_DIR: e.kind = Kind::Folder; break;
            case DT_LNK:
            case DT_UNKNOWN: {
                // A link is what it points to; some file systems tell nothing.
                struct stat target {};
                e.kind = ::fstatat(fd, entry->d_name, &target, 0) == 0 ? KindOfMode(target.st_mode) : Kind::Other;
                break;
            }
            default: e.kind = Kind::Other; break;
        }
        listing.entries.push_back(std::move(e));
        errno = 0;
    }
    const bool failed = errno != 0;  // a read that broke off: the folder is not whole
    ::closedir(dir);
    if (failed) return std::nullopt;
    return listing;
}

}  // namespace qorvane
