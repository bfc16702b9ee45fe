#pragma once
// The encoder command line for one run of one job. It is built once as a
// list of arguments: the launcher executes that list directly (no shell ever
// re-reads a path), and the text form, with paths in double quotes, is what
// is shown, logged and compared.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "profiles/profile_settings.h"

namespace qorvane {

struct EncoderArgument {
    std::string text;
    bool quoted = false;  // written inside double quotes in the text form
};

struct EncoderCommandLine {
    std::vector<EncoderArgument> arguments;  // the first is the program name
    std::string outputName;                  // bare file name, no directory

    // The text form: arguments joined by single blanks, quoted ones in
    // double quotes and otherwise as they are.
    std::string text() const;
    // The argument vector as the launcher passes it.
    std::vector<std::string> argv() const;
};

// What one build reads besides the profile.
struct EncoderRunInput {
    std::filesystem::path inputPath;  // absolute
    std::string nameSuffix;           // "" or "_v" + kbps of a multi-bit-rate run
    std::string videoBitrateValue;    // bits per second, as the run planner writes it; empty: none
    std::string scriptPath;
    bool debugMode = false;
};

// The name of the script host as it stands at the head of the command line.
inline constexpr const char* kScriptHostCommand = "cscript.exe";

enum class InputClass { Audio, Video, Unsupported };

// By the table of accepted inputs (media_inputs.h): the extension's kind,
// or, for a container that may hold either, what its track list says.
InputClass ClassifyInput(const std::filesystem::path& input);


// Why no command line could be built.
enum class CommandLineRefusal { InputMissing, UnsupportedInput, QuoteInPath };

// The command line of one run, from a profile the runner has prepared (peaks
// in bits per second). Nothing when no run is to be made: the input is
// missing, its extension is not supported, or a path holds a double quote,
// which the quoted text form could not carry faithfully; `why` then tells
// which. Positions outside the catalogue tables (hand-edited profiles) leave
// their argument out.
std::optional<EncoderCommandLine> BuildEncoderCommandLine(const EncoderRunInput& run,
                                                          const ProfileSettings& profile,
                                                          CommandLineRefusal* why = nullptr);

// The absolute form of a stored input path, relative to the current
// directory, with "." and ".." resolved by name (links are not followed).
std::filesystem::path ResolveFullPath(const std::filesystem::path& stored);

}  // namespace qorvane
