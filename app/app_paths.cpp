#include "app/app_paths.h"

#include "app/encoder_location.h"

namespace qorvane {

namespace fs = std::filesystem;

InstallLayout BuiltInstallLayout() {
    return {QORVANE_INSTALL_BINDIR, QORVANE_INSTALL_PRIVATEDIR};
}

fs::path InstallPrefixOf(const fs::path& programPath, const InstallLayout& layout) {
    // Walk up from the program's folder once per component of binDir.
    fs::path prefix = programPath.parent_path();
    for (auto part = layout.binDir.end(); part != layout.binDir.begin();) {
        --part;
        if (prefix.filename() != *part) return {};
        prefix = prefix.parent_path();
    }
    std::error_code ec;
    if (!fs::is_regular_file(prefix / layout.privateDir / kScriptHostFileName, ec)) return {};
    return prefix;
}

fs::path InstallConfigDirOf(const fs::path& prefix) {
    if (prefix == "/usr") return "/etc/xdg";
    return prefix / "etc" / "xdg";
}

AppPaths AppPathsIn(const fs::path& programPath, const fs::path& dataDir) {
    AppPaths paths;
    paths.hostDir = programPath.parent_path();
    paths.settingsFile = dataDir / programPath.filename();
    paths.settingsFile.replace_extension(".ini");
    paths.profileDir = dataDir / "Profile";
    return paths;
}

AppPaths ChooseAppPaths(const fs::path& programPath, const fs::path& configHome,
                        const std::function<bool(const fs::path&)>& isWritableDirectory,
                        const InstallLayout& layout) {
    const fs::path userDir = configHome.empty() ? fs::path() : configHome / "qorvane";
    if (const fs::path prefix = InstallPrefixOf(programPath, layout); !prefix.empty()) {
        AppPaths paths = AppPathsIn(programPath, userDir.empty() ? programPath.parent_path() : userDir);
        paths.hostDir = prefix / layout.privateDir;
        paths.installConfigDir = InstallConfigDirOf(prefix);
        return paths;
    }
    const bool beside = userDir.empty() || isWritableDirectory(programPath.parent_path());
    return AppPathsIn(programPath, beside ? programPath.parent_path() : userDir);
}

}  // namespace qorvane
