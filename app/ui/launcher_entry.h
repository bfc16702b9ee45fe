#pragma once
// The batch's progress on the launcher icon: the Update signal of
// com.canonical.Unity.LauncherEntry on the session bus, which KDE Plasma,
// Dash to Dock, Plank and other docks show on the icon of the program's
// desktop entry.

#include <QDBusConnection>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>

#include "app/ui/session_bus.h"
#include "platform/launcher_progress.h"

namespace qorvane {

class LauncherEntryProgress final : public LauncherProgress {
public:
    using BusFactory = std::function<QDBusConnection()>;

    // `desktopEntry` is the name of the program's desktop file without
    // ".desktop" ("qorvane"). The bus is reached at the first update.
    explicit LauncherEntryProgress(const QString& desktopEntry, BusFactory bus = &SessionBusIfAny);

    void show(std::optional<double> done, int count) override;
    void clear() override;

private:
    void send(const QVariantMap& properties);

    QString appUri_;
    BusFactory busFactory_;
    std::optional<QDBusConnection> bus_;
};

}  // namespace qorvane
