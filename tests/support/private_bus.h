#pragma once
// A D-Bus message bus of a test's own: dbus-daemon started in a temporary
// folder with a configuration that starts no services, so a test sees only
// the fakes it puts on the bus and nothing of the machine's session or
// system bus.

#include <sys/types.h>

#include <string>

#include "support/temp_dir.h"

namespace qorvane::testing {

class PrivateBus {
public:
    // Throws std::runtime_error when dbus-daemon does not come up.
    PrivateBus();
    ~PrivateBus();  // ends the daemon
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // What clients connect to: "unix:path=...,guid=...".
    const std::string& address() const { return address_; }

private:
    TempDir dir_;
    pid_t pid_ = -1;
    std::string address_;
};

}  // namespace qorvane::testing
