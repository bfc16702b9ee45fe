#include "platform/posix/posix_process_launcher.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/posix/batch_log.h"
#include "platform/posix/child_start.h"
#include "platform/posix/output_pipe.h"
#include "platform/posix/process_group.h"

extern char** environ;

namespace qorvane {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Without a pidfd (kernels before 5.3) the wait polls in steps this short.
constexpr milliseconds kPollStep{5};
// How long the group gets to end on SIGTERM before SIGKILL follows.
constexpr milliseconds kTermGrace{300};
// How long terminate() waits for the killed leader before leaving it to a reaper.
constexpr milliseconds kKillWait{1000};
// How long the rest of a group gets to disappear once it is sent SIGKILL.
constexpr milliseconds kGroupWait{1000};

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Keeps descriptors handed to the child clear of 0-2, which the child's own
// redirections overwrite.
int AboveStandardFds(int fd) {
    if (fd < 0 || fd > 2) return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    return moved;
}


int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
    const long fd = ::syscall(SYS_pidfd_open, pid, 0);
    if (fd >= 0) {
        const int result = static_cast<int>(fd);
        ::fcntl(result, F_SETFD, FD_CLOEXEC);
        return result;
    }
#else
    (void)pid;
#endif
    return -1;
}

std::string EndLine(pid_t pid, bool statusKnown, int status) {
    const std::string who = "-- process " + std::to_string(pid);
    if (!statusKnown) return who + " ended\n";
    if (WIFEXITED(status)) return who + " exited with code " + std::to_string(WEXITSTATUS(status)) + "\n";
    if (WIFSIGNALED(status)) return who + " ended by signal " + std::to_string(WTERMSIG(status)) + "\n";
    return who + " ended\n";
}

// One started process. Shared with the late reaper, which may run while the
// handle still asks about it (after terminate() gave up waiting), so reaping
// is serialized: whoever reaps first also writes the run's record to the log.
class Run {
public:
    enum class Reap { Done, Running, Error };

    // `record` is the start of the run's record for `logFile` (empty: none).
    Run(pid_t pid, std::filesystem::path logFile, std::string record, std::unique_ptr<OutputPipe> output)
        : pid_(pid),
          pidFd_(OpenPidFd(pid)),
          logFile_(std::move(logFile)),
          record_(std::move(record)),
          output_(std::move(output)) {}
    ~Run() {
        if (pidFd_ >= 0) ::close(pidFd_);
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    pid_t pid() const { return pid_; }

    // The handle is going away: its listener must not hear any more.
    void dropListener() { output_->dropListener(); }

    bool reaped() {
        std::lock_guard lock(mutex_);
        return reaped_;
    }

    ProcessEnd end() {
        std::lock_guard lock(mutex_);
        return end_;
    }

    // Only while the leader is unreaped does the group's number stay ours.
    void signalGroup(int signal) {
        std::lock_guard lock(mutex_);
        if (!reaped_) ::kill(-pid_, signal);
    }

    // Once the process has ended, in whatever way, ends what is left of its
    // group, then reaps it: nothing of a run outlives it, and whoever judges
    // the run sees its output in its final state. The leader stays unreaped
    // until then, so that the group's number cannot go to someone else.
    Reap tryReap() {
        std::lock_guard lock(mutex_);
        if (reaped_) return Reap::Done;
        switch (look()) {
            case Look::Running: return Reap::Running;
            case Look::Error: return Reap::Error;
            case Look::Gone:
                // Its group's number may be someone else's by now, so the
                // group is left alone.
                finish(false, 0);
                return Reap::Done;
            case Look::Ended: break;
        }
        KillProcessGroup(pid_, kGroupWait);
        int status = 0;
        pid_t got;
        do {
            got = ::waitpid(pid_, &status, 0);  // a zombie: does not block
        } while (got < 0 && errno == EINTR);
        finish(got == pid_, status);
        return Reap::Done;
    }

    // True once the process has ended (or cannot be asked about), without
    // reaping it.
    bool ended() {
        std::lock_guard lock(mutex_);
        return reaped_ || look() != Look::Running;
    }

    // Sleeps until the process ends or the deadline passes, waking as soon
    // as it exits, and drains its output as it comes; reaps nothing. The
    // pidfd stays open for the Run's life, so it is safe to poll while
    // another thread reaps.
    void sleepUntilEndOr(Clock::time_point deadline) const {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) return;
        pollfd entries[2] = {{pidFd_, POLLIN, 0}, {output_->fd(), POLLIN, 0}};
        // Without a pidfd the process is looked at every few milliseconds.
        const auto wait = pidFd_ >= 0 ? left : std::min<Clock::duration>(left, kPollStep);
        // Round up so that a fraction of a millisecond does not spin.
        const auto ms = std::chrono::ceil<milliseconds>(wait).count();
        ::poll(entries, 2, static_cast<int>(std::min<long long>(ms, INT_MAX)));
        if (entries[1].revents != 0) output_->drain();
    }

    // Waits until the process ends, draining its output, then reaps it.
    // The wait leaves the zombie in place (WNOWAIT), so its number cannot
    // be reused before tryReap() takes it under the lock.
    void reapBlocking() {
        while (!ended()) sleepUntilEndOr(Clock::now() + std::chrono::seconds(1));
        tryReap();
    }

private:
    enum class Look {
        Running,
        Ended,  // a zombie, not reaped
        Gone,   // reaped elsewhere (SIGCHLD ignored): it has ended
        Error,
    };

    // Called with the lock held, as are the functions below.
    Look look() const {
        siginfo_t info{};
        int result;
        do {
            result = ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT);
        } while (result != 0 && errno == EINTR);
        if (result != 0) return errno == ECHILD ? Look::Gone : Look::Error;
        return info.si_pid != 0 ? Look::Ended : Look::Running;
    }

    void finish(bool statusKnown, int status) {
        reaped_ = true;
        if (!statusKnown) {
            end_ = {ProcessEnd::Kind::Unknown, 0};
        } else if (WIFEXITED(status)) {
            end_ = {ProcessEnd::Kind::Exited, WEXITSTATUS(status)};
        } else if (WIFSIGNALED(status)) {
            end_ = {ProcessEnd::Kind::Killed, WTERMSIG(status)};
        } else {
            end_ = {ProcessEnd::Kind::Unknown, 0};
        }
        output_->close();
        if (logFile_.empty()) return;
        // The whole record in one write (see AppendToBatchLog).
        std::string record = std::move(record_);
        if (const std::string kept = output_->keptText(); !kept.empty()) {
            record += "-- output of process " + std::to_string(pid_) + ":\n" + kept;
        }
        AppendToBatchLog(logFile_, record + EndLine(pid_, statusKnown, status));
    }

    const pid_t pid_;
    const int pidFd_;
    const std::filesystem::path logFile_;
    std::string record_;
    const std::unique_ptr<OutputPipe> output_;
    bool reaped_ = false;
    ProcessEnd end_;
    std::mutex mutex_;
};

void ReapLater(std::shared_ptr<Run> run) {
    try {
        std::thread([run] { run->reapBlocking(); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the zombie stays until the program ends.
    }
}

class PosixRunningProcess final : public RunningProcess {
public:
    explicit PosixRunningProcess(std::shared_ptr<Run> run) : run_(std::move(run)) {}

    ~PosixRunningProcess() override {
        run_->dropListener();
        if (!handedToReaper_ && run_->tryReap() == Run::Reap::Running) ReapLater(std::move(run_));
    }

    WaitResult waitFor(milliseconds timeout) override {
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            switch (run_->tryReap()) {
                case Run::Reap::Done: return WaitResult::Exited;
                case Run::Reap::Error: return WaitResult::Failed;
                case Run::Reap::Running: break;
            }
            if (Clock::now() >= deadline) return WaitResult::TimedOut;
            run_->sleepUntilEndOr(deadline);
        }
    }

    void terminate() override {
        // Only an unreaped leader (running or a zombie) keeps the group's
        // number from being handed out again, so the group is signalled only
        // before the leader is reaped; a run already reaped is left alone.
        if (run_->reaped()) return;
        const pid_t group = run_->pid();
        ::kill(-group, SIGTERM);
        ::kill(-group, SIGCONT);  // a paused group hears the SIGTERM only once it goes on
        const auto graceEnd = Clock::now() + kTermGrace;
        while (!run_->ended() && Clock::now() < graceEnd) run_->sleepUntilEndOr(graceEnd);
        ::kill(-group, SIGKILL);  // stragglers, and anything that ignored SIGTERM
        const auto killEnd = Clock::now() + kKillWait;
        while (run_->tryReap() == Run::Reap::Running && Clock::now() < killEnd) {
            run_->sleepUntilEndOr(killEnd);
        }
        if (!run_->reaped()) {
            run_->dropListener();  // the reaper's thread must not call it
            ReapLater(run_);
            handedToReaper_ = true;
        }
    }

    ProcessEnd end() const override { return run_->end(); }

    void pause() override { run_->signalGroup(SIGSTOP); }
    void resume() override { run_->signalGroup(SIGCONT); }

private:
    std::shared_ptr<Run> run_;
    bool handedToReaper_ = false;
};

}  // namespace

std::unique_ptr<RunningProcess> PosixProcessLauncher::start(const LaunchRequest& request) {
    const std::filesystem::path& logFile = request.logFile;
    // The run's record for the log, written when the run has ended.
    std::string record = LogTimestampLine() + request.logHeader;
    if (record.back() != '\n') record += '\n';
    const auto couldNotStart = [&](const std::string& why) {
        if (!logFile.empty()) AppendToBatchLog(logFile, record + "-- could not start: " + why + "\n");
    };

    // The child's stdout and stderr go into a pipe that the waiter drains;
    // what of them goes to the log is kept in memory meanwhile.
    int pipeFds[2] = {-1, -1};
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        couldNotStart(std::strerror(errno));
        return nullptr;
    }
    int readFd = AboveStandardFds(pipeFds[0]);
    int writeFd = AboveStandardFds(pipeFds[1]);
    if (readFd < 0 || writeFd < 0) {  // out of descriptors
        couldNotStart("no descriptor for its output");
        CloseFd(readFd);
        CloseFd(writeFd);
        return nullptr;
    }

    // The program's own environment, with the request's variables over it.
    std::vector<char*> envp;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos) continue;  // not a variable
        const std::string_view name = text.substr(0, equals + 1);
        const bool replaced = std::any_of(request.environment.begin(), request.environment.end(),
                                          [&](const std::string& set) { return set.starts_with(name); });
        if (!replaced) envp.push_back(*entry);
    }
    for (const std::string& set : request.environment) envp.push_back(const_cast<char*>(set.c_str()));
    envp.push_back(nullptr);

    const std::string program = request.program.string();
    std::vector<char*> argv;
    for (const auto& argument : request.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    if (argv.empty()) argv.push_back(const_cast<char*>(program.c_str()));
    argv.push_back(nullptr);

    // Its own group for the abort. Should this program end without ending
    // it (a crash, SIGKILL), it is asked to end too; the stand-in encoder
    // then removes what it had begun.
    ChildPlan plan;
    plan.program = program.c_str();
    plan.argv = argv.data();
    plan.envp = envp.data();
    plan.ownGroup = true;
    plan.parentDeathSignal = SIGTERM;
    if (!request.workingDirectory.empty()) plan.workingDirectory = request.workingDirectory.c_str();
    plan.descriptors = {{writeFd, 1}, {writeFd, 2}};
    plan.fromDevNull = {0};
    plan.closeFrom = 3;
    const ChildStart started = StartChild(plan);
    CloseFd(writeFd);  // the child holds it now
    if (started.pid < 0) {
        couldNotStart(std::strerror(started.error));
        CloseFd(readFd);
        return nullptr;
    }
    const pid_t pid = started.pid;
    record += "-- process " + std::to_string(pid) + " started\n";
    std::optional<KeptOutput> kept;
    if (logFile.empty()) {
        record.clear();
    } else if (request.keepFullOutput) {
        kept.emplace(kBatchLogDebugHeadBytes, kBatchLogDebugTailBytes);
    } else {
        kept.emplace(0, kBatchLogTailBytes);
    }
    auto output = std::make_unique<OutputPipe>(readFd, std::move(kept), request.onOutputLine);
    return std::make_unique<PosixRunningProcess>(
        std::make_shared<Run>(pid, logFile, std::move(record), std::move(output)));
}

void PosixProcessLauncher::logLine(const std::filesystem::path& logFile, const std::string& line) {
    if (!logFile.empty()) AppendToBatchLog(logFile, LogTimestampLine() + line + "\n");
}

}  // namespace qorvane
