#pragma once
// The read end of the pipe a child process writes its stdout and stderr
// into. Whoever waits for the child drains it as data comes: the bytes go
// into what is kept of them for the batch log, and each line to a listener. Draining never blocks, so a child that prints a lot is
// never held up by a full pipe while someone waits for it.

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/kept_output.h"

namespace qorvane {

class OutputPipe {
public:
    using LineListener = std::function<void(std::string_view line)>;
    static constexpr std::size_t kMaxLine = 4096;

    // Takes `readFd` (made non-blocking here); without `kept` the bytes are
    // not kept.
    OutputPipe(int readFd, std::optional<KeptOutput> kept, LineListener listener);
    ~OutputPipe();
    OutputPipe(const OutputPipe&) = delete;
    OutputPipe& operator=(const OutputPipe&) = delete;

    // The descriptor to poll for input; -1 once the pipe is closed.
    int fd() const;

    // Reads what is there now (at most 64 KiB, so that a child printing
    // without pause never keeps its waiter from looking at anything else)
    // and passes it on.
    void drain();
    // Drains, hands over a last unfinished line, and closes the pipe.
    void close();
    // From now on no line goes to the listener (its owner is going away).
    void dropListener();
    // What was kept of the bytes (see KeptOutput::text()).
    std::string keptText() const;

private:
    void drainAtMost(std::size_t budget);
    void takeLines(std::string_view bytes);
    void emit(std::string_view line);

    mutable std::mutex mutex_;
    int fd_;
    std::optional<KeptOutput> kept_;
    LineListener listener_;
    std::string partial_;
};

}  // namespace qorvane
