#pragma once
// Power off through systemd-logind: the PowerOff method of
// org.freedesktop.login1.Manager on the system bus, not interactive, so
// logind decides by its own policy and never asks the user for a password.

#include "platform/power_control.h"

struct DBusMessage;  // libdbus-1

namespace qorvane {

// The call, spelt out so that it can be checked without making it.
struct PowerOffCall {
    static constexpr const char* destination = "org.freedesktop.login1";
    static constexpr const char* path = "/org/freedesktop/login1";
    static constexpr const char* interface = "org.freedesktop.login1.Manager";
    static constexpr const char* method = "PowerOff";
    static constexpr bool interactive = false;
};

class LogindPowerControl final : public PowerControl {
public:
    // False when there is no system bus, no logind, or logind refused.
    bool powerOff() override;
};

// The method call message as it is sent; the caller releases it with
// dbus_message_unref. Null when out of memory.
DBusMessage* NewPowerOffMessage();

}  // namespace qorvane
