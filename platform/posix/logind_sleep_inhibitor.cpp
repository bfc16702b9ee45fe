#include "platform/posix/logind_sleep_inhibitor.h"

#include <dbus/dbus.h>
#include <fcntl.h>
#include <unistd.h>

namespace qorvane {
namespace {

// logind answers at once; the convert command should not hang on a bus
// that does not.
constexpr int kInhibitReplyTimeoutMs = 5000;

// A private connection, so that closing it cannot disturb a shared one that
// some library of the program may hold. Null when there is no bus.
DBusConnection* OpenBus(const std::string& address, DBusError& error) {
    if (address.empty()) return dbus_bus_get_private(DBUS_BUS_SYSTEM, &error);
    DBusConnection* bus = dbus_connection_open_private(address.c_str(), &error);
    if (bus == nullptr) return nullptr;
    if (!dbus_bus_register(bus, &error)) {
        dbus_connection_close(bus);
        dbus_connection_unref(bus);
        return nullptr;
    }
    return bus;
}

DBusMessage* NewInhibitMessage() {
    DBusMessage* message = dbus_message_new_method_call(InhibitCall::destination, InhibitCall::path,
                                                        InhibitCall::interface, InhibitCall::method);
    if (message == nullptr) return nullptr;
    const char* what = InhibitCall::what;
    const char* who = InhibitCall::who;
    const char* why = InhibitCall::why;
    const char* mode = InhibitCall::mode;
    if (!dbus_message_append_args(message, DBUS_TYPE_STRING, &what, DBUS_TYPE_STRING, &who, DBUS_TYPE_STRING, &why,
                                  DBUS_TYPE_STRING, &mode, DBUS_TYPE_INVALID)) {
        dbus_message_unref(message);
        return nullptr;
    }
    return message;
}

// The descriptor of the lock, or -1.
int AskForLock(DBusConnection* bus, DBusError& error) {
    DBusMessage* message = NewInhibitMessage();
    if (message == nullptr) return -1;
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(bus, message, kInhibitReplyTimeoutMs, &error);
    dbus_message_unref(message);
    if (reply == nullptr) return -1;
    int fd = -1;
    if (!dbus_message_get_args(reply, &error, DBUS_TYPE_UNIX_FD, &fd, DBUS_TYPE_INVALID)) fd = -1;
    dbus_message_unref(reply);
    // Encoders started later must not keep the lock after the program.
    if (fd >= 0) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    return fd;
}

}  // namespace

LogindSleepInhibitor::LogindSleepInhibitor(std::string busAddress) : busAddress_(std::move(busAddress)) {}

LogindSleepInhibitor::~LogindSleepInhibitor() { release(); }

void LogindSleepInhibitor::hold() {
    if (fd_ >= 0) return;
    DBusError error;
    dbus_error_init(&error);
    if (DBusConnection* bus = OpenBus(busAddress_, error)) {
        dbus_connection_set_exit_on_disconnect(bus, FALSE);
        fd_ = AskForLock(bus, error);
        // The lock is the descriptor's, not the connection's.
        dbus_connection_close(bus);
        dbus_connection_unref(bus);
    }
    dbus_error_free(&error);
}

void LogindSleepInhibitor::release() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

}  // namespace qorvane
