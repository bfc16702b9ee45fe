#pragma once
// A fake systemd-logind for the tests of the lock against sleep: it owns
// org.freedesktop.login1 on a test's own bus and answers Inhibit as logind
// does, with the write end of a pipe whose read end it keeps, so it sees
// when every copy of the lock's descriptor is closed. For suites that link
// the Linux services (and so libdbus).

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <dbus/dbus.h>

#include "platform/posix/logind_sleep_inhibitor.h"

namespace qorvane::testing {

class FakeLogind {
public:
    explicit FakeLogind(const std::string& address) {
        DBusError error;
        dbus_error_init(&error);
        bus_ = dbus_connection_open_private(address.c_str(), &error);
        if (bus_ == nullptr || !dbus_bus_register(bus_, &error) ||
            dbus_bus_request_name(bus_, InhibitCall::destination, DBUS_NAME_FLAG_DO_NOT_QUEUE, &error) !=
                DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER) {
            ADD_FAILURE() << "fake logind: " << (error.message ? error.message : "no bus");
        }
        dbus_error_free(&error);
        thread_ = std::thread([this] { serve(); });
    }
    ~FakeLogind() {
        stop_ = true;
        thread_.join();
        if (lockEnd_ >= 0) ::close(lockEnd_);
        if (bus_ != nullptr) {
            dbus_connection_close(bus_);
            dbus_connection_unref(bus_);
        }
    }

    std::vector<std::string> calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    // True once every copy of the descriptor handed out is closed.
    bool lockGone(int waitMs) const {
        int lockEnd = -1;
        {
            std::lock_guard lock(mutex_);
            lockEnd = lockEnd_;
        }
        if (lockEnd < 0) return false;
        pollfd end{lockEnd, POLLIN, 0};
        return ::poll(&end, 1, waitMs) == 1 && (end.revents & POLLHUP) != 0;
    }

private:
    void serve() {
        while (!stop_ && bus_ != nullptr && dbus_connection_read_write(bus_, 20)) {
            while (DBusMessage* message = dbus_connection_pop_message(bus_)) {
                if (dbus_message_is_method_call(message, InhibitCall::interface, InhibitCall::method)) inhibit(message);
                dbus_message_unref(message);
            }
        }
    }
    void inhibit(DBusMessage* call) {
        const char* what = "";
        const char* who = "";
        const char* why = "";
        const char* mode = "";
        dbus_message_get_args(call, nullptr, DBUS_TYPE_STRING, &what, DBUS_TYPE_STRING, &who, DBUS_TYPE_STRING, &why,
                              DBUS_TYPE_STRING, &mode, DBUS_TYPE_INVALID);
        int ends[2];
        ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
        {
            std::lock_guard lock(mutex_);
            calls_.push_back(std::string(what) + " " + who + " " + why + " " + mode);
            if (lockEnd_ >= 0) ::close(lockEnd_);
            lockEnd_ = ends[0];
        }
        DBusMessage* reply = dbus_message_new_method_return(call);
        dbus_message_append_args(reply, DBUS_TYPE_UNIX_FD, &ends[1], DBUS_TYPE_INVALID);
        dbus_connection_send(bus_, reply, nullptr);
        dbus_connection_flush(bus_);
        dbus_message_unref(reply);
        ::close(ends[1]);  // the message carries its own copy
    }

    DBusConnection* bus_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    int lockEnd_ = -1;
};

}  // namespace qorvane::testing
