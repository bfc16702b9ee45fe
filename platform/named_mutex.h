#pragma once
// System-wide named mutexes, used only to tell whether a program is running:
// a program holds its mutex from start to exit, and another one asks whether
// that name is held.

#include <memory>
#include <string_view>

namespace qorvane {

// Holding one keeps the name held; the name is released when the last
// holder goes (also when the process ends without cleaning up).
class NamedMutexHandle {
public:
    virtual ~NamedMutexHandle() = default;
};

class NamedMutexes {
public:
    virtual ~NamedMutexes() = default;
    // True when some process holds the name. Never creates it.
    virtual bool exists(std::string_view name) const = 0;
    // Holds the name (several holders may hold one name at once); nothing
    // when the system refuses.
    virtual std::unique_ptr<NamedMutexHandle> create(std::string_view name) = 0;
};

}  // namespace qorvane
