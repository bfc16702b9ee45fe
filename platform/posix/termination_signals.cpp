#include "platform/posix/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <mutex>

namespace qorvane {

namespace {

std::atomic<int> received{0};
int pipeFds[2] = {-1, -1};
constexpr int kCaught[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler writes the signal number");

extern "C" void OnTerminationSignal(int signal) {
    int none = 0;
    received.compare_exchange_strong(none, signal);
    if (pipeFds[1] >= 0) {
        const int saved = errno;
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
        errno = saved;
    }
}

}  // namespace

void TerminationSignals::Catch() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) pipeFds[0] = pipeFds[1] = -1;
        // A closed pipe makes a write fail instead of killing the program
        // (the launcher gives the encoders the default back).
        ::signal(SIGPIPE, SIG_IGN);
        struct sigaction action {};
        action.sa_handler = OnTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signal : kCaught) {
            // A signal ignored on entry (nohup) stays ignored.
            struct sigaction previous {};
            if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
            ::sigaction(signal, &action, nullptr);
        }
    });
}

int TerminationSignals::Received() { return received.load(); }

int TerminationSignals::NotifyFd() { return pipeFds[0]; }

}  // namespace qorvane
