#include "app/watch_files.h"

#include <chrono>
#include <system_error>

namespace qorvane {

namespace fs = std::filesystem;

void ListWatchedFiles(const fs::path& folder, const std::function<void(const fs::path&)>& found) {
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        if (path.filename().string().starts_with('.')) {
            it.disable_recursion_pending();
            continue;
        }
        std::error_code typeError;
        if (it->is_regular_file(typeError)) found(path);
    }
}

std::optional<WatchStamp> WatchStampOf(const fs::path& file) {
    std::error_code ec;
    const fs::directory_entry entry(file, ec);
    if (ec || !entry.is_regular_file(ec) || ec) return std::nullopt;
    WatchStamp stamp;
    stamp.size = entry.file_size(ec);
    if (ec) return std::nullopt;
    const fs::file_time_type modified = entry.last_write_time(ec);
    if (ec) return std::nullopt;
    stamp.modifiedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
    return stamp;
}

}  // namespace qorvane
