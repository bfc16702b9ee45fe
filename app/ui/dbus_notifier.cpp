#include "app/ui/dbus_notifier.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QIcon>
#include <QImage>
#include <QUrl>

namespace {

constexpr const char* kNotificationsService = "org.freedesktop.Notifications";
constexpr const char* kNotificationsPath = "/org/freedesktop/Notifications";
constexpr const char* kNotificationsInterface = "org.freedesktop.Notifications";
// Both keys open the folder: "default" is a click on the notice itself.
constexpr const char* kNoticeClickAction = "default";
constexpr const char* kOpenFolderKey = "open-folder";
constexpr int kNoticeIconSize = 48;

// The notification's "image-data" hint: the icon's pixels, which the
// service shows whether or not the icon theme knows the program (a build
// tree or an unpacked folder installs no icon).
struct ImageData {
    int width = 0;
    int height = 0;
    int rowStride = 0;
    bool hasAlpha = true;
    int bitsPerSample = 8;
    int channels = 4;
    QByteArray pixels;
};

}  // namespace

Q_DECLARE_METATYPE(ImageData)

QDBusArgument& operator<<(QDBusArgument& out, const ImageData& image) {
    out.beginStructure();
    out << image.width << image.height << image.rowStride << image.hasAlpha << image.bitsPerSample
        << image.channels << image.pixels;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, ImageData& image) {
    in.beginStructure();
    in >> image.width >> image.height >> image.rowStride >> image.hasAlpha >> image.bitsPerSample >> image.channels >>
        image.pixels;
    in.endStructure();
    return in;
}

namespace qorvane {

namespace {

std::optional<ImageData> ProgramImage() {
    const QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) return std::nullopt;
    const QImage image = icon.pixmap(kNoticeIconSize, kNoticeIconSize).toImage().convertToFormat(QImage::Format_RGBA8888);
    if (image.isNull()) return std::nullopt;
    ImageData data;
    data.width = image.width();
    data.height = image.height();
    data.rowStride = static_cast<int>(image.bytesPerLine());
    data.pixels = QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    return data;
}

}  // namespace

DBusNotifier::DBusNotifier(BusFactory bus, FolderOpener openFolder)
    : busFactory_(std::move(bus)), openFolder_(std::move(openFolder)) {
    if (!openFolder_) {
        openFolder_ = [](const QString& folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); };
    }
}

bool DBusNotifier::connected() {
    if (!bus_) {
        bus_ = busFactory_();
        if (bus_->isConnected()) {
            bus_->connect(kNotificationsService, kNotificationsPath, kNotificationsInterface, QStringLiteral("ActionInvoked"), this,
                          SLOT(actionInvoked(uint, QString)));
            bus_->connect(kNotificationsService, kNotificationsPath, kNotificationsInterface, QStringLiteral("NotificationClosed"), this,
                          SLOT(notificationClosed(uint, uint)));
        }
    }
    return bus_->isConnected();
}

void DBusNotifier::notify(const DesktopNotice& notice) {
    if (!connected()) return;
    QStringList actions;
    const QString folder = QString::fromStdString(notice.folder.string());
    if (!notice.actionText.empty()) {
        const QString text = QString::fromStdString(notice.actionText);
        actions << QString::fromLatin1(kNoticeClickAction) << text << QString::fromLatin1(kOpenFolderKey) << text;
    }
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName());
    if (const std::optional<ImageData> image = ProgramImage()) {
        qDBusRegisterMetaType<ImageData>();
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(*image));
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kNotificationsService, kNotificationsPath, kNotificationsInterface, QStringLiteral("Notify"));
    call << QGuiApplication::applicationDisplayName() << uint(0) << QGuiApplication::desktopFileName()
         << QString::fromStdString(notice.summary) << QString::fromStdString(notice.body) << actions << hints
         << int(-1);
    // Not waited for: the id comes back with the answer, and no answer (no
    // service) is simply no notice.
    auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, actions, folder] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isValid() && !actions.isEmpty()) folders_[reply.value()] = folder;
    });
}

void DBusNotifier::actionInvoked(uint id, const QString& action) {
    const auto notice = folders_.find(id);
    if (notice == folders_.end()) return;  // another program's notice
    if (action == QLatin1String(kNoticeClickAction) || action == QLatin1String(kOpenFolderKey)) {
        openFolder_(notice->second);
    }
}

void DBusNotifier::notificationClosed(uint id, uint) { folders_.erase(id); }

}  // namespace qorvane
