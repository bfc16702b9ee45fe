#pragma once
// Runs a program from an argument vector for the tests: in a chosen working
// directory, with extra environment variables, output captured in files.

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace qorvane::testing {

struct ProgramRun {
    std::filesystem::path program;      // the file executed
    std::vector<std::string> argv;      // argv[0] included
    std::filesystem::path workingDirectory;
    std::map<std::string, std::string> environment;  // added to (or replacing) the current one
    std::filesystem::path outputFile;   // receives stdout and stderr
};

struct ProgramResult {
    int exitCode = -1;  // -1 when it did not end normally
    int signal = 0;
    std::string output;
};

pid_t StartProgram(const ProgramRun& run);
ProgramResult WaitProgram(pid_t pid, const ProgramRun& run);
ProgramResult RunProgram(const ProgramRun& run);

// Runs `argv` (argv[0] searched on PATH) in `directory` and returns its output.
ProgramResult RunTool(const std::vector<std::string>& argv, const std::filesystem::path& directory);

}  // namespace qorvane::testing
