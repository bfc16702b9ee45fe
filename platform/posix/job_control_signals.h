#pragma once
// What a shell's job control and a user's script ask of a running batch:
// Ctrl-Z (SIGTSTP) to suspend it, and SIGUSR1 to stop it once the runs
// going are done. The handlers only note the request; the front end acts on
// it between its looks at the batch. The encoders are in process groups of
// their own, so Ctrl-Z does not reach them: the front end stops them before
// it stops itself, and lets them go on once it is continued.

namespace qorvane {

class JobControlSignals {
public:
    // Installs the handlers (once per process). A signal that was ignored on
    // entry stays ignored, as a shell without job control wants.
    static void Catch();
    // True once for each Ctrl-Z since the last call.
    static bool TakeSuspendRequest();
    // True once SIGUSR1 has come.
    static bool StopAfterRunsGoingAsked();
    // Stops this process as a shell job stops (SIGTSTP by its default
    // action), and returns once it is continued (fg, bg, SIGCONT). A process
    // group that no shell looks after (an orphaned one) is not stopped: the
    // kernel drops the signal, and this returns at once.
    static void SuspendSelf();
};

}  // namespace qorvane
