#pragma once
// Starts the encoder (child_start.h): the argument vector as it is (no
// shell), in the given working directory, in a process group of its own so
// that an abort ends everything the encoder started, with stdin from
// /dev/null and no inherited descriptors. The encoder gets SIGTERM should
// this program end without ending it (SIGKILL, a crash): no encoder outlives
// its front end. (Strictly, when the thread that started it ends: runs are
// started from a thread that outlives them, as the encode thread does.)
//
// Its output goes to the batch log (see batch_log.h) with the run's start
// and end, in one record when the run has ended: the last kBatchLogTailBytes
// of it, or in debug mode its head and tail.
//
// Reaping: a run is reaped by waitFor() or terminate(), and only after the
// rest of its process group has been ended. A handle dropped
// while its process still runs leaves it running, as the interface promises,
// but hands it to a detached thread that waits for it, so no zombie is left
// behind however long the program lives.

#include "platform/process_launcher.h"

namespace qorvane {

class PosixProcessLauncher final : public ProcessLauncher {
public:
    std::unique_ptr<RunningProcess> start(const LaunchRequest& request) override;
    void logLine(const std::filesystem::path& logFile, const std::string& line) override;
};

}  // namespace qorvane
