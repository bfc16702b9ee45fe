#pragma once
// SIGTERM, SIGINT, SIGHUP and SIGQUIT as requests to end in good order: once
// caught, the handler only notes the signal and writes a byte to a pipe, so
// that a front end can stop its batch (ending the encoder's process group),
// save what it keeps and quit, instead of dying with an encoder left running.
// SIGPIPE is ignored, for the same reason: a front end answers the failed
// write instead.

namespace qorvane {

class TerminationSignals {
public:
    // Installs the handlers and ignores SIGPIPE (once per process; later
    // calls do nothing). A signal that was ignored on entry, as under nohup,
    // stays ignored.
    static void Catch();
    // The first signal caught so far; 0 while none.
    static int Received();
    // Readable once a signal has been caught (for an event loop); -1 before
    // Catch() or when no pipe could be made.
    static int NotifyFd();
};

}  // namespace qorvane
