#pragma once
// Keeps the computer awake through systemd-logind: an inhibitor lock taken
// with Inhibit of org.freedesktop.login1.Manager. logind hands back a file
// descriptor, and the lock lasts as long as it is open, so a program that
// dies gives the lock back with its descriptors.

#include <string>

#include "platform/sleep_inhibitor.h"

namespace qorvane {

// The call, spelt out so that a test can check what a fake logind received.
struct InhibitCall {
    static constexpr const char* destination = "org.freedesktop.login1";
    static constexpr const char* path = "/org/freedesktop/login1";
    static constexpr const char* interface = "org.freedesktop.login1.Manager";
    static constexpr const char* method = "Inhibit";
    static constexpr const char* what = "sleep:idle";
    static constexpr const char* who = "Qorvane";
    static constexpr const char* why = "変換中";
    static constexpr const char* mode = "block";
};

class LogindSleepInhibitor final : public SleepInhibitor {
public:
    // On the system bus, or on the bus at `busAddress` when it is not empty.
    explicit LogindSleepInhibitor(std::string busAddress = {});
    ~LogindSleepInhibitor() override;
    LogindSleepInhibitor(const LogindSleepInhibitor&) = delete;
    LogindSleepInhibitor& operator=(const LogindSleepInhibitor&) = delete;

    // Without a system bus or logind, or when logind refuses, the lock is
    // simply not held.
    void hold() override;
    void release() override;
    bool holding() const override { return fd_ >= 0; }

private:
    std::string busAddress_;
    int fd_ = -1;
};

}  // namespace qorvane
