// The notice and the launcher icon over D-Bus, on a session bus of the
// test's own with a fake notification service and a listener in place of
// the dock; without a bus they stay silent.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QThread>
#include <functional>
#include <vector>

#include "app/ui/dbus_notifier.h"
#include "app/ui/launcher_entry.h"
#include "support/private_bus.h"

namespace qorvane::testing {
namespace {

bool Eventually(const std::function<bool()>& condition, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void Settle(int ms = 200) { Eventually([] { return false; }, ms); }

}  // namespace

// Answers Notify as a notification daemon does, with the next id.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString app, icon, summary, body;
        QStringList actions;
        QVariantMap hints;
    };
    std::vector<Call> calls;

public slots:
    uint Notify(const QString& app, uint, const QString& icon, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap& hints, int) {
        calls.push_back({app, icon, summary, body, actions, hints});
        return static_cast<uint>(calls.size()) + 40;
    }
};

// Hears the launcher's Update signals wherever they come from.
class LauncherListener : public QObject {
    Q_OBJECT
public:
    std::vector<std::pair<QString, QVariantMap>> updates;
public slots:
    void update(const QString& appUri, const QVariantMap& properties) { updates.emplace_back(appUri, properties); }
};

namespace {

class DesktopBus : public ::testing::Test {
protected:
    QDBusConnection connect(const QString& name) {
        names.push_back(name);
        return QDBusConnection::connectToBus(QString::fromStdString(bus.address()), name);
    }
    ~DesktopBus() override {
        for (const QString& name : names) QDBusConnection::disconnectFromBus(name);
    }

    PrivateBus bus;
    std::vector<QString> names;
};

TEST_F(DesktopBus, NoticeCarriesTextsIconAndAButtonThatOpensTheFolder) {
    QDBusConnection service = connect(QStringLiteral("notification-service"));
    FakeNotificationService notifications;
    ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &notifications,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
    QPixmap pixels(48, 48);
    pixels.fill(Qt::red);
    const QIcon before = QApplication::windowIcon();
    QApplication::setWindowIcon(QIcon(pixels));

    std::vector<QString> opened;
    DBusNotifier notifier([this] { return connect(QStringLiteral("program")); },
                          [&opened](const QString& folder) { opened.push_back(folder); });
    DesktopNotice notice;
    notice.summary = "変換が終わりました";
    notice.body = "12 件完了、1 件失敗";
    notice.actionText = "フォルダを開く";
    notice.folder = "/music/out";
    notifier.notify(notice);
    ASSERT_TRUE(Eventually([&] { return !notifications.calls.empty(); }));
    QApplication::setWindowIcon(before);

    const FakeNotificationService::Call& call = notifications.calls[0];
    EXPECT_EQ(call.summary, QStringLiteral("変換が終わりました"));
    EXPECT_EQ(call.body, QStringLiteral("12 件完了、1 件失敗"));
    EXPECT_EQ(call.actions, (QStringList{"default", "フォルダを開く", "open-folder", "フォルダを開く"}));
    EXPECT_EQ(call.icon, QGuiApplication::desktopFileName());
    // The icon's pixels, for a service whose icon theme does not know the program.
    ASSERT_TRUE(call.hints.contains(QStringLiteral("image-data")));
    const auto image = call.hints.value(QStringLiteral("image-data")).value<QDBusArgument>();
    int width = 0;
    int height = 0;
    image.beginStructure();
    image >> width >> height;
    EXPECT_EQ(width, 48);
    EXPECT_EQ(height, 48);

    Settle();  // the answer, with the notice's id, reaches the program
    const auto invoke = [&service](uint id, const QString& action) {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                         QStringLiteral("org.freedesktop.Notifications"),
                                                         QStringLiteral("ActionInvoked"));
        signal << id << action;
        service.send(signal);
    };
    invoke(7, QStringLiteral("open-folder"));  // another program's notice
    invoke(41, QStringLiteral("open-folder"));
    ASSERT_TRUE(Eventually([&] { return !opened.empty(); }));
    Settle();
    EXPECT_EQ(opened, std::vector<QString>{QStringLiteral("/music/out")});
}

TEST_F(DesktopBus, LauncherShowsProgressAndCountThenClearsThem) {
    QDBusConnection dock = connect(QStringLiteral("dock"));
    LauncherListener listener;
    ASSERT_TRUE(dock.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
                             QStringLiteral("Update"), &listener, SLOT(update(QString, QVariantMap))));
    dock.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));  // the match is in place

    LauncherEntryProgress launcher(QStringLiteral("qorvane"), [this] { return connect(QStringLiteral("program")); });
    launcher.show(0.25, 3);
    launcher.show(std::nullopt, 2);
    launcher.clear();
    ASSERT_TRUE(Eventually([&] { return listener.updates.size() == 3; }));

    for (const auto& [uri, properties] : listener.updates) EXPECT_EQ(uri, QStringLiteral("application://qorvane.desktop"));
    const QVariantMap& first = listener.updates[0].second;
    EXPECT_EQ(first.value(QStringLiteral("progress")).toDouble(), 0.25);
    EXPECT_TRUE(first.value(QStringLiteral("progress-visible")).toBool());
    EXPECT_EQ(first.value(QStringLiteral("count")).toLongLong(), 3);
    EXPECT_EQ(first.value(QStringLiteral("count")).metaType(), QMetaType::fromType<qlonglong>());  // "x", as docks read it
    EXPECT_TRUE(first.value(QStringLiteral("count-visible")).toBool());
    const QVariantMap& unknown = listener.updates[1].second;
    EXPECT_FALSE(unknown.value(QStringLiteral("progress-visible")).toBool());
    EXPECT_EQ(unknown.value(QStringLiteral("count")).toLongLong(), 2);
    const QVariantMap& cleared = listener.updates[2].second;
    EXPECT_FALSE(cleared.value(QStringLiteral("progress-visible")).toBool());
    EXPECT_FALSE(cleared.value(QStringLiteral("count-visible")).toBool());
}

// No bus (or a bus without a notification service): no notice, no icon,
// and not a word in the log.
TEST_F(DesktopBus, WithoutBusOrServiceNothingHappensAndNothingIsLogged) {
    static std::vector<QString> logged;
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type != QtDebugMsg && type != QtInfoMsg) logged.push_back(text);
        });
    const auto noBus = [] {
        return QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/qorvane-test-bus"),
                                             QStringLiteral("absent"));
    };
    DesktopNotice notice;
    notice.summary = "変換が終わりました";
    notice.actionText = "フォルダを開く";
    DBusNotifier nowhere(noBus);
    nowhere.notify(notice);
    LauncherEntryProgress noDock(QStringLiteral("qorvane"), noBus);
    noDock.show(0.5, 1);
    noDock.clear();
    DBusNotifier noService([this] { return connect(QStringLiteral("program")); });
    noService.notify(notice);
    Settle(500);  // the bus's answer: no such service
    QDBusConnection::disconnectFromBus(QStringLiteral("absent"));
    qInstallMessageHandler(previous);
    EXPECT_EQ(logged, std::vector<QString>{});
}

}  // namespace
}  // namespace qorvane::testing

#include "desktop_bus_test.moc"
