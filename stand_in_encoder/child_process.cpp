#include "stand_in_encoder/child_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

#include "platform/posix/child_start.h"

extern char** environ;

namespace qorvane::encoder {

namespace {

std::atomic<pid_t> runningChild{0};
volatile std::sig_atomic_t receivedSignal = 0;
constexpr int kForwarded[] = {SIGTERM, SIGINT, SIGHUP};

static_assert(std::atomic<pid_t>::is_always_lock_free, "the signal handler reads the child's id");

// The run's output is thrown away once a stop is asked for, so ffmpeg gets
// no time to finish its file: on a slow medium that could outlast the grace
// the front end gives before it kills the whole group, and leave a named
// partial file behind.
extern "C" void OnTermination(int signal) {
    receivedSignal = signal;
    const pid_t child = runningChild.load();
    if (child > 0) kill(child, SIGKILL);
}

sigset_t ForwardedSet() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kForwarded) sigaddset(&set, signal);
    return set;
}

// A close-on-exec descriptor numbered above those the child gets, so that
// setting up one of them never overwrites another's source.
int AboveChildDescriptors(int fd) {
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, kReportChildDescriptor + 1);
    const int error = errno;
    close(fd);
    errno = error;
    return moved;
}

}  // namespace

void ForwardTerminationSignals() {
    struct sigaction action {};
    action.sa_handler = OnTermination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: the wait sees EINTR and goes on waiting
    for (const int signal : kForwarded) sigaction(signal, &action, nullptr);
    // A reader of the progress that went away fails the writes; the
    // encoding goes on.
    std::signal(SIGPIPE, SIG_IGN);
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

ChildOutcome RunChild(const std::vector<std::string>& arguments, const ChildIo& io) {
    ChildOutcome outcome;
    if (arguments.empty()) {
        outcome.startError = EINVAL;
        return outcome;
    }
    int readEnd = -1;
    int writeEnd = -1;
    if (io.readFrom >= 0) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) {
            outcome.startError = errno;
            return outcome;
        }
        readEnd = AboveChildDescriptors(ends[0]);
        writeEnd = AboveChildDescriptors(ends[1]);
        if (readEnd < 0 || writeEnd < 0) {
            outcome.startError = errno;
            if (readEnd >= 0) close(readEnd);
            if (writeEnd >= 0) close(writeEnd);
            return outcome;
        }
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

    // Should this process end before it could end the child (SIGKILL), the
    // child ends too: ffmpeg never writes on for nobody.
    qorvane::ChildPlan plan;
    plan.program = argv[0];
    plan.argv = argv.data();
    plan.envp = environ;
    plan.searchPath = arguments.front().find('/') == std::string::npos;
    plan.parentDeathSignal = SIGKILL;
    if (io.shared >= 0) plan.descriptors.emplace_back(io.shared, kSharedChildDescriptor);
    if (writeEnd >= 0) plan.descriptors.emplace_back(writeEnd, io.readFrom);
    if (io.quiet) plan.fromDevNull.push_back(2);
    const qorvane::ChildStart started = qorvane::StartChild(plan);
    const pid_t child = started.pid;
    const int error = started.error;
    if (writeEnd >= 0) close(writeEnd);
    if (child < 0) {
        sigprocmask(SIG_SETMASK, &previous, nullptr);
        if (readEnd >= 0) close(readEnd);
        outcome.startError = error;
        return outcome;
    }
    outcome.started = true;
    runningChild.store(child);
    if (receivedSignal != 0) kill(child, SIGKILL);
    sigprocmask(SIG_SETMASK, &previous, nullptr);

    // Until the child closes its end; a termination request, passed on,
    // ends the child and so the reading.
    if (readEnd >= 0) {
        char buffer[4096];
        for (;;) {
            const ssize_t got = read(readEnd, buffer, sizeof buffer);
            if (got > 0) {
                if (io.onRead) io.onRead(std::string_view(buffer, static_cast<std::size_t>(got)));
            } else if (got == 0 || errno != EINTR) {
                break;
            }
        }
        close(readEnd);
    }

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
