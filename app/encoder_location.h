#pragma once
// Finding the encoding script through the encoder's registry key, and the
// debug switch of the program's command line.

#include <string>
#include <vector>

#include "encode/encoder_location.h"
#include "platform/registry.h"
#include "platform/ui_text.h"

namespace qorvane {

inline constexpr const char* kEncoderRegistryKey = "software\\Microsoft\\Windows Media\\Encoder";
inline constexpr const char* kEncoderScriptName = "wmcmd.vbs";
// The script host's file name as searched on this system (the bundled
// stand-in of the Windows script host).
inline constexpr const char* kScriptHostFileName = "qorvane-cscript";
inline constexpr const char* kDebugArgument = "-debug";
inline constexpr const char* kEncoderMissingMessage =
    QORVANE_UI_TEXT("Windows Media 9 Encoding Script がインストールされていません");

// Reads the encoder's registry key. True when its "Version" begins with "9.";
// scriptPath is then "InstallDir" with "wmcmd.vbs" appended as it stands (no
// separator is inserted; the value ends in one). Nothing else is checked:
// neither the folder nor the script needs to exist.
bool LocateEncoderScript(const Registry& registry, EncoderLocation& location);

// True when the first argument is exactly "-debug" (the program's name is
// not among the arguments).
bool IsDebugMode(const std::vector<std::string>& arguments);

}  // namespace qorvane
