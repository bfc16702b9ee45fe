#include "app/ui/session_bus.h"

#include <QFileInfo>

namespace qorvane {

QDBusConnection SessionBusIfAny() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const bool usualSocket = !runtime.isEmpty() && QFileInfo::exists(QString::fromLocal8Bit(runtime) + "/bus");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") && !usualSocket) {
        return QDBusConnection(QStringLiteral("qorvane-no-session-bus"));  // never connected
    }
    return QDBusConnection::sessionBus();
}

}  // namespace qorvane
