#include "app/kept_tree.h"

#include <filesystem>

namespace qorvane {

std::string KeptTreeOutputFolder(std::string_view outDir, std::string_view addedFolder,
                                 std::string_view file) {
    if (outDir.empty()) return {};
    namespace fs = std::filesystem;
    const fs::path root = fs::path(addedFolder).lexically_normal();
    const fs::path folder = fs::path(file).lexically_normal().parent_path();
    const fs::path relative = folder.lexically_relative(root);
    if (relative.empty() || *relative.begin() == "..") return std::string(outDir);
    if (relative == ".") return std::string(outDir);
    return (fs::path(outDir) / relative).lexically_normal().string();
}

std::string RowOutputFolder(std::string_view outDir, bool keepTree, std::string_view addedFolder,
                            std::string_view file) {
    if (!keepTree || addedFolder.empty()) return std::string(outDir);
    return KeptTreeOutputFolder(outDir, addedFolder, file);
}

}  // namespace qorvane
