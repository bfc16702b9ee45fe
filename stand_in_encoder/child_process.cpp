#include "stand_in_encoder/child_process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

extern char** environ;

namespace qorvane::encoder {

namespace {

std::atomic<pid_t> runningChild{0};
volatile std::sig_atomic_t receivedSignal = 0;
constexpr int kForwarded[] = {SIGTERM, SIGINT, SIGHUP};

static_assert(std::atomic<pid_t>::is_always_lock_free, "the signal handler reads the child's id");

extern "C" void OnTermination(int signal) {
    receivedSignal = signal;
    const pid_t child = runningChild.load();
    if (child > 0) kill(child, signal);
}

sigset_t ForwardedSet() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kForwarded) sigaddset(&set, signal);
    return set;
}

}  // namespace

void ForwardTerminationSignals() {
    struct sigaction action {};
    action.sa_handler = OnTermination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: the wait sees EINTR and goes on waiting
    for (const int signal : kForwarded) sigaction(signal, &action, nullptr);
}

int ReceivedTerminationSignal() { return receivedSignal; }

void EndBySignal(int signal) {
    std::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
    _exit(128 + signal);
}

ChildOutcome RunChild(const std::vector<std::string>& arguments, int shared) {
    ChildOutcome outcome;
    if (arguments.empty()) {
        outcome.startError = EINVAL;
        return outcome;
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // The child starts with default handlers and nothing blocked; here the
    // signals wait until its id is known, so none slips past the forwarding.
    const sigset_t forwarded = ForwardedSet();
    sigset_t previous;
    sigprocmask(SIG_BLOCK, &forwarded, &previous);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &forwarded);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (shared >= 0) posix_spawn_file_actions_adddup2(&actions, shared, kSharedChildDescriptor);

    pid_t child = 0;
    const bool searchPath = arguments.front().find('/') == std::string::npos;
    const int error = searchPath
                          ? posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ)
                          : posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        sigprocmask(SIG_SETMASK, &previous, nullptr);
        outcome.startError = error;
        return outcome;
    }
    outcome.started = true;
    runningChild.store(child);
    if (receivedSignal != 0) kill(child, receivedSignal);
    sigprocmask(SIG_SETMASK, &previous, nullptr);

    int status = 0;
    bool waited = true;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            waited = false;
            break;
        }
    }
    runningChild.store(0);
    if (!waited) return outcome;  // exit code stays -1: not a success
    if (WIFEXITED(status)) {
        outcome.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        outcome.signal = WTERMSIG(status);
    }
    return outcome;
}

}  // namespace qorvane::encoder
