#pragma once
// The decisions of program start that need no window.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "platform/desktop.h"
#include "platform/registry.h"

namespace qorvane {

inline constexpr const char* kSiblingMutexName = "Ostrel_drux";
inline constexpr const char* kOwnMutexName = "Ostrel_qorv";
inline constexpr const char* kApplicationTitle = "Qorvane";
inline constexpr const char* kMainWindowCaption = "Qorvane Ver2.03";

// The start-up loader: records the work area, reads the encoder's registry
// key and loads the settings (whatever the encoder check gives), and removes
// what saves cut short by a crash left beside the settings file and the
// profiles. True when the encoder was found. state.paths must be set.
bool RunStartupLoader(const Desktop& desktop, const Registry& registry, AppState& state);

// The command-line arguments made absolute, in order; empty arguments give
// no path and are left out. Every argument counts, "-debug" included (the job
// list refuses it for its extension).
std::vector<std::string> CommandLineFiles(const std::vector<std::string>& arguments);

// Where the script host is looked for: the program's directory, the current
// directory, then the directories of a PATH value (by default this process's).
std::filesystem::path FindScriptHost(const std::filesystem::path& programDir, std::string_view pathVariable);
std::filesystem::path FindScriptHost(const std::filesystem::path& programDir);

}  // namespace qorvane
