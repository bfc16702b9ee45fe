#include "app/watch_rules.h"

#include <array>

#include "app/add_job.h"
#include "app/kept_tree.h"
#include "base/ascii_case.h"

namespace qorvane {

namespace fs = std::filesystem;

bool IsNeverTakenName(std::string_view fileName) {
    if (fileName.empty() || fileName.front() == '.' || fileName.front() == '~') return true;
    static constexpr std::array<std::string_view, 4> kUnfinished{".part", ".crdownload", ".tmp", ".partial"};
    const std::string lower = LowerAscii(fileName);
    for (const std::string_view suffix : kUnfinished) {
        if (lower.ends_with(suffix)) return true;
    }
    return false;
}

bool IsUnderFolder(const fs::path& path, const fs::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (f->empty()) continue;  // a trailing separator
        if (p == path.end() || *p != *f) return false;
    }
    return true;
}

bool MayTake(const fs::path& file, const fs::path& root, const std::vector<fs::path>& outputFolders) {
    if (!IsUnderFolder(file, root) || !IsAcceptedMediaFile(file.string())) return false;
    if (IsNeverTakenName(file.filename().string())) return false;
    const fs::path below = file.lexically_relative(root).parent_path();
    for (const fs::path& part : below) {
        if (part.string().starts_with('.')) return false;  // a hidden folder
    }
    for (const fs::path& out : outputFolders) {
        if (IsUnderFolder(file, out)) return false;
    }
    return true;
}

std::string OutputFolderFor(const WatchedFolder& watch, const fs::path& file) {
    if (!watch.keepTree) return watch.outDir;
    return KeptTreeOutputFolder(watch.outDir, watch.folder, file.string());
}

fs::path NormalFolder(const fs::path& folder) {
    fs::path normal = fs::absolute(folder).lexically_normal();
    if (normal.has_relative_path() && normal.filename().empty()) normal = normal.parent_path();
    return normal;
}

}  // namespace qorvane
