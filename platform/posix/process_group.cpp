#include "platform/posix/process_group.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace qorvane {
namespace {

// From /proc/PID/stat, "PID (NAME) STATE PARENT GROUP ...": whether the
// process is alive and in `group`. NAME may hold blanks and parentheses.
bool AliveIn(const char* pid, pid_t group) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%s/stat", pid);
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;  // gone meanwhile
    char stat[512];
    const ssize_t got = ::read(fd, stat, sizeof stat - 1);
    ::close(fd);
    if (got <= 0) return false;
    stat[got] = '\0';
    const char* nameEnd = std::strrchr(stat, ')');
    char state = 0;
    int itsGroup = 0;
    if (nameEnd == nullptr || std::sscanf(nameEnd + 1, " %c %*d %d", &state, &itsGroup) != 2) return false;
    return itsGroup == group && state != 'Z' && state != 'X';
}

}  // namespace

bool GroupHasLiveMembers(pid_t group) {
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) return false;
    bool found = false;
    while (const dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9') continue;  // not a process
        if (AliveIn(entry->d_name, group)) {
            found = true;
            break;
        }
    }
    ::closedir(proc);
    return found;
}

void KillProcessGroup(pid_t group, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    // Again on every look: a member may have been forking as the signal came.
    while (::kill(-group, SIGKILL) == 0 && GroupHasLiveMembers(group) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace qorvane
