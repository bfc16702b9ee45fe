#include "stand_in_encoder/work_files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <string_view>

#include "stand_in_encoder/child_process.h"

namespace fs = std::filesystem;

namespace qorvane::encoder {

namespace {

constexpr std::string_view kShortPrefix = ".qorvane-cscript-";
constexpr std::string_view kShortSuffix = ".part";
constexpr std::string_view kPassPrefix = "qorvane-cscript-";
constexpr std::size_t kPassRandomLength = 6;  // mkdtemp's XXXXXX

std::error_code LastError() { return {errno, std::generic_category()}; }

std::string ProcPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// The process id at the start of `text`, and what follows it.
bool ReadPid(std::string_view text, pid_t& pid, std::string_view& rest) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pid);
    if (error != std::errc() || end == text.data() || pid <= 0) return false;
    rest = text.substr(static_cast<std::size_t>(end - text.data()));
    return true;
}

bool IsShortName(std::string_view name, pid_t& pid) {
    std::string_view rest;
    if (name.substr(0, kShortPrefix.size()) != kShortPrefix) return false;
    return ReadPid(name.substr(kShortPrefix.size()), pid, rest) && rest == kShortSuffix;
}

bool IsPassDirName(std::string_view name, pid_t& pid) {
    std::string_view rest;
    if (name.substr(0, kPassPrefix.size()) != kPassPrefix) return false;
    if (!ReadPid(name.substr(kPassPrefix.size()), pid, rest)) return false;
    if (rest.size() != 1 + kPassRandomLength || rest[0] != '-') return false;
    for (const char c : rest.substr(1)) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0) return false;
    }
    return true;
}

// Nothing of ours can already carry this process's id, so such a name is a
// leftover of an earlier process that had the same id.
bool OwnerIsGone(pid_t pid) { return pid == getpid() || (kill(pid, 0) != 0 && errno == ESRCH); }

template <typename Matches>
void RemoveStale(const fs::path& dir, Matches matches, mode_t type) {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        pid_t pid = 0;
        if (!matches(name, pid)) continue;
        struct stat info {};
        if (lstat(it->path().c_str(), &info) != 0 || (info.st_mode & S_IFMT) != type || info.st_uid != getuid())
            continue;
        if (!OwnerIsGone(pid)) continue;
        std::error_code ignored;
        fs::remove_all(it->path(), ignored);
    }
}

}  // namespace

fs::path OutputDirectory(const fs::path& output) {
    return output.has_parent_path() ? output.parent_path() : fs::path(".");
}

WorkFiles::WorkFiles(const fs::path& output)
    : output_(output),
      shortName_(OutputDirectory(output) /
                 (std::string(kShortPrefix) + std::to_string(getpid()) + std::string(kShortSuffix))) {}

bool WorkFiles::Open(std::error_code& ec) {
    // Created as ffmpeg creates its files, so the umask decides the mode.
    int fd = -1;
    if (access("/proc/self/fd", X_OK) == 0)
        fd = open(OutputDirectory(output_).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    unnamed_ = fd >= 0;
    if (!unnamed_) {
        fd = open(shortName_.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0666);
        if (fd < 0) {
            ec = LastError();
            return false;
        }
        shortNameExists_ = true;
    }
    // Above the descriptor the child gets, so that the two never coincide.
    fd_ = fcntl(fd, F_DUPFD_CLOEXEC, kSharedChildDescriptor + 1);
    const std::error_code dupError = LastError();
    close(fd);
    if (fd_ < 0) {
        ec = dupError;
        Discard();
        return false;
    }
    struct stat info {};
    if (fstat(fd_, &info) != 0) {
        ec = LastError();
        Discard();
        return false;
    }
    // ffmpeg opens the file again for writing, which a umask without the
    // owner's write bit would refuse; the mode is put back before linking.
    mode_ = info.st_mode & 07777;
    modeLacksOwnerWrite_ = (mode_ & S_IWUSR) == 0;
    if (modeLacksOwnerWrite_) fchmod(fd_, mode_ | S_IWUSR);
    ffmpegOutput_ = unnamed_ ? ProcPath(kSharedChildDescriptor) : shortName_.string();
    return true;
}

std::string WorkFiles::PassLogPrefix() {
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec);
    if (ec) return {};
    std::string pattern =
        (temp / (std::string(kPassPrefix) + std::to_string(getpid()) + "-" + std::string(kPassRandomLength, 'X')))
            .string();
    if (mkdtemp(pattern.data()) == nullptr) return {};
    passDir_ = pattern;
    return (passDir_ / "pass").string();
}

std::uintmax_t WorkFiles::WrittenSize() const {
    struct stat info {};
    if (fd_ < 0 || fstat(fd_, &info) != 0) return 0;
    return static_cast<std::uintmax_t>(info.st_size);
}

bool WorkFiles::Commit(std::error_code& ec) {
    if (modeLacksOwnerWrite_ && fchmod(fd_, mode_) != 0) {
        ec = LastError();
        return false;
    }
    if (unnamed_) {
        const std::string self = ProcPath(fd_);
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, output_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            Discard();
            return true;
        }
        if (errno != EEXIST || linkat(AT_FDCWD, self.c_str(), AT_FDCWD, shortName_.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            ec = LastError();
            return false;
        }
        shortNameExists_ = true;
    }
    if (rename(shortName_.c_str(), output_.c_str()) != 0) {
        ec = LastError();
        return false;
    }
    shortNameExists_ = false;
    Discard();
    return true;
}

void WorkFiles::Discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (shortNameExists_) unlink(shortName_.c_str());
    shortNameExists_ = false;
    std::error_code ec;
    if (!passDir_.empty()) fs::remove_all(passDir_, ec);
    passDir_.clear();
}

void RemoveStaleLeftovers(const fs::path& outputDir, const fs::path& tempDir) {
    RemoveStale(outputDir, IsShortName, S_IFREG);
    RemoveStale(tempDir, IsPassDirName, S_IFDIR);
}

}  // namespace qorvane::encoder
