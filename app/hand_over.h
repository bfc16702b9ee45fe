#pragma once
// One copy of the window per user: a later start hands its files to the copy
// that runs (over a local socket in the user's runtime folder) and ends.
// What is sent, how it is read back and when a start gives up waiting are
// decided here; the socket itself belongs to the window.
//
// A message: "QRV1", the body's length as 4 bytes (most significant first),
// then the body: each file's absolute path followed by a NUL byte (no path
// can hold one). An empty body asks only for the window to come to the
// front. The running copy answers kHandOverTaken once it has the whole
// message.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qorvane {

inline constexpr const char* kHandOverSocketName = "qorvane.socket";
inline constexpr std::string_view kHandOverTaken = "ok\n";
// Far above any command line (the kernel's limit is 2 MiB).
inline constexpr std::size_t kHandOverMaxBody = 8u << 20;

// The socket in the runtime folder; empty when there is no such folder.
std::filesystem::path HandOverSocketPath(const std::filesystem::path& runtimeDir);

// The files of a start's arguments: made absolute against this process's
// current folder, empty ones left out, a "-debug" first argument too (it is
// this start's switch, not a file).
std::vector<std::string> HandedOverFiles(const std::vector<std::string>& arguments);

std::string HandOverMessage(const std::vector<std::string>& files);

// Reads one message as its bytes come in. Anything that is not a message of
// this program (another header, a body above the limit, bytes after the
// end, an empty or relative path) is refused as soon as it shows.
class HandOverReader {
public:
    enum class State { Incomplete, Complete, Refused };

    State feed(std::string_view bytes);
    State state() const { return state_; }
    // The files, once complete.
    const std::vector<std::string>& files() const { return files_; }

private:
    State refuse();

    std::string buffer_;
    std::size_t bodySize_ = 0;
    bool headerRead_ = false;
    State state_ = State::Incomplete;
    std::vector<std::string> files_;
};

// How a hand-over went.
enum class HandOverResult {
    Taken,           // the running copy has the files
    NoAnswer,        // sent, but the running copy did not confirm in time
    NotListening,    // nobody took the connection
    OtherCopyEnded,  // the running copy ended before it could be reached
};

// Tries `attempt` (Taken, NoAnswer or NotListening) until it reaches the
// running copy. Only a copy that was not listening yet (still starting) is
// tried again, after `pause`, at most `attempts` times in all, and only while
// `otherCopyRuns`; a message that was sent is never sent twice.
HandOverResult HandOverToRunningCopy(const std::function<HandOverResult()>& attempt,
                                     const std::function<bool()>& otherCopyRuns,
                                     const std::function<void()>& pause, int attempts);

}  // namespace qorvane
