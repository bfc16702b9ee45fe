#include "platform/posix/logind_power_control.h"

#include <dbus/dbus.h>

namespace qorvane {
namespace {

// logind answers at once, but a busy bus should not hold the program forever.
constexpr int kReplyTimeoutMs = 25000;

}  // namespace

DBusMessage* NewPowerOffMessage() {
    DBusMessage* message = dbus_message_new_method_call(
        PowerOffCall::destination, PowerOffCall::path, PowerOffCall::interface, PowerOffCall::method);
    if (message == nullptr) return nullptr;
    dbus_bool_t interactive = PowerOffCall::interactive ? TRUE : FALSE;
    if (!dbus_message_append_args(message, DBUS_TYPE_BOOLEAN, &interactive, DBUS_TYPE_INVALID)) {
        dbus_message_unref(message);
        return nullptr;
    }
    return message;
}

bool LogindPowerControl::powerOff() {
    DBusError error;
    dbus_error_init(&error);
    // A private connection, so that closing it cannot disturb a shared one
    // that some library of the program may hold.
    DBusConnection* bus = dbus_bus_get_private(DBUS_BUS_SYSTEM, &error);
    if (bus == nullptr) {
        dbus_error_free(&error);
        return false;
    }
    dbus_connection_set_exit_on_disconnect(bus, FALSE);

    bool accepted = false;
    if (DBusMessage* message = NewPowerOffMessage()) {
        DBusMessage* reply =
            dbus_connection_send_with_reply_and_block(bus, message, kReplyTimeoutMs, &error);
        dbus_message_unref(message);
        if (reply != nullptr) {
            accepted = dbus_message_get_type(reply) == DBUS_MESSAGE_TYPE_METHOD_RETURN;
            dbus_message_unref(reply);
        }
        dbus_error_free(&error);
    }
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
    return accepted;
}

}  // namespace qorvane
