// The command hook and the desktop notifications, with real processes and a private session bus.
#include "journal/CommandHook.h"
#include "journal/DesktopNotifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zav;

namespace {

struct App {
    int argc = 1;
    char arg0[8] = "test";
    char* argv[1] = {arg0};
    QCoreApplication app{argc, argv};
};

// Runs the event loop until `done` holds or a generous bound has passed.
bool waitFor(const std::function<bool()>& done, int ms = 20000) {
    QDeadlineTimer bound(ms);
    while (!done() && !bound.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

UpsEvent powerFail() {
    UpsEvent e;
    e.type = EventType::PowerFail;
    e.time = QDateTime(QDate(2026, 12, 1), QTime(12, 0), Qt::UTC);
    e.ups = "ups-1";
    e.text = "Utility failure: it's $(rm -rf /) `x` \"quoted\"";
    e.details = "reg=88";
    return e;
}

class HookTest : public ::testing::Test {
  protected:
    App app;
    QTemporaryDir dir;
    QString script(const QString& name, const QByteArray& body) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + body);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
};

TEST_F(HookTest, TheProgramGetsTheEventInItsEnvironmentAndItsArguments) {
    const QString out = dir.filePath("env.txt");
    const QString s = script("hook.sh", "env > \"$1\"\n");
    CommandHook hook;
    ASSERT_TRUE(hook.setSettings({QStringLiteral("\"%1\" \"%2\"").arg(s, out), 10, 3}));
    int ended = 0, code = -2;
    QObject::connect(&hook, &CommandHook::ended, [&](const QString&, int c, bool, bool) { ++ended, code = c; });
    hook.run(powerFail());
    ASSERT_TRUE(waitFor([&] { return ended == 1; }));
    EXPECT_EQ(code, 0);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
    EXPECT_TRUE(lines.contains("ZAV_EVENT=power-fail"));
    EXPECT_TRUE(lines.contains("ZAV_KIND=power"));
    EXPECT_TRUE(lines.contains("ZAV_UPS=ups-1"));
    EXPECT_TRUE(lines.contains("ZAV_DETAILS=reg=88"));
    // The text arrives as it is: no shell ever read it.
    EXPECT_TRUE(lines.contains("ZAV_TEXT=" + powerFail().text));
    EXPECT_TRUE(lines.contains("PATH=" + qEnvironmentVariable("PATH")));
}

TEST_F(HookTest, ARunPastItsTimeIsKilledAndAFloodIsBounded) {
    const QString s = script("slow.sh", "exec sleep 600\n");
    CommandHook hook;
    ASSERT_TRUE(hook.setSettings({s, 1, 2}));
    int timedOut = 0;
    QObject::connect(&hook, &CommandHook::ended, [&](const QString&, int, bool t, bool) { timedOut += t; });
    for (int i = 0; i < 2 + CommandHook::kMaxWaiting + 5; ++i) hook.run(powerFail());
    EXPECT_EQ(hook.running(), 2);
    EXPECT_EQ(hook.waiting(), CommandHook::kMaxWaiting);
    EXPECT_EQ(hook.dropped(), 5);
    // Every run that was taken ends killed at its limit, two at a time.
    ASSERT_TRUE(waitFor([&] { return timedOut == 2 + CommandHook::kMaxWaiting; }, 60000)) << timedOut;
    EXPECT_EQ(hook.running(), 0);
}

TEST_F(HookTest, AMissingProgramOrABadLineIsReportedNotFatal) {
    CommandHook hook;
    EXPECT_FALSE(hook.setSettings({"\"unclosed", 5, 1}));
    EXPECT_FALSE(hook.enabled());
    ASSERT_TRUE(hook.setSettings({dir.filePath("no-such-program"), 5, 1}));
    bool failed = false;
    QObject::connect(&hook, &CommandHook::ended, [&](const QString&, int, bool, bool f) { failed = f; });
    hook.run(powerFail());
    ASSERT_TRUE(waitFor([&] { return failed; }));
    EXPECT_EQ(hook.running(), 0);
}

TEST(Notifications, FollowTheUsersChoices) {
    std::array<bool, kNotifyChoiceCount> all;
    all.fill(true);
    std::array<bool, kNotifyChoiceCount> noPower = all;
    noPower[size_t(NotifyChoice::PowerFail)] = false;
    const UpsEvent e = powerFail();
    const std::optional<Notification> n = notificationFor(e, all, 1);
    ASSERT_TRUE(n);
    EXPECT_EQ(n->summary, eventTitle(EventType::PowerFail, 1));
    EXPECT_TRUE(n->body.contains(e.text));
    EXPECT_EQ(n->urgency, 2);
    EXPECT_FALSE(notificationFor(e, noPower, 1));
    UpsEvent command = e;
    command.type = EventType::Command; // commands are journaled, never notified
    EXPECT_FALSE(notificationFor(command, all, 1));
    EXPECT_EQ(notificationFor(e, all, 0)->summary, eventTitle(EventType::PowerFail, 0));
}

// A notification service on a private bus that records what it is sent.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    QStringList summaries, bodies;
    QVariantMap lastHints;
  public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body, const QStringList&,
                const QVariantMap& hints, int) {
        summaries << summary;
        bodies << body;
        lastHints = hints;
        return uint(summaries.size());
    }
};

class BusTest : public ::testing::Test {
  protected:
    App app;
    QProcess daemon;
    QString address;
    void SetUp() override {
        const QString program = QStandardPaths::findExecutable("dbus-daemon");
        if (program.isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
        daemon.start(program, {"--session", "--nofork", "--print-address"});
        ASSERT_TRUE(daemon.waitForStarted());
        ASSERT_TRUE(daemon.waitForReadyRead(20000));
        address = QString::fromUtf8(daemon.readLine()).trimmed();
        ASSERT_FALSE(address.isEmpty());
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus("service");
        QDBusConnection::disconnectFromBus("client");
        daemon.kill();
        daemon.waitForFinished();
    }
};

TEST_F(BusTest, NotificationsReachTheServiceAndNoServiceIsNoError) {
    QDBusConnection client = QDBusConnection::connectToBus(address, "client");
    ASSERT_TRUE(client.isConnected());
    DesktopNotifier notifier(client);
    int answers = 0;
    QObject::connect(&notifier, &DesktopNotifier::answered, [&] { ++answers; });
    // No service yet: not delivered, and nothing else happens.
    notifier.notify(powerFail());
    ASSERT_TRUE(waitFor([&] { return answers == 1; }));
    EXPECT_EQ(notifier.undelivered(), 1);

    QDBusConnection service = QDBusConnection::connectToBus(address, "service");
    FakeNotifications fake;
    ASSERT_TRUE(service.registerObject("/org/freedesktop/Notifications", &fake, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService("org.freedesktop.Notifications"));
    notifier.notify(powerFail());
    ASSERT_TRUE(waitFor([&] { return answers == 2; }));
    EXPECT_EQ(notifier.delivered(), 1);
    ASSERT_EQ(fake.summaries, QStringList{eventTitle(EventType::PowerFail, 1)});
    EXPECT_TRUE(fake.bodies[0].contains(powerFail().text));
    EXPECT_EQ(fake.lastHints.value("urgency").toInt(), 2);
}

} // namespace

#include "EventOutletsTest.moc"
