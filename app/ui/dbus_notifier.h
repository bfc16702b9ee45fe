#pragma once
// Notices through the freedesktop notification service
// (org.freedesktop.Notifications on the session bus), with the program's
// icon and a button that opens a folder in the file manager.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <optional>

#include "app/ui/session_bus.h"
#include "platform/desktop_notifier.h"

namespace qorvane {

class DBusNotifier final : public QObject, public DesktopNotifier {
    Q_OBJECT
public:
    using BusFactory = std::function<QDBusConnection()>;
    using FolderOpener = std::function<void(const QString& folder)>;

    // The bus is reached at the first notice, not before, so a start-up
    // does not wait for it. The folder opener defaults to the desktop's file
    // manager (QDesktopServices).
    explicit DBusNotifier(BusFactory bus = &SessionBusIfAny, FolderOpener openFolder = {});

    void notify(const DesktopNotice& notice) override;

private slots:
    void actionInvoked(uint id, const QString& action);
    void notificationClosed(uint id, uint reason);

private:
    bool connected();

    BusFactory busFactory_;
    FolderOpener openFolder_;
    std::optional<QDBusConnection> bus_;
    std::map<uint, QString> folders_;  // by notice: what its button opens
};

}  // namespace qorvane
