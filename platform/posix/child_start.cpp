#include "platform/posix/child_start.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qorvane {
namespace {

void CloseRange(unsigned first, unsigned last) {
    if (first > last) return;
#ifdef SYS_close_range
    ::syscall(SYS_close_range, first, last, 0u);
#endif
}

// The child tells why it could not go on.
[[noreturn]] void Fail(int report) {
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(report, &error, sizeof error);
    ::_exit(127);
}

// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void BecomeChild(const ChildPlan& plan, pid_t parent, int report) {
    // Handlers of the parent must not run here, and what it ignored must not
    // stay ignored for the program.
    for (int signal = 1; signal < NSIG; ++signal) {
        if (signal == SIGKILL || signal == SIGSTOP) continue;
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_DFL) continue;
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        sigemptyset(&byDefault.sa_mask);
        ::sigaction(signal, &byDefault, nullptr);
    }
    if (plan.ownGroup && ::setpgid(0, 0) != 0) Fail(report);
    if (plan.parentDeathSignal != 0) {
        if (::prctl(PR_SET_PDEATHSIG, plan.parentDeathSignal) != 0) Fail(report);
        // The parent may have gone before the signal was asked for: then
        // nobody waits for what this child would do.
        if (::getppid() != parent) ::_exit(128 + plan.parentDeathSignal);
    }
    for (const auto& [source, number] : plan.descriptors) {
        if (::dup2(source, number) < 0) Fail(report);
    }
    for (const int number : plan.fromDevNull) {
        const int fd = ::open("/dev/null", number == 0 ? O_RDONLY : O_WRONLY);
        if (fd < 0) Fail(report);
        if (fd != number) {
            if (::dup2(fd, number) < 0) Fail(report);
            ::close(fd);
        }
    }
    if (plan.workingDirectory != nullptr && ::chdir(plan.workingDirectory) != 0) Fail(report);
    if (plan.closeFrom >= 0) {
        // Also descriptors some library opened without close-on-exec; the
        // report channel closes itself on exec.
        const auto from = static_cast<unsigned>(plan.closeFrom);
        const auto skip = static_cast<unsigned>(report);
        if (from < skip) CloseRange(from, skip - 1);
        CloseRange(std::max(from, skip + 1), ~0u);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (plan.searchPath) {
        ::execvpe(plan.program, plan.argv, plan.envp);
    } else {
        ::execve(plan.program, plan.argv, plan.envp);
    }
    Fail(report);
}

}  // namespace

ChildStart StartChild(const ChildPlan& plan) {
    ChildStart result;
    // The child reports a failed step through a pipe that exec closes. Its
    // write end sits above every number the child is given, so no move of
    // the child's overwrites it.
    int highest = 2;
    for (const auto& [source, number] : plan.descriptors) highest = std::max(highest, number);
    for (const int number : plan.fromDevNull) highest = std::max(highest, number);
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        result.error = errno;
        return result;
    }
    const int report = ::fcntl(ends[1], F_DUPFD_CLOEXEC, highest + 1);
    ::close(ends[1]);
    if (report < 0) {
        result.error = errno;
        ::close(ends[0]);
        return result;
    }

    // Nothing is handled in the child before its handlers are reset.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) BecomeChild(plan, parent, report);
    const int forkError = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ::close(report);
    if (pid < 0) {
        ::close(ends[0]);
        result.error = forkError;
        return result;
    }

    // Until exec closes the channel, or the child reports why it could not.
    int error = 0;
    ssize_t got;
    do {
        got = ::read(ends[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(ends[0]);
    if (got != static_cast<ssize_t>(sizeof error)) {
        result.pid = pid;
        return result;
    }
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    result.error = error;
    return result;
}

}  // namespace qorvane
