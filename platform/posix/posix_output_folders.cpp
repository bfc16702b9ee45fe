#include "platform/posix/posix_output_folders.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace qorvane {

namespace {

// Not in every kernel's headers: NTFS (ntfs3 and the older driver) and SMB 2
// shares, which Windows serves without letter case.
constexpr unsigned long kNtfsMagic = 0x5346544e;
constexpr unsigned long kSmb2Magic = 0xfe534d42;

bool WindowsFileSystem(const std::filesystem::path& folder) {
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0) return false;
    switch (static_cast<unsigned long>(info.f_type)) {
        case MSDOS_SUPER_MAGIC:
        case EXFAT_SUPER_MAGIC:
        case kNtfsMagic:
        case CIFS_SUPER_MAGIC:
        case kSmb2Magic: return true;
        default: return false;
    }
}

// ext4 and f2fs fold case per folder (chattr +F).
bool Casefolded(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;  // the kernel reads and writes an int, whatever the macro says
    const bool folded = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0;
    ::close(fd);
    return folded;
}

}  // namespace

std::optional<OutputFolders::Facts> PosixOutputFolders::facts(const std::filesystem::path& folder) const {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return std::nullopt;
    return Facts{status.st_dev, status.st_ino, WindowsFileSystem(folder) || Casefolded(folder)};
}

}  // namespace qorvane
