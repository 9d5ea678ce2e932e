// zav-closeapp on a real X11 display (Xvfb): it asks the windows of the session to close as their
// close button would, leaves the excluded program alone, and writes the record the close list
// reads. The window to close is zav itself (without a tray its close ends the program).

#include "foundation/ProfileFile.h"
#include "protect/CloseList.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zav;

namespace {

const QString kBin = QStringLiteral(ZAV_BINARY_DIR);
constexpr int kWaitMs = 30'000;

class CloseAppOnX11 : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QProcess xvfb;
    QProcess zav;
    QString display;

    void SetUp() override {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (server.isEmpty()) GTEST_SKIP() << "no Xvfb";
        for (const char* program : {"zav", "zav-closeapp"})
            if (!QFile::exists(kBin + u'/' + QLatin1String(program))) GTEST_SKIP() << program << " not built";
        // ctest runs tests in parallel, each in its own process: start from a display number of this
        // process's own, so two tests never race for the same free number.
        int n = 140 + int(QCoreApplication::applicationPid() % 2000);
        while (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n))) ++n;
        display = QStringLiteral(":%1").arg(n);
        xvfb.start(server, {display, QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("800x600x24")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)); },
                                    kWaitMs));
        ASSERT_EQ(xvfb.state(), QProcess::Running) << "display " << n << " was taken";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        zav.setProcessEnvironment(env);
        zav.start(kBin + QStringLiteral("/zav"), {QStringLiteral("--config"), dir.filePath("ZAV.ini")});
        ASSERT_TRUE(zav.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return closeApp({QStringLiteral("--list")}).contains("window: "); },
                                    kWaitMs));
    }
    void TearDown() override {
        for (QProcess* p : {&zav, &xvfb}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->kill();
            p->waitForFinished();
        }
    }
    QString closeApp(const QStringList& args, int* status = nullptr) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        p.setProcessEnvironment(env);
        p.start(kBin + QStringLiteral("/zav-closeapp"), args);
        p.waitForFinished(kWaitMs);
        if (status) *status = p.exitCode();
        return QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    }
};

TEST_F(CloseAppOnX11, ClosesTheWindowAndRecordsTheApplication) {
    const QString record = dir.filePath("CLOSEAPP.INI");
    int status = -1;
    const QString out = closeApp({"--record", record, "--wait", "20"}, &status);
    EXPECT_EQ(status, 0) << out.toStdString();
    EXPECT_TRUE(zav.waitForFinished(kWaitMs)); // its close button's way: the program ended
    const QVector<ClosedApp> apps = closedApplications(ProfileFile(record));
    ASSERT_EQ(apps.size(), 1) << out.toStdString();
    EXPECT_EQ(apps[0].section, "zav");
    EXPECT_FALSE(apps[0].title.isEmpty());
    EXPECT_EQ(ProfileFile(record).readInteger("Main", "ShowMsg", 0), 1);
}

TEST_F(CloseAppOnX11, LeavesTheExcludedProgramAlone) {
    const QString record = dir.filePath("CLOSEAPP.INI");
    int status = -1;
    closeApp({"--record", record, "--exclude-pid", QString::number(zav.processId()), "--wait", "1"}, &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(closeApp({"--list"}).contains("window: ")); // never asked, still there
    EXPECT_TRUE(closedApplications(ProfileFile(record)).isEmpty());
}

} // namespace
