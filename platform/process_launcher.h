#pragma once
// Starting the encoder as a child process and waiting for it. The argument
// vector is executed as it is, never through a shell.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace qorvane {

struct LaunchRequest {
    std::filesystem::path program;          // full path of the file to execute
    std::vector<std::string> arguments;     // argv, argv[0] included
    std::filesystem::path workingDirectory;
    std::filesystem::path logFile;          // output of the run is appended here; empty: discarded
    std::string logHeader;                  // written before the run's output (the command line)
    bool keepFullOutput = false;            // debug mode: keep everything the process printed
};

class RunningProcess {
public:
    enum class WaitResult { Exited, TimedOut, Failed };

    // The destructor neither waits for nor ends a process that still runs.
    virtual ~RunningProcess() = default;

    // Waits at most `timeout`, returning as soon as the process has ended.
    virtual WaitResult waitFor(std::chrono::milliseconds timeout) = 0;

    // Ends the process and everything it started (its whole process group)
    // and reaps it.
    virtual void terminate() = 0;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Nothing when the process cannot be started.
    virtual std::unique_ptr<RunningProcess> start(const LaunchRequest& request) = 0;
};

}  // namespace qorvane
