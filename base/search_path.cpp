#include "base/search_path.h"

#include <system_error>

namespace qorvane {

namespace fs = std::filesystem;

std::vector<fs::path> SearchDirectories(const fs::path& programDir, std::string_view pathVariable) {
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    std::vector<fs::path> dirs{programDir, current};
    if (pathVariable.empty()) return dirs;
    std::size_t start = 0;
    while (start <= pathVariable.size()) {
        auto end = pathVariable.find(':', start);
        if (end == std::string_view::npos) end = pathVariable.size();
        const std::string_view entry = pathVariable.substr(start, end - start);
        dirs.push_back(entry.empty() ? current : fs::path(entry));
        start = end + 1;
    }
    return dirs;
}

fs::path SearchPath(std::string_view fileName, const std::vector<fs::path>& directories) {
    if (fileName.empty()) return {};
    constexpr auto anyExec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    for (const auto& dir : directories) {
        if (dir.empty()) continue;
        std::error_code ec;
        const fs::path candidate = fs::absolute(dir / fileName, ec).lexically_normal();
        if (ec) continue;
        const auto status = fs::status(candidate, ec);
        if (!ec && fs::is_regular_file(status) && (status.permissions() & anyExec) != fs::perms::none) {
            return candidate;
        }
    }
    return {};
}

}  // namespace qorvane
