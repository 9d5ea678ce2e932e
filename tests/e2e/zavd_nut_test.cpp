// zavd against the virtual UPS over a pseudo-terminal, with Debian's own NUT clients: upsc reads
// the variables, upscmd and upsrw act with a password, hostile clients leave the service polling,
// and upsmon (primary, dry-run shutdown command) shuts down with zavd's own dry-run power-off when
// the battery runs low.

#include "SimulatorThread.h"
#include "ZavdProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <signal.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

SimConfig model7() {
    SimConfig c;
    c.upsModel = 7;
    c.baud = 9600;
    return c;
}

bool haveTool(const QString& path) {
    return QFileInfo(path).isExecutable();
}

// Waits for a condition with a bound; events keep flowing meanwhile (the zavd process's output).
bool waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, kZavdWaitMs);
}

class ZavdNut : public ::testing::Test {
  protected:
    SimulatorThread ups{model7()};
    QTemporaryDir dir;
    ZavdProcess zavd;

    void SetUp() override {
        QString error;
        ASSERT_TRUE(ups.start(&error)) << error.toStdString();
        ASSERT_TRUE(dir.isValid());
    }

    void applyEvent(const char* text) {
        ScenarioEvent e;
        QString error;
        ASSERT_TRUE(parseEvent(QString::fromLatin1(text), &e, &error)) << error.toStdString();
        ups.withUps([&](VirtualUps& u) { u.apply(e); });
    }

    // Starts zavd on the virtual UPS with the users and the [ShutEvents] given, on a free port.
    void startZavd(const QByteArray& extra, const QString& portPath = {}) {
        const QString devicePath = portPath.isEmpty() ? ups.devicePath() : portPath;
        QString why;
        ASSERT_TRUE(zavd.start(dir.filePath("zavd.conf"),
                               "[Link]\nPort=" + devicePath.toUtf8() + "\nBaud=9600\nModel=7\n"
                               "[Server]\nMaxConnections=8\nUsers=admin mon sec\n"
                               "[User admin]\nPassword=secret\nActions=SET\nInstCmds=ALL\n"
                               "[User mon]\nPassword=pw\nUpsmon=primary\n"
                               "[User sec]\nPassword=pw2\nUpsmon=secondary\n" + extra,
                               &why))
            << why.toStdString();
        ASSERT_TRUE(zavd.waitLog("UPS answers")) << zavd.logText();
        // The settings of the model are read shortly after the first answer.
        ASSERT_TRUE(waitFor([&] { return client("GET VAR zav zav.battery.count").startsWith("VAR"); }));
    }

    QByteArray client(const QByteArray& line) const { return zavd.client(line); }
    QString target() const { return zavd.target(); }
};

} // namespace

TEST_F(ZavdNut, UpscReadsUpscmdAndUpsrwActWithAPassword) {
    if (!haveTool("/usr/bin/upsc")) GTEST_SKIP() << "nut-client is not installed (scripts/setup.sh)";
    startZavd({});
    QByteArray out;
    ASSERT_EQ(runTool("upsc", {target()}, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("\nups.status: OL\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("device.mfr: ZAV\n"));
    EXPECT_TRUE(out.contains("\noutput.voltage: "));
    EXPECT_TRUE(out.contains("\nbattery.charge: "));
    // From the settings and the status words, under NUT's names.
    for (const char* name : {"\nups.power.nominal: ", "\nbattery.packs: ", "\nbattery.capacity: ",
                             "\nbattery.charger.status: "})
        EXPECT_TRUE(out.contains(name)) << name << out.toStdString();
    EXPECT_FALSE(out.contains("addchar")) << "a value that is not ASCII: " << out.toStdString();
    ASSERT_EQ(runTool("upsc", {target(), "ups.load"}, &out), 0);
    EXPECT_GT(out.trimmed().split('\n').last().toDouble(), 30) << out.toStdString();

    ASSERT_EQ(runTool("upscmd", {"-l", target()}, &out), 0);
    EXPECT_TRUE(out.contains("bypass.start")) << out.toStdString();
    EXPECT_TRUE(out.contains("calibrate.start")) << out.toStdString();

    // A wrong password does nothing.
    EXPECT_NE(runTool("upscmd", {"-u", "admin", "-p", "wrong", target(), "bypass.start"}, &out), 0);
    EXPECT_TRUE(out.contains("ACCESS-DENIED")) << out.toStdString();
    // The upsmon user has no command right.
    EXPECT_NE(runTool("upscmd", {"-u", "mon", "-p", "pw", target(), "bypass.start"}, &out), 0);
    int source = -1;
    ups.withUps([&](VirtualUps& u) { source = u.plant().supplySource(); });
    EXPECT_NE(source, 2);

    // -w waits for the UPS's own verdict through TRACKING.
    ASSERT_EQ(runTool("upscmd", {"-w", "-u", "admin", "-p", "secret", target(), "bypass.start"}, &out), 0)
        << out.toStdString();
    EXPECT_TRUE(out.contains("SUCCESS")) << out.toStdString();
    EXPECT_TRUE(waitFor([&] {
        int s = -1;
        ups.withUps([&](VirtualUps& u) { s = u.plant().supplySource(); });
        return s == 2;
    }));
    EXPECT_TRUE(zavd.waitLog("register 354 = 255: accepted")) << zavd.logText();
    EXPECT_TRUE(waitFor([&] { return client("GET VAR zav ups.status").contains("BYPASS"); }));

    // A setting through upsrw, with the page's range check before anything is sent.
    EXPECT_NE(runTool("upsrw", {"-s", "zav.battery.count=17", "-u", "admin", "-p", "secret", target()}, &out), 0);
    ASSERT_EQ(runTool("upsrw", {"-s", "zav.battery.count=18", "-u", "admin", "-p", "secret", target()}, &out), 0)
        << out.toStdString();
    EXPECT_TRUE(waitFor([&] {
        int v = 0;
        ups.withUps([&](VirtualUps& u) { v = u.settings().value(311); });
        return v == 18;
    }));
    EXPECT_TRUE(waitFor([&] { return client("GET VAR zav zav.battery.count") == "VAR zav zav.battery.count \"18\""; }));
}

// Commands and settings sent right after each other are carried out in order, as upsd passes them
// on, and each one's verdict comes through TRACKING.
TEST_F(ZavdNut, CommandsAndSettingsInARowAreQueuedInOrder) {
    if (!haveTool("/usr/bin/upscmd")) GTEST_SKIP() << "nut-client is not installed (scripts/setup.sh)";
    startZavd({});
    QByteArray out;
    ASSERT_EQ(runTool("upscmd", {"-u", "admin", "-p", "secret", target(), "bypass.start"}, &out), 0) << out.toStdString();
    ASSERT_EQ(runTool("upscmd", {"-w", "-u", "admin", "-p", "secret", target(), "bypass.stop"}, &out), 0)
        << out.toStdString();
    EXPECT_TRUE(out.contains("SUCCESS")) << out.toStdString();
    EXPECT_TRUE(zavd.waitLog("register 354 = 255: accepted")) << zavd.logText();
    const int first = int(zavd.log().indexOf("register 354 = 255: accepted"));
    EXPECT_TRUE(zavd.waitLog("register 354 = 0: accepted")) << zavd.logText();
    EXPECT_GT(zavd.log().indexOf("register 354 = 0: accepted"), first) << "the second command went first";

    ASSERT_EQ(runTool("upsrw", {"-s", "zav.battery.count=18", "-u", "admin", "-p", "secret", target()}, &out), 0)
        << out.toStdString();
    ASSERT_EQ(runTool("upsrw", {"-w", "-s", "zav.battery.count=16", "-u", "admin", "-p", "secret", target()}, &out), 0)
        << out.toStdString();
    EXPECT_TRUE(out.contains("SUCCESS")) << out.toStdString();
    EXPECT_TRUE(waitFor([&] { return client("GET VAR zav zav.battery.count") == "VAR zav zav.battery.count \"16\""; }));
}

TEST_F(ZavdNut, HostileClientsLeaveTheServicePolling) {
    startZavd({});
    // An endless line: an error, then the connection is closed.
    {
        QTcpSocket s;
        s.connectToHost("127.0.0.1", quint16(zavd.port()));
        ASSERT_TRUE(s.waitForConnected(5000));
        s.write(QByteArray(100'000, 'A'));
        EXPECT_TRUE(waitFor([&] {
            s.waitForReadyRead(50);
            return s.state() == QAbstractSocket::UnconnectedState;
        }));
        EXPECT_TRUE(s.readAll().startsWith("ERR INVALID-ARGUMENT\n"));
    }
    // Binary garbage, lines and all: each answered with an error, nothing else happens.
    {
        QTcpSocket s;
        s.connectToHost("127.0.0.1", quint16(zavd.port()));
        ASSERT_TRUE(s.waitForConnected(5000));
        QByteArray junk;
        for (int i = 0; i < 4000; ++i) junk += char((i * 37 + 11) % 256);
        junk.replace('\n', 'x');
        for (int i = 100; i < junk.size(); i += 200) junk[i] = '\n';
        junk += "\nNETVER\n";
        s.write(junk);
        QByteArray got;
        EXPECT_TRUE(waitFor([&] {
            s.waitForReadyRead(50);
            got += s.readAll();
            return got.contains("1.3\n");
        })) << got.toStdString();
        EXPECT_TRUE(got.startsWith("ERR ")) << got.toStdString();
    }
    // More connections than allowed: the surplus is closed, the allowed ones are served.
    {
        std::vector<std::unique_ptr<QTcpSocket>> many;
        for (int i = 0; i < 40; ++i) {
            many.push_back(std::make_unique<QTcpSocket>());
            many.back()->connectToHost("127.0.0.1", quint16(zavd.port()));
            many.back()->waitForConnected(5000);
        }
        int served = 0;
        for (auto& s : many) {
            s->write("NETVER\n");
            QDeadlineTimer deadline(3000);
            while (s->state() == QAbstractSocket::ConnectedState && !s->canReadLine() && !deadline.hasExpired())
                s->waitForReadyRead(50);
            served += s->canReadLine() && s->readLine() == "1.3\n";
        }
        EXPECT_GE(served, 1);
        EXPECT_LE(served, 8);
    }
    // Once they have gone, the slots are free again.
    EXPECT_TRUE(waitFor([&] { return client("NETVER") == "1.3"; }));
    // A client that asks and asks but never reads its replies is dropped. A plain socket: Qt's own
    // would read the replies into its buffer.
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        int small = 4096;
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(quint16(zavd.port()));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
        const QByteArray request = "LIST VAR zav\n";
        bool reset = false;
        EXPECT_TRUE(waitFor([&] {
            for (int i = 0; i < 100 && !reset; ++i) {
                const ssize_t n = ::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL);
                if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) reset = true;
                if (n < 0 && !reset) break;
            }
            return reset;
        })) << "still connected";
        ::close(fd);
    }
    EXPECT_TRUE(zavd.waitLog("does not read its replies")) << zavd.logText();
    EXPECT_TRUE(zavd.log().contains("request line longer than")) << zavd.logText();
    // The service is unharmed and still polls: a new client reads fresh data.
    EXPECT_EQ(zavd.state(), QProcess::Running);
    applyEvent("0s utility-fail");
    EXPECT_TRUE(waitFor([&] { return client("GET VAR zav ups.status").contains("OB"); }));
}

// upsmon allows one instance on a machine (its pid file is machine-wide), so one test runs it.
// One upsmon for the whole story (upsmon allows one instance on a machine, and ctest runs tests side
// by side). A battery test discharges the battery with the mains present: the UPS stays on line for
// upsmon, which neither logs "on battery" nor shuts down. Then a real utility failure and a low
// battery: FSD is set, a secondary logs out, and only then do upsmon (the primary) and zavd shut
// down. The secondary is a plain client that speaks a secondary upsmon's part.
TEST_F(ZavdNut, UpsmonSeesATestAsOnLineAndShutsDownWhenTheBatteryRunsLow) {
    if (!haveTool("/lib/nut/upsmon")) GTEST_SKIP() << "nut-client is not installed (scripts/setup.sh)";
    startZavd("[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=10\nSEBattVoltLowShutDelay=0\n");
    Upsmon monitor;
    // The primary would wait a minute for its secondaries: longer than any wait below.
    ASSERT_TRUE(monitor.start(dir, {target()}, 60));
    ASSERT_TRUE(monitor.says("Logged into UPS")) << monitor.said.toStdString();
    QTcpSocket secondary;
    secondary.connectToHost("127.0.0.1", quint16(zavd.port()));
    ASSERT_TRUE(secondary.waitForConnected(5000));
    const auto ask = [&](const QByteArray& line) {
        secondary.write(line + '\n');
        QDeadlineTimer deadline(5000);
        while (!secondary.canReadLine() && !deadline.hasExpired()) secondary.waitForReadyRead(50);
        return secondary.readLine().trimmed();
    };
    ASSERT_EQ(ask("USERNAME sec"), "OK");
    ASSERT_EQ(ask("PASSWORD pw2"), "OK");
    ASSERT_EQ(ask("LOGIN zav"), "OK");
    EXPECT_EQ(client("GET NUMLOGINS zav"), "NUMLOGINS zav 2");

    QByteArray out;
    ASSERT_EQ(runTool("upscmd", {"-u", "admin", "-p", "secret", target(), "test.battery.start"}, &out), 0)
        << out.toStdString();
    ASSERT_TRUE(waitFor([&] { return client("GET VAR zav ups.status").contains("DISCHRG"); }));
    EXPECT_TRUE(client("GET VAR zav ups.status").startsWith("VAR zav ups.status \"OL"));
    EXPECT_TRUE(waitFor([&] { return client("GET VAR zav ups.test.result") == "VAR zav ups.test.result \"In progress\""; }));
    // The test ends by itself (10 s in the virtual UPS); upsmon polled every second meanwhile.
    EXPECT_TRUE(waitFor([&] { return client("GET VAR zav ups.test.result").contains("Done"); }));
    monitor.process.waitForReadyRead(1500);
    monitor.said += monitor.process.readAll();
    EXPECT_FALSE(monitor.said.contains("on battery")) << monitor.said.toStdString();
    EXPECT_FALSE(QFile::exists(monitor.flag));

    applyEvent("0s utility-fail");
    EXPECT_TRUE(monitor.says("on battery")) << monitor.said.toStdString();
    EXPECT_FALSE(QFile::exists(monitor.flag)); // on battery alone is no reason yet
    applyEvent("0s battery-low");
    // The secondary sees FSD and logs out once the primary waits for it; the primary then shuts
    // down at once, not when its host-sync wait runs out.
    bool loggedOut = false, primaryWentFirst = false;
    EXPECT_TRUE(waitFor([&] {
        monitor.process.waitForReadyRead(50);
        monitor.said += monitor.process.readAll();
        if (!loggedOut) {
            primaryWentFirst = primaryWentFirst || QFile::exists(monitor.flag);
            if (monitor.said.contains("waiting for secondaries to logout") &&
                ask("GET VAR zav ups.status").contains("FSD")) {
                loggedOut = ask("LOGOUT") == "OK Goodbye";
            }
        }
        return QFile::exists(monitor.flag);
    })) << monitor.said.toStdString();
    EXPECT_TRUE(loggedOut);
    EXPECT_FALSE(primaryWentFirst);
    EXPECT_FALSE(monitor.said.contains("Host sync timer expired")) << monitor.said.toStdString();
    EXPECT_TRUE(zavd.waitLog("the PC would be powered off now")) << zavd.logText();
    EXPECT_TRUE(client("GET VAR zav ups.status").startsWith("VAR zav ups.status \"FSD "));
}

// The switch-off order the PC protection gives the UPS on a utility failure is published as NUT's
// ups.timer.shutdown: -1 while there is none, then the seconds left.
TEST_F(ZavdNut, APendingSwitchOffIsTheShutdownTimer) {
    startZavd("[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=10\n"
              "CheckBoxUtilityFailUpsShutDelay=1\nSEUtilityFailUpsShutDelay=300\n");
    EXPECT_EQ(client("GET VAR zav ups.timer.shutdown"), "VAR zav ups.timer.shutdown \"-1\"");
    applyEvent("0s utility-fail");
    QByteArray reply;
    ASSERT_TRUE(waitFor([&] {
        reply = client("GET VAR zav ups.timer.shutdown");
        return reply != "VAR zav ups.timer.shutdown \"-1\"" && reply.startsWith("VAR");
    })) << reply.toStdString();
    // The UPS switches off after the PC: the 10-minute countdown plus its own 300 s.
    const int left = reply.mid(reply.indexOf('"') + 1).chopped(1).toInt();
    EXPECT_GT(left, 800) << reply.toStdString();
    EXPECT_LE(left, 900) << reply.toStdString();
}

// A USB adapter pulled and plugged in again: the device disappears, reads say the data are stale
// (never old or zero values), and once a device answers under the configured name again zavd takes
// it up by itself.
TEST_F(ZavdNut, APulledAdapterMakesTheDataStaleUntilItIsBack) {
    const QString link = dir.filePath("ttyUPS");
    ASSERT_TRUE(QFile::link(ups.devicePath(), link));
    startZavd({}, link);
    ASSERT_TRUE(client("GET VAR zav ups.status").startsWith("VAR zav ups.status")) << zavd.logText();

    ups.stop(); // the device node goes away with the pseudo-terminal
    ASSERT_TRUE(QFile::remove(link));
    EXPECT_TRUE(zavd.waitLog("lost")) << zavd.logText();
    EXPECT_TRUE(waitFor([&] { return client("GET VAR zav ups.status") == "ERR DATA-STALE"; }));
    EXPECT_EQ(client("GET VAR zav output.voltage"), "ERR DATA-STALE");
    EXPECT_EQ(zavd.state(), QProcess::Running);

    QString error;
    ASSERT_TRUE(ups.start(&error)) << error.toStdString(); // plugged in again, as a new device node
    ASSERT_TRUE(QFile::link(ups.devicePath(), link));
    EXPECT_TRUE(waitFor([&] { return client("GET VAR zav ups.status").startsWith("VAR zav ups.status"); }))
        << zavd.logText();
    EXPECT_TRUE(client("GET VAR zav output.voltage").startsWith("VAR zav output.voltage")) << zavd.logText();
}
