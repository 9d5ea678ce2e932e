// The zav and zavctl programs as a user starts them: how they end and what their exit status says.

#include "SimulatorThread.h"
#include "VirtualUps.h"
#include "Scenario.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include "journal/EventJournal.h"
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/types.h>

using namespace zav;
using namespace zav::sim;

namespace {

const QString kZav = QStringLiteral(ZAV_BINARY_DIR "/zav");
const QString kZavctl = QStringLiteral(ZAV_BINARY_DIR "/zavctl");

// The pid of the child of `parent` whose command name is `name`, or 0.
pid_t childNamed(qint64 parent, const QByteArray& name) {
    const QStringList entries = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isPid = false;
        const pid_t pid = entry.toInt(&isPid);
        if (!isPid) continue;
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray line = stat.readAll();
        // "pid (comm) state ppid ..."
        const qsizetype open = line.indexOf('('), close = line.lastIndexOf(')');
        if (open < 0 || close < 0) continue;
        const QList<QByteArray> rest = line.mid(close + 2).split(' ');
        if (line.mid(open + 1, close - open - 1) == name.left(15) && rest.size() > 1 && rest[1].toLongLong() == parent)
            return pid;
    }
    return 0;
}

// True while the process exists and has not ended (a zombie has ended).
bool alive(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close > 0 && line.mid(close + 2, 1) != "Z";
}

class ZavDemoProcess : public ::testing::TestWithParam<int> {};

INSTANTIATE_TEST_SUITE_P(Signals, ZavDemoProcess, ::testing::Values(SIGTERM, SIGINT, SIGHUP, SIGKILL),
                         [](const auto& info) {
                             switch (info.param) {
                             case SIGTERM: return "Term";
                             case SIGINT: return "Int";
                             case SIGHUP: return "Hup";
                             default: return "Kill";
                             }
                         });

// zav --demo ends on a signal as its Exit would, and never leaves its virtual UPS behind, not even
// when it is killed outright.
TEST_P(ZavDemoProcess, SignalEndsTheProgramAndItsVirtualUps) {
    if (!QFileInfo(kZav).isExecutable()) GTEST_SKIP() << "zav is not built";
    QTemporaryDir dir;
    QProcess zav;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_DATA_HOME", dir.path()); // the demo's journal, not the user's
    zav.setProcessEnvironment(env);
    zav.start(kZav, {"--demo", "--config", dir.filePath("ZAV.ini")});
    ASSERT_TRUE(zav.waitForStarted(20'000));
    pid_t sim = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (sim = childNamed(zav.processId(), "zav-ups-sim")) != 0; }, 60'000));
    // The signal handlers are in place before the virtual UPS is started.

    ::kill(pid_t(zav.processId()), GetParam());
    ASSERT_TRUE(zav.waitForFinished(30'000));
    if (GetParam() != SIGKILL) {
        EXPECT_EQ(zav.exitStatus(), QProcess::NormalExit) << zav.readAllStandardError().toStdString();
        EXPECT_EQ(zav.exitCode(), 0);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !alive(sim); }, 20'000)) << "zav-ups-sim " << sim << " outlived zav";
    if (alive(sim)) ::kill(sim, SIGKILL);
}

// With the shutdown countdown on screen (the window refuses the window system's close), a signal
// still ends the program at once, and neither the shutdown sequence nor the power-off is started.
TEST(ZavProgram, SignalEndsTheProgramDuringACountdown) {
    if (!QFileInfo(kZav).isExecutable()) GTEST_SKIP() << "zav is not built";
    QTemporaryDir dir;
    {
        QFile ini(dir.filePath("ZAV.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        // One minute of countdown: far longer than the wait for the program to end below.
        ini.write("[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=1\n"
                  "CheckBoxUtilityFailUpsShutDelay=0\n");
    }
    QProcess zav;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_LOGGING_RULES", "zav.protect.info=true");
    env.insert("XDG_DATA_HOME", dir.path()); // the demo's journal, not the user's
    zav.setProcessEnvironment(env);
    zav.setProcessChannelMode(QProcess::SeparateChannels);
    zav.start(kZav, {"--demo", "--config", dir.filePath("ZAV.ini"), "--sim-args", "--model 7 --event \"1s utility-fail\"",
                     "--connect"});
    ASSERT_TRUE(zav.waitForStarted(20'000));
    QByteArray err;
    const bool counting = QTest::qWaitFor(
        [&] {
            err += zav.readAllStandardError();
            return err.contains("countdown of 60 s started") || zav.state() == QProcess::NotRunning;
        },
        120'000);
    ASSERT_TRUE(counting && zav.state() == QProcess::Running) << err.toStdString();

    ::kill(pid_t(zav.processId()), SIGTERM);
    const bool ended = zav.waitForFinished(20'000);
    err += zav.readAllStandardError();
    if (!ended) {
        zav.kill();
        zav.waitForFinished();
    }
    ASSERT_TRUE(ended) << "zav still runs 20 s after SIGTERM with the countdown on screen\n" << err.toStdString();
    EXPECT_EQ(zav.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(zav.exitCode(), 0);
    EXPECT_TRUE(err.contains("ending on signal 15")) << err.toStdString();
    EXPECT_FALSE(err.contains("shutdown sequence started")) << err.toStdString();
    EXPECT_FALSE(err.contains("powering the PC off")) << err.toStdString();

    // The window's journal holds what happened, up to the countdown, written before the end.
    EventJournal journal;
    ASSERT_TRUE(journal.open(dir.filePath("zav/demo-journal.sqlite"), true)) << journal.error().toStdString();
    QStringList names;
    for (const UpsEvent& e : journal.query({})) names.prepend(e.name());
    EXPECT_TRUE(names.contains("link-up") && names.contains("model")) << names.join(' ').toStdString();
    EXPECT_TRUE(names.contains("power-fail")) << names.join(' ').toStdString();
    EXPECT_TRUE(names.contains("countdown")) << names.join(' ').toStdString();
    EXPECT_LT(names.indexOf("power-fail"), names.indexOf("countdown"));
}

struct CtlRun {
    int exitCode = -1;
    QByteArray out, err;
};

CtlRun runZavctl(const QStringList& args, int waitMs = 60'000) {
    QProcess p;
    p.start(kZavctl, args);
    CtlRun run;
    if (!p.waitForFinished(waitMs)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

TEST(ZavctlProgram, UsageErrorsHelpAndBoundedTimeout) {
    if (!QFileInfo(kZavctl).isExecutable()) GTEST_SKIP() << "zavctl is not built";
    struct Case {
        QStringList args;
        int exitCode;
        const char* inErr;
    };
    const Case cases[] = {
        {{"poll", "--port", ""}, 1, "--port is empty"},
        {{"poll"}, 1, "--port is required"},
        {{"poll", "--port", "/dev/null", "--timeout", "3000000"}, 1, "bad --timeout"},
        {{"poll", "--port", "/dev/null", "--timeout", "0"}, 1, "bad --timeout"},
        {{"poll", "--port", "/dev/null", "--addr", "255"}, 1, "bad --addr"},
        {{"poll", "--port", "/dev/null", "--cycles", "x"}, 1, "bad --cycles"},
        {{"frobnicate"}, 1, "unknown command"},
        {{"poll", "--port", "/nonexistent/ttyUSB9", "--baud", "9600"}, 2, "no such serial port"},
    };
    for (const Case& c : cases) {
        const CtlRun run = runZavctl(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.inErr)) << c.args.join(' ').toStdString() << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << c.args.join(' ').toStdString();
    }
    for (const QStringList& help : {QStringList{"poll", "--help"}, QStringList{"--help"}}) {
        const CtlRun run = runZavctl(help);
        EXPECT_EQ(run.exitCode, 0) << help.join(' ').toStdString();
        EXPECT_TRUE(run.out.contains("usage: zavctl")) << run.out.toStdString();
    }
}

// A UPS that never answers (here: another address) is a failure, said on stderr with what was
// tried, even though the live cycle itself ends and its line is printed.
TEST(ZavctlProgram, NoAcceptedReplyIsAFailure) {
    if (!QFileInfo(kZavctl).isExecutable()) GTEST_SKIP() << "zavctl is not built";
    SimConfig c;
    c.address = 7;
    c.baud = 38400;
    SimulatorThread sim(c);
    QString why;
    if (!sim.start(&why)) GTEST_SKIP() << "no pseudo-terminal here: " << why.toStdString();
    const QStringList base{"poll", "--port", sim.devicePath(), "--baud", "38400", "--model", "1", "--cycles", "1"};

    const CtlRun wrong = runZavctl(base + QStringList{"--addr", "1"});
    EXPECT_EQ(wrong.exitCode, 3) << wrong.err.toStdString();
    EXPECT_TRUE(wrong.err.contains("no reply from the UPS was accepted")) << wrong.err.toStdString();
    EXPECT_TRUE(wrong.err.contains("address 1")) << wrong.err.toStdString();

    const CtlRun right = runZavctl(base + QStringList{"--addr", "7"});
    EXPECT_EQ(right.exitCode, 0) << right.err.toStdString();
    EXPECT_TRUE(right.out.contains("\"LinkOk\":true")) << right.out.toStdString();
}

// A UPS that answered and then fell silent is a failure too, and the message says it was lost.
TEST(ZavctlProgram, LinkLostDuringTheRunIsAFailure) {
    if (!QFileInfo(kZavctl).isExecutable()) GTEST_SKIP() << "zavctl is not built";
    SimConfig c;
    c.baud = 38400;
    SimulatorThread sim(c);
    QString why;
    if (!sim.start(&why)) GTEST_SKIP() << "no pseudo-terminal here: " << why.toStdString();
    QProcess p;
    p.start(kZavctl, {"poll", "--port", sim.devicePath(), "--baud", "38400", "--model", "1", "--cycles", "12"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.canReadLine(); }, 60'000));
    EXPECT_TRUE(p.readLine().contains("\"LinkOk\":true"));
    sim.withUps([](VirtualUps& u) {
        ScenarioEvent e;
        QString error;
        ASSERT_TRUE(parseEvent("0s silent 600s", &e, &error));
        u.apply(e);
    });
    ASSERT_TRUE(p.waitForFinished(120'000));
    const QByteArray err = p.readAllStandardError();
    EXPECT_EQ(p.exitCode(), 3) << err.toStdString();
    EXPECT_TRUE(err.contains("then stopped answering")) << err.toStdString();
}

} // namespace
