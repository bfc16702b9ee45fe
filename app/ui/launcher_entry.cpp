#include "app/ui/launcher_entry.h"

#include <QDBusMessage>

namespace qorvane {

namespace {

// Any path will do; the docks listen to the signal wherever it comes from.
constexpr const char* kLauncherPath = "/org/qorvane/Qorvane/LauncherEntry";
constexpr const char* kLauncherInterface = "com.canonical.Unity.LauncherEntry";

}  // namespace

LauncherEntryProgress::LauncherEntryProgress(const QString& desktopEntry, BusFactory bus)
    : appUri_(QStringLiteral("application://%1.desktop").arg(desktopEntry)), busFactory_(std::move(bus)) {}

void LauncherEntryProgress::show(std::optional<double> done, int count) {
    QVariantMap properties;
    properties.insert(QStringLiteral("progress-visible"), done.has_value());
    if (done) properties.insert(QStringLiteral("progress"), *done);
    properties.insert(QStringLiteral("count-visible"), true);
    properties.insert(QStringLiteral("count"), static_cast<qint64>(count));
    send(properties);
}

void LauncherEntryProgress::clear() {
    QVariantMap properties;
    properties.insert(QStringLiteral("progress-visible"), false);
    properties.insert(QStringLiteral("count-visible"), false);
    send(properties);
}

void LauncherEntryProgress::send(const QVariantMap& properties) {
    if (!bus_) bus_ = busFactory_();
    if (!bus_->isConnected()) return;
    QDBusMessage signal = QDBusMessage::createSignal(kLauncherPath, kLauncherInterface, QStringLiteral("Update"));
    signal << appUri_ << properties;
    bus_->send(signal);
}

}  // namespace qorvane
