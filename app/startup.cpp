#include "app/startup.h"

#include <cstdlib>

#include "encode/command_line.h"
#include "base/ini_file.h"
#include "base/search_path.h"
#include "profiles/profile_names.h"

namespace qorvane {

bool RunStartupLoader(const Desktop& desktop, const Registry& registry, AppState& state) {
    state.workArea = desktop.workArea();
    const bool found = LocateEncoderScript(registry, state.encoder);
    state.settings = LoadSettings(state.paths.settingsFile, state.workArea);
    // Saves that a crash or a kill cut short left their temporary files;
    // the files themselves are whole.
    RemoveInterruptedSaves(state.paths.settingsFile);
    RemoveInterruptedSavesIn(state.paths.profileDir, kProfileExtension);
    return found;
}

std::vector<std::string> CommandLineFiles(const std::vector<std::string>& arguments) {
    std::vector<std::string> files;
    for (const auto& argument : arguments) {
        if (argument.empty()) continue;
        files.push_back(ResolveFullPath(argument).string());
    }
    return files;
}

std::filesystem::path FindScriptHost(const std::filesystem::path& programDir, std::string_view pathVariable) {
    return SearchPath(kScriptHostFileName, SearchDirectories(programDir, pathVariable));
}

std::filesystem::path FindScriptHost(const std::filesystem::path& programDir) {
    const char* path = std::getenv("PATH");
    return FindScriptHost(programDir, path ? path : "");
}

}  // namespace qorvane
