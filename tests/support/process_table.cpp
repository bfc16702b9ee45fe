#include "support/process_table.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace qorvane::testing {

std::vector<ProcStat> AllProcesses() {
    std::vector<ProcStat> result;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const auto name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(entry.path() / "stat");
        std::string line;
        if (!std::getline(in, line)) continue;
        // "pid (comm) state ppid pgrp ..."; comm may hold blanks and parentheses.
        const auto close = line.rfind(')');
        if (close == std::string::npos) continue;
        ProcStat stat;
        stat.pid = std::stoi(name);
        std::istringstream rest(line.substr(close + 1));
        rest >> stat.state >> stat.parent >> stat.group;
        result.push_back(stat);
    }
    return result;
}

std::vector<pid_t> LiveMembers(pid_t group) {
    std::vector<pid_t> live;
    for (const auto& p : AllProcesses()) {
        if (p.group == group && p.state != 'Z') live.push_back(p.pid);
    }
    return live;
}

std::vector<pid_t> OurZombies() {
    std::vector<pid_t> zombies;
    for (const auto& p : AllProcesses()) {
        if (p.parent == ::getpid() && p.state == 'Z') zombies.push_back(p.pid);
    }
    return zombies;
}

bool IsAlive(pid_t pid) {
    for (const auto& p : AllProcesses()) {
        if (p.pid == pid) return p.state != 'Z';
    }
    return false;
}

bool Exists(pid_t pid) { return std::filesystem::exists("/proc/" + std::to_string(pid)); }

pid_t ReadPid(const std::filesystem::path& file) {
    pid_t pid = 0;
    Eventually([&] {
        std::ifstream in(file);
        return static_cast<bool>(in >> pid);
    });
    return pid;
}

}  // namespace qorvane::testing
