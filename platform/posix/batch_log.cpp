#include "platform/posix/batch_log.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qorvane {
namespace {

std::filesystem::path FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

bool ReadFully(int fd, char* data, std::size_t size, std::size_t offset) {
    while (size > 0) {
        const ssize_t got = ::pread(fd, data, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        data += got;
        size -= static_cast<std::size_t>(got);
        offset += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

std::filesystem::path DefaultBatchLogPath() {
    if (auto chosen = FromEnvironment("QORVANE_LOG"); !chosen.empty()) return chosen;
    // A relative XDG_STATE_HOME is invalid and must be ignored.
    if (auto state = FromEnvironment("XDG_STATE_HOME"); state.is_absolute()) {
        return state / "qorvane" / "encoder.log";
    }
    auto home = FromEnvironment("HOME");
    if (home.empty()) home = std::filesystem::temp_directory_path();
    return home / ".local" / "state" / "qorvane" / "encoder.log";
}

int OpenBatchLog(const std::filesystem::path& path) {
    std::error_code ec;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > kBatchLogRotateBytes) {
        auto old = path;
        old += ".1";
        std::filesystem::rename(path, old, ec);
    }
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

void AppendToLog(int fd, std::string_view text) {
    if (fd < 0) return;
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::string LogTimestampLine() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32] = "?";
    if (::localtime_r(&now, &local) != nullptr) {
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    }
    return std::string("==== ") + stamp + " ====\n";
}

std::string CapturedOutputTail(int captureFd, std::size_t limit) {
    if (captureFd < 0) return {};
    struct stat info {};
    if (::fstat(captureFd, &info) != 0 || info.st_size <= 0) return {};
    const auto total = static_cast<std::size_t>(info.st_size);
    const std::size_t keep = total < limit ? total : limit;
    std::size_t offset = total - keep;
    // One byte more in front when cut, to see whether the cut falls on a line start.
    const std::size_t lead = offset > 0 ? 1 : 0;
    std::vector<char> tail(keep + lead);
    if (!ReadFully(captureFd, tail.data(), tail.size(), offset - lead)) return {};

    std::string_view text(tail.data(), tail.size());
    std::string result;
    if (lead > 0) {
        const auto lineStart = text.find('\n');
        const std::size_t drop = lineStart != std::string_view::npos && lineStart + 1 < text.size()
                                     ? lineStart + 1
                                     : lead;  // one endless line: keep its end
        text.remove_prefix(drop);
        offset += drop - lead;
        result = "[... " + std::to_string(offset) + " bytes of earlier output left out ...]\n";
    }
    result += text;
    if (result.back() != '\n') result += '\n';
    return result;
}

}  // namespace qorvane
