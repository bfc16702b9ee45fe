#pragma once
// Runs one program from an argument vector (never through a shell) and waits
// for it. While it runs, a termination request to this process (SIGTERM,
// SIGINT, SIGHUP) is passed on to it and remembered, so the caller can clean
// up before it ends itself.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qorvane::encoder {

struct ChildOutcome {
    bool started = false;
    int startError = 0;  // errno of a failed start
    int exitCode = -1;   // when it ended normally
    int signal = 0;      // when a signal ended it
    bool succeeded() const { return started && signal == 0 && exitCode == 0; }
};

// Installs the handlers that pass termination requests on to the child, and
// ignores SIGPIPE here (not in the child).
void ForwardTerminationSignals();

// The termination signal this process received, 0 for none.
int ReceivedTerminationSignal();

// Ends this process by the signal it received, with the default action.
[[noreturn]] void EndBySignal(int signal);

// The descriptor number under which the child finds the one it is given.
constexpr int kSharedChildDescriptor = 3;

// The descriptor number of the child's own channel to this process (ffmpeg's
// progress reports).
constexpr int kReportChildDescriptor = 4;

struct ChildIo {
    int shared = -1;   // a descriptor (close-on-exec here) open in the child as kSharedChildDescriptor
    int readFrom = -1;  // a descriptor number of the child that is a pipe to this process: 1, or kReportChildDescriptor
    std::function<void(std::string_view)> onRead;  // gets what the child writes there, as it comes
    bool quiet = false;  // the child's stderr goes nowhere
};

// Starts the program (searched on PATH when the first element has no slash)
// and waits for it, reading what it writes to `io.readFrom` until it closes
// that.
ChildOutcome RunChild(const std::vector<std::string>& arguments, const ChildIo& io = {});

}  // namespace qorvane::encoder
