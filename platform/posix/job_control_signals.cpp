#include "platform/posix/job_control_signals.h"

#include <signal.h>

#include <atomic>
#include <mutex>

namespace qorvane {

namespace {

std::atomic<bool> suspendAsked{false};
std::atomic<bool> stopAfterAsked{false};
struct sigaction suspendHandler {};  // as installed, to put back after a stop

static_assert(std::atomic<bool>::is_always_lock_free, "the signal handlers set these");

extern "C" void OnJobControlSignal(int signal) {
    if (signal == SIGTSTP) {
        suspendAsked = true;
    } else {
        stopAfterAsked = true;
    }
}

}  // namespace

void JobControlSignals::Catch() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_handler = OnJobControlSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signal : {SIGTSTP, SIGUSR1}) {
            struct sigaction previous {};
            if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
            ::sigaction(signal, &action, nullptr);
        }
        ::sigaction(SIGTSTP, nullptr, &suspendHandler);
    });
}

bool JobControlSignals::TakeSuspendRequest() { return suspendAsked.exchange(false); }

bool JobControlSignals::StopAfterRunsGoingAsked() { return stopAfterAsked; }

void JobControlSignals::SuspendSelf() {
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    ::sigaction(SIGTSTP, &byDefault, nullptr);
    sigset_t tstp;
    sigemptyset(&tstp);
    sigaddset(&tstp, SIGTSTP);
    sigset_t previous;
    ::pthread_sigmask(SIG_UNBLOCK, &tstp, &previous);
    ::raise(SIGTSTP);  // stops here until continued
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ::sigaction(SIGTSTP, &suspendHandler, nullptr);
}

}  // namespace qorvane
