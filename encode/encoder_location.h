#pragma once
// Where the two outside programs of every encoding are: the encoding script
// (found through the encoder's registry key) and its script host (found on
// the search path), plus the debug switch of the command line. Filled once
// by a front end at start and only read afterwards, by the command line and
// the batch runner.

#include <filesystem>
#include <string>

namespace qorvane {

struct EncoderLocation {
    std::string scriptPath;             // InstallDir + "wmcmd.vbs"
    std::filesystem::path cscriptPath;  // empty when the host was not found
    bool debugMode = false;
};

}  // namespace qorvane
