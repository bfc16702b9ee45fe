#include "app/app_paths.h"

namespace qorvane {

namespace fs = std::filesystem;

AppPaths AppPathsIn(const fs::path& programPath, const fs::path& dataDir) {
    AppPaths paths;
    paths.programDir = programPath.parent_path();
    paths.settingsFile = dataDir / programPath.filename();
    paths.settingsFile.replace_extension(".ini");
    paths.profileDir = dataDir / "Profile";
    return paths;
}

AppPaths ChooseAppPaths(const fs::path& programPath, bool programDirWritable,
                        const fs::path& configHome) {
    if (programDirWritable || configHome.empty()) {
        return AppPathsIn(programPath, programPath.parent_path());
    }
    return AppPathsIn(programPath, configHome / "qorvane");
}

}  // namespace qorvane
