#include "app/watch_files.h"

#include <chrono>
#include <system_error>

#include "app/folder_listing.h"

namespace qorvane {

namespace fs = std::filesystem;

namespace {

class Found final : public FolderListingSink {
public:
    explicit Found(const std::function<void(const fs::path&)>& found) : found_(found) {}
    void found(FoundInput input) override {
        if (!input.addedFolder.empty()) found_(input.path);  // not the folder itself, when it is gone
    }
    void unreadableFolder(const std::string&) override {}  // the next rescan tries again

private:
    const std::function<void(const fs::path&)>& found_;
};

}  // namespace

WatchListing WatchListingOf(const DirectoryWalk& walk) {
    return [&walk](const fs::path& folder, const std::function<void(const fs::path&)>& found) {
        Found sink(found);
        ListInputs(walk, {folder.string()}, sink);
    };
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
    // Since the Unix epoch, as stat(2) tells it, so the record reads plainly.
    const auto sinceEpoch = std::chrono::file_clock::to_sys(modified).time_since_epoch();
    stamp.modifiedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count();
    return stamp;
}

}  // namespace qorvane
