#include "app/encoder_location.h"

namespace qorvane {

bool LocateEncoderScript(const Registry& registry, EncoderLocation& location) {
    location.scriptPath = registry.readString(kEncoderRegistryKey, "InstallDir").value_or("");
    const std::string version = registry.readString(kEncoderRegistryKey, "Version").value_or("");
    if (version.rfind("9.", 0) != 0) return false;
    location.scriptPath += kEncoderScriptName;
    return true;
}

bool IsDebugMode(const std::vector<std::string>& arguments) {
    return !arguments.empty() && arguments.front() == kDebugArgument;
}

}  // namespace qorvane
