// The notice and the launcher icon over D-Bus, on a session bus of the
// test's own with a fake notification service and a listener in place of
// the dock; without a bus they stay silent. Last, the program itself runs a
// batch with that bus as its session and system bus, a fake logind on it.
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
#include <QProcess>
#include <QThread>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/ui/dbus_notifier.h"
#include "app/ui/launcher_entry.h"
#include "support/fake_logind.h"
#include "support/media_tools.h"
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
    int width = 0, height = 0, stride = 0, bits = 0, channels = 0;
    bool alpha = false;
    QByteArray bytes;
    image.beginStructure();
    image >> width >> height >> stride >> alpha >> bits >> channels >> bytes;
    image.endStructure();
    EXPECT_EQ(width, 48);
    EXPECT_EQ(height, 48);
    EXPECT_EQ(bytes.size(), stride * height);
    EXPECT_EQ(bytes.left(4), QByteArray("\xff\x00\x00\xff", 4));  // red, opaque: RGBA as the hint wants

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

// The services as main puts them together: the lock from the convert command
// to the end, then the notice of the batch.
TEST_F(DesktopBus, TheProgramsBatchHoldsTheLockAndEndsWithANotice) {
    QDBusConnection service = connect(QStringLiteral("notification-service"));
    FakeNotificationService notifications;
    ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &notifications,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
    FakeLogind logind(bus.address());

    TempDir dir;
    RunFfmpeg({"-f", "lavfi", "-i", "sine=duration=0.5", "a.wav"}, dir.path());
    const std::string encoderDir = QORVANE_ENCODER_DIR;
    dir.write("registry.ini",
              "[software\\Microsoft\\Windows Media\\Encoder]\nInstallDir=" + encoderDir + "/\nVersion=9.0\n");
    std::filesystem::copy_file(QORVANE_PROGRAM, dir / "qorvane");  // its settings go beside it
    const auto at = [&dir](const char* name) { return QString::fromStdString((dir / name).string()); };
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("LANGUAGE", "ja");
    env.insert("HOME", at(""));
    env.insert("XDG_RUNTIME_DIR", at(""));
    env.insert("XDG_CONFIG_HOME", at("config"));
    env.insert("XDG_STATE_HOME", at("state"));
    env.insert("XDG_CACHE_HOME", at("cache"));
    env.insert("QORVANE_REGISTRY", at("registry.ini"));
    env.insert("QORVANE_LOG", at("encoder.log"));
    env.insert("QORVANE_MESSAGE_BOXES", "stderr");
    env.insert("QORVANE_RUN_BATCH", "1");
    env.insert("PATH", QString::fromStdString(encoderDir) + ":" + env.value("PATH"));
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(bus.address()));
    env.insert("DBUS_SYSTEM_BUS_ADDRESS", QString::fromStdString(bus.address()));
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(at(""));
    program.start(at("qorvane"), {at("a.wav")});
    // The fake service answers on this thread's events while the program runs.
    ASSERT_TRUE(Eventually(
        [&program] {
            program.waitForFinished(10);
            return program.state() == QProcess::NotRunning;
        },
        120000));
    const std::string out = program.readAllStandardOutput().toStdString();
    EXPECT_NE(out.find("encoded: "), std::string::npos) << out << program.readAllStandardError().toStdString();

    EXPECT_EQ(logind.calls(), std::vector<std::string>{"sleep:idle Qorvane 変換中 block"});
    EXPECT_TRUE(logind.lockGone(5000));
    ASSERT_TRUE(Eventually([&] { return !notifications.calls.empty(); }));
    EXPECT_EQ(notifications.calls[0].summary, QStringLiteral("変換が終わりました"));
    EXPECT_EQ(notifications.calls[0].body, QStringLiteral("1 件完了"));
    EXPECT_TRUE(notifications.calls[0].actions.contains(QStringLiteral("フォルダを開く")));
}

}  // namespace
}  // namespace qorvane::testing

#include "desktop_bus_test.moc"
