// zavd with several UPSes on one bus: the virtual UPS answers at addresses 1 and 2 of one pty and
// nobody at address 3. Each NUT name says only what its own UPS does: two answer, one is stale,
// and a utility failure on one of them shows on that name alone, for upsc and for upsmon.

#include "SimulatorThread.h"

#include <signal.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;

namespace {

const QString kZavd = QStringLiteral(ZAV_BINARY_DIR "/zavd");
constexpr int kWaitMs = 30'000;

SimConfig unit(int address, int model) {
    SimConfig c;
    c.address = address;
    c.upsModel = model;
    c.baud = 9600;
    return c;
}

bool waitFor(const std::function<bool()>& condition, int ms = kWaitMs) {
    return QTest::qWaitFor(condition, ms);
}

class ZavdBus : public ::testing::Test {
  protected:
    SimulatorThread line{QVector<SimConfig>{unit(1, 7), unit(2, 5)}};
    QTemporaryDir dir;
    QProcess zavd;
    QByteArray log;
    int port = 0;

    void SetUp() override {
        QString error;
        ASSERT_TRUE(line.start(&error)) << error.toStdString();
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override {
        if (zavd.state() != QProcess::NotRunning) {
            zavd.terminate();
            zavd.waitForFinished(10'000);
        }
    }

    void startZavd(const QByteArray& extra = {}) {
        const QString path = dir.filePath("zavd.conf");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Link]\nPort=" + line.devicePath().toUtf8() + "\nBaud=9600\n"
                "[Server]\nUpsNames=rack1 rack2 spare\nUsers=mon\n"
                "[Ups rack1]\nAddress=1\nModel=7\nDescription=Rack 1\n"
                "[Ups rack2]\nAddress=2\nModel=5\nDescription=Rack 2\n"
                "[Ups spare]\nAddress=3\nModel=7\n"
                "[User mon]\nPassword=pw\nUpsmon=primary\n" + extra);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        zavd.start(kZavd, {"--config", path, "--listen-port", "0", "--dry-run"});
        ASSERT_TRUE(zavd.waitForStarted(kWaitMs));
        ASSERT_TRUE(waitLog("listening on 127.0.0.1 port ")) << log.toStdString();
        port = QRegularExpression("listening on 127.0.0.1 port (\\d+)").match(QString(log)).captured(1).toInt();
        ASSERT_GT(port, 0);
        ASSERT_TRUE(waitLog("rack1: UPS answers")) << log.toStdString();
        ASSERT_TRUE(waitLog("rack2: UPS answers")) << log.toStdString();
        for (const char* name : {"rack1", "rack2"})
            ASSERT_TRUE(waitFor([&] { return client("GET VAR " + QByteArray(name) + " ups.status").startsWith("VAR"); }))
                << name;
    }

    bool waitLog(const QByteArray& needle, int ms = kWaitMs) {
        QDeadlineTimer deadline(ms);
        while (!log.contains(needle)) {
            if (deadline.hasExpired() || zavd.state() == QProcess::NotRunning) return false;
            zavd.waitForReadyRead(100);
            log += zavd.readAllStandardError();
        }
        return true;
    }

    QString target(const char* name) const { return QStringLiteral("%1@127.0.0.1:%2").arg(QLatin1String(name)).arg(port); }

    int tool(const QString& program, const QStringList& args, QByteArray* out) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        EXPECT_TRUE(p.waitForFinished(kWaitMs)) << program.toStdString();
        *out = p.readAll();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    // Request lines on a fresh connection; the reply lines up to `lines` of them.
    QByteArrayList talk(const QByteArray& request, int lines = 1) {
        QTcpSocket s;
        s.connectToHost("127.0.0.1", quint16(port));
        if (!s.waitForConnected(5000)) return {};
        s.write(request + '\n');
        QByteArrayList out;
        QDeadlineTimer deadline(5000);
        while (out.size() < lines && !deadline.hasExpired()) {
            if (!s.canReadLine()) s.waitForReadyRead(100);
            while (s.canReadLine() && out.size() < lines) out << s.readLine().trimmed();
        }
        return out;
    }
    QByteArray client(const QByteArray& line) { return talk(line).value(0); }

    void utilityFailOnAddress2() {
        ScenarioEvent e;
        QString error;
        ASSERT_TRUE(parseEvent("0s utility-fail", &e, &error)) << error.toStdString();
        line.withUnit(1, [&](VirtualUps& u) { u.apply(e); });
    }
};

TEST_F(ZavdBus, EachNameSaysWhatItsOwnUpsDoes) {
    if (!QFileInfo("/usr/bin/upsc").isExecutable()) GTEST_SKIP() << "nut-client is not installed (scripts/setup.sh)";
    startZavd();
    EXPECT_EQ(talk("LIST UPS", 5), (QByteArrayList{"BEGIN LIST UPS", "UPS rack1 \"Rack 1\"", "UPS rack2 \"Rack 2\"",
                                                    "UPS spare \"ZAV UPS\"", "END LIST UPS"}));
    QByteArray out;
    ASSERT_EQ(tool("upsc", {target("rack1")}, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("\nups.status: OL\n")) << out.toStdString();
    const QByteArray rack1 = out;
    ASSERT_EQ(tool("upsc", {target("rack2")}, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("\nups.status: OL\n")) << out.toStdString();
    // Two UPSes, two sets of values: the models differ, so do their nominal powers and phases.
    EXPECT_NE(rack1, out);
    EXPECT_NE(tool("upsc", {target("spare"), "ups.status"}, &out), 0);
    EXPECT_TRUE(out.contains("Data stale")) << out.toStdString();
    EXPECT_FALSE(log.contains("spare: UPS answers")) << log.toStdString();

    utilityFailOnAddress2();
    EXPECT_TRUE(waitFor([&] { return client("GET VAR rack2 ups.status").contains("OB"); }));
    EXPECT_TRUE(client("GET VAR rack1 ups.status").startsWith("VAR rack1 ups.status \"OL"));
    EXPECT_EQ(client("GET VAR spare ups.status"), "ERR DATA-STALE");
    // The UPSes that answer keep answering: the empty address costs only its own waits.
    EXPECT_FALSE(log.contains("rack1: UPS does not answer")) << log.toStdString();
    EXPECT_FALSE(log.contains("rack2: UPS does not answer")) << log.toStdString();
}

// upsmon on this machine watches two names; only the UPS that lost its mains goes on battery.
TEST_F(ZavdBus, UpsmonWatchesTwoNamesOnOneBus) {
    if (!QFileInfo("/lib/nut/upsmon").isExecutable()) GTEST_SKIP() << "nut-client is not installed (scripts/setup.sh)";
    startZavd();
    const QString flag = dir.filePath("upsmon-shutdown");
    QFile conf(dir.filePath("upsmon.conf"));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("MONITOR %1 1 mon pw primary\nMONITOR %2 1 mon pw primary\nMINSUPPLIES 1\n"
                              "SHUTDOWNCMD \"/usr/bin/touch %3\"\nPOLLFREQ 1\nPOLLFREQALERT 1\nHOSTSYNC 2\n"
                              "DEADTIME 15\nFINALDELAY 0\nPOWERDOWNFLAG %4\n")
                   .arg(target("rack1"), target("rack2"), flag, dir.filePath("killpower"))
                   .toUtf8());
    conf.close();
    conf.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QFile nutConf(dir.filePath("nut.conf"));
    ASSERT_TRUE(nutConf.open(QIODevice::WriteOnly));
    nutConf.write("MODE=netclient\n");
    nutConf.close();
    QProcess upsmon;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("NUT_CONFPATH", dir.path());
    env.insert("NUT_STATEPATH", dir.path());
    env.insert("NUT_ALTPIDPATH", dir.path());
    upsmon.setProcessEnvironment(env);
    upsmon.setProcessChannelMode(QProcess::MergedChannels);
    upsmon.start(QStringLiteral("/lib/nut/upsmon"), {"-F", "-D", "-u", qEnvironmentVariable("USER", "root")});
    ASSERT_TRUE(upsmon.waitForStarted(kWaitMs));
    QByteArray said;
    const auto says = [&](const QByteArray& text) {
        return waitFor([&] {
            upsmon.waitForReadyRead(50);
            said += upsmon.readAll();
            return said.contains(text);
        });
    };
    EXPECT_TRUE(says("Logged into UPS " + target("rack1").toUtf8())) << said.toStdString();
    EXPECT_TRUE(says("Logged into UPS " + target("rack2").toUtf8())) << said.toStdString();
    EXPECT_EQ(client("GET NUMLOGINS rack1"), "NUMLOGINS rack1 1");
    EXPECT_EQ(client("GET NUMLOGINS rack2"), "NUMLOGINS rack2 1");

    utilityFailOnAddress2();
    EXPECT_TRUE(says("UPS " + target("rack2").toUtf8() + " on battery")) << said.toStdString();
    upsmon.waitForReadyRead(2000);
    said += upsmon.readAll();
    EXPECT_FALSE(said.contains("UPS " + target("rack1").toUtf8() + " on battery")) << said.toStdString();
    EXPECT_FALSE(QFile::exists(flag));

    // upsmon runs as two processes: the child would be left behind holding its pid file.
    const qint64 parent = upsmon.processId();
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile stat("/proc/" + pid + "/stat");
        if (parent > 0 && stat.open(QIODevice::ReadOnly)) {
            const QByteArray text = stat.readAll();
            const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1 && fields[1].toLongLong() == parent) ::kill(pid_t(pid.toLongLong()), SIGKILL);
        }
    }
    upsmon.terminate();
    upsmon.waitForFinished(10'000);
}

} // namespace
