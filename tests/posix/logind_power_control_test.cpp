#include "platform/posix/logind_power_control.h"

#include <gtest/gtest.h>

#include <cstring>

#include <dbus/dbus.h>

namespace qorvane {
namespace {

// The message is checked; it is never sent. No test here powers anything off.
TEST(LogindPowerControl, AsksLogindToPowerOffWithoutInteraction) {
    DBusMessage* message = NewPowerOffMessage();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(dbus_message_get_type(message), DBUS_MESSAGE_TYPE_METHOD_CALL);
    EXPECT_STREQ(dbus_message_get_destination(message), "org.freedesktop.login1");
    EXPECT_STREQ(dbus_message_get_path(message), "/org/freedesktop/login1");
    EXPECT_STREQ(dbus_message_get_interface(message), "org.freedesktop.login1.Manager");
    EXPECT_STREQ(dbus_message_get_member(message), "PowerOff");
    EXPECT_STREQ(dbus_message_get_signature(message), "b");
    DBusError error;
    dbus_error_init(&error);
    dbus_bool_t interactive = TRUE;
    ASSERT_TRUE(dbus_message_get_args(message, &error, DBUS_TYPE_BOOLEAN, &interactive, DBUS_TYPE_INVALID));
    EXPECT_FALSE(interactive);
    dbus_error_free(&error);
    dbus_message_unref(message);
}

}  // namespace
}  // namespace qorvane
