#include "platform/posix/statvfs_free_space.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <system_error>

namespace qorvane {

std::optional<FreeSpace::Space> StatvfsFreeSpace::space(const std::filesystem::path& folder) const {
    // A folder the batch will create lies on its nearest existing parent's file system.
    std::error_code ec;
    std::filesystem::path at = std::filesystem::absolute(folder, ec).lexically_normal();
    if (ec) return std::nullopt;
    struct stat status {};
    while (::stat(at.c_str(), &status) != 0) {
        if (!at.has_relative_path()) return std::nullopt;
        at = at.parent_path();
    }
    struct statvfs info {};
    if (::statvfs(at.c_str(), &info) != 0) return std::nullopt;
    return Space{static_cast<std::uint64_t>(status.st_dev),
                 static_cast<std::uint64_t>(info.f_bavail) * static_cast<std::uint64_t>(info.f_frsize)};
}

}  // namespace qorvane
