#pragma once
// Starting the encoder as a child process and waiting for it. The argument
// vector is executed as it is, never through a shell.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qorvane {

struct LaunchRequest {
    std::filesystem::path program;          // full path of the file to execute
    std::vector<std::string> arguments;     // argv, argv[0] included
    std::filesystem::path workingDirectory;
    std::vector<std::string> environment;   // "NAME=value" set for the process, over the program's own
    std::filesystem::path logFile;          // output of the run is appended here; empty: discarded
    std::string logHeader;                  // written before the run's output (the command line)
    bool keepFullOutput = false;            // debug mode: keep much more of what the process printed
    // Each line the process prints (stdout and stderr, without the line
    // end), as it comes; called on the thread that waits for the process,
    // from waitFor() and terminate(). A line cut short at 4 KiB comes in
    // pieces.
    std::function<void(std::string_view line)> onOutputLine;
};

// How a process ended, as far as is known.
struct ProcessEnd {
    enum class Kind {
        Running,  // not ended yet, or not reaped yet
        Exited,   // ended by itself; `code` is its exit status
        Killed,   // ended by a signal; `code` is the signal
        Unknown,  // ended, but its status could not be had
    };
    Kind kind = Kind::Running;
    int code = 0;
    bool operator==(const ProcessEnd&) const = default;
};

class RunningProcess {
public:
    enum class WaitResult { Exited, TimedOut, Failed };

    // The destructor neither waits for nor ends a process that still runs.
    virtual ~RunningProcess() = default;

    // Waits at most `timeout`, returning as soon as the process has ended.
    // Whatever else of its process group still runs then is ended before
    // this returns, so nothing of the run outlives it.
    virtual WaitResult waitFor(std::chrono::milliseconds timeout) = 0;

    // Ends the process and everything it started (its whole process group)
    // and reaps it; a paused one is continued so that it can end in order.
    virtual void terminate() = 0;

    // Stops the process and everything it started (SIGSTOP to its process
    // group), or lets them go on (SIGCONT). Nothing once it has ended. May be
    // called on another thread while one waits for the process.
    virtual void pause() = 0;
    virtual void resume() = 0;

    // How the process ended: known once waitFor() has returned Exited, or
    // after terminate() (Running when it could not be reaped in time).
    virtual ProcessEnd end() const = 0;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Nothing when the process cannot be started.
    virtual std::unique_ptr<RunningProcess> start(const LaunchRequest& request) = 0;
    // Adds a line of its own to the log the runs are written to
    // (LaunchRequest::logFile): a run that never reached the encoder, or what
    // a run's finish left out, so that the log holds every job of a batch.
    virtual void logLine(const std::filesystem::path& logFile, const std::string& line) {
        (void)logFile;
        (void)line;
    }
};

}  // namespace qorvane
