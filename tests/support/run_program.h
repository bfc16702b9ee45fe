#pragma once
// Runs a program from an argument vector for the tests (never through a
// shell): in a chosen working directory, with extra environment variables,
// its output captured in files.

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace qorvane::testing {

struct ProgramRun {
    std::filesystem::path program;      // a bare name is searched on PATH
    std::vector<std::string> argv;      // argv[0] included
    std::filesystem::path workingDirectory;
    std::map<std::string, std::string> environment;  // added to (or replacing) the current one
    std::filesystem::path outputFile;   // receives stdout, and stderr unless errorFile is set
    std::filesystem::path errorFile;    // receives stderr when set
    int outputDescriptor = -1;          // when set, receives stdout instead of outputFile
    bool ownGroup = false;              // leads a process group of its own, as a shell job does
};

struct ProgramResult {
    int exitCode = -1;    // -1 when it did not end normally
    int signal = 0;
    std::string output;   // stdout (with stderr when both went to one file)
    std::string errors;   // stderr, when kept apart
};

// Throws std::runtime_error when the program cannot be started.
pid_t StartProgram(const ProgramRun& run);
ProgramResult WaitProgram(pid_t pid, const ProgramRun& run);
ProgramResult RunProgram(const ProgramRun& run);

// Runs `argv` (argv[0] searched on PATH) in `directory`, stdout and stderr
// kept apart; the capture files are removed again.
ProgramResult RunTool(const std::vector<std::string>& argv, const std::filesystem::path& directory);

}  // namespace qorvane::testing
