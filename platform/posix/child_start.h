#pragma once
// Starts a program as a child with fork and exec, so that the child can be
// told, before it runs anything, to end when the one who started it ends
// (Linux's parent-death signal), which posix_spawn cannot do. Whatever the
// starting program had, the child begins with default signal handling and
// nothing blocked.
//
// The parent-death signal goes to the child when the *thread* that started
// it ends, not only the process: start children from a thread that lives as
// long as they should.

#include <sys/types.h>

#include <utility>
#include <vector>

namespace qorvane {

struct ChildPlan {
    const char* program = nullptr;     // a path; with searchPath a bare name is looked up on PATH
    char* const* argv = nullptr;       // ends with a null pointer
    char* const* envp = nullptr;       // likewise
    bool searchPath = false;
    bool ownGroup = false;             // the child leads a process group of its own
    int parentDeathSignal = 0;         // 0: none
    const char* workingDirectory = nullptr;  // null: this program's
    // Descriptors the child gets: {source, number in the child}. A source
    // must not be the number of another entry.
    std::vector<std::pair<int, int>> descriptors;
    std::vector<int> fromDevNull;      // numbers in the child opened on /dev/null (0: read, else write)
    int closeFrom = -1;                // descriptors from this number up are closed in the child; -1: none
};

struct ChildStart {
    pid_t pid = -1;  // -1 when it could not be started
    int error = 0;   // errno of the failed step (working directory, exec, ...)
};

// The child is in its group (when asked for) and has run exec by the time
// this returns; a child that failed before exec has been reaped.
ChildStart StartChild(const ChildPlan& plan);

}  // namespace qorvane
