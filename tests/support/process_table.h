#pragma once
// What /proc says about processes, for tests that start real ones: who is
// still alive, who belongs to a process group, which children are zombies.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

namespace qorvane::testing {

struct ProcStat {
    pid_t pid = 0;
    char state = '?';  // 'Z' for a zombie
    pid_t parent = 0;
    pid_t group = 0;
};

std::vector<ProcStat> AllProcesses();

// Members of the group still alive. Zombies are not counted: they are dead,
// and an init that does not reap (as in some containers) would keep them.
std::vector<pid_t> LiveMembers(pid_t group);

// Zombie children of this process.
std::vector<pid_t> OurZombies();

// Running, sleeping or stopped; a zombie is not alive.
bool IsAlive(pid_t pid);

// The process table still holds it (alive or a zombie).
bool Exists(pid_t pid);

// Waits (at most ten seconds) for a condition that a child brings about.
template <typename Condition>
bool Eventually(Condition condition) {
    for (int i = 0; i < 1000; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

// The number a shell script wrote into a file, once it is there (0 if it
// never comes).
pid_t ReadPid(const std::filesystem::path& file);

}  // namespace qorvane::testing
