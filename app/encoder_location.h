#pragma once
// Where the two outside programs of every encoding are: the encoding script
// (found through the encoder's registry key) and its script host (found on
// the search path), plus the debug switch of the command line.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace qorvane {

inline constexpr const char* kEncoderRegistryKey = "software\\Microsoft\\Windows Media\\Encoder";
inline constexpr const char* kEncoderScriptName = "wmcmd.vbs";
// The script host's file name as searched on this system (the bundled
// stand-in of the Windows script host).
inline constexpr const char* kScriptHostFileName = "qorvane-cscript";
inline constexpr const char* kDebugArgument = "-debug";
inline constexpr const char* kEncoderMissingMessage =
    "Windows Media 9 Encoding Script がインストールされていません";

struct EncoderLocation {
    std::string scriptPath;            // InstallDir + "wmcmd.vbs"
    std::filesystem::path cscriptPath;  // empty when the host was not found
    bool debugMode = false;
};

// Reads the encoder's registry key. True when its "Version" begins with "9.";
// scriptPath is then "InstallDir" with "wmcmd.vbs" appended as it stands (no
// separator is inserted; the value ends in one). Nothing else is checked:
// neither the folder nor the script needs to exist.
bool LocateEncoderScript(const Registry& registry, EncoderLocation& location);

// True when the first argument is exactly "-debug" (the program's name is
// not among the arguments).
bool IsDebugMode(const std::vector<std::string>& arguments);

}  // namespace qorvane
