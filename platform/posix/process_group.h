#pragma once
// Ending what is left of a process group, and knowing that it has ended.
// Linux only: the members are found through /proc.

#include <chrono>

#include <sys/types.h>

namespace qorvane {

// True while a process of `group` is alive; a zombie is dead, whoever is to
// reap it. False, too, when /proc cannot be read.
bool GroupHasLiveMembers(pid_t group);

// Sends SIGKILL to the group until none of it is alive, for at most `wait`,
// so that nothing of it can still write anywhere once this returns. The
// caller keeps the group's number from being handed out again meanwhile, by
// leaving the group's leader unreaped.
void KillProcessGroup(pid_t group, std::chrono::milliseconds wait);

}  // namespace qorvane
