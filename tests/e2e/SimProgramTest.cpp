// The zav-ups-sim program itself: its device path, its link, its exit, and the tool reading it.

#include "link/LinkTypes.h"
#include "link/QtSerialChannel.h"
#include "session/UpsSession.h"

#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zav;

namespace {

const QString kProgram = QStringLiteral(ZAV_BINARY_DIR "/zav-ups-sim");

#define PROGRAM_OR_SKIP()                                                                                    \
    do {                                                                                                     \
        if (!QFileInfo(kProgram).isExecutable()) GTEST_SKIP() << "zav-ups-sim is not built";                 \
    } while (0)

TEST(SimProgram, BadArgumentsEndWithAMessageAndStatus2) {
    PROGRAM_OR_SKIP();
    QProcess p;
    p.start(kProgram, {"--baud", "57600"});
    ASSERT_TRUE(p.waitForFinished(20'000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardError().startsWith(
        "zav-ups-sim: --baud must be one of 1200, 2400, 4800, 9600, 14400, 19200, 38400"));
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
}

TEST(SimProgram, ServesThroughItsLinkUntilTerminated) {
    PROGRAM_OR_SKIP();
    QTemporaryDir dir;
    const QString link = dir.filePath("ups");
    QProcess sim;
    sim.start(kProgram, {"--model", "3", "--proto", "rtu", "--baud", "4800", "--link", link});
    ASSERT_TRUE(sim.waitForStarted(20'000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.canReadLine(); }, 20'000));
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    EXPECT_TRUE(device.startsWith("/dev/pts/")) << device.toStdString();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), device);

    QtSerialChannel channel;
    UpsSession scheduler(channel);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &scheduler, &UpsSession::tick);
    QSignalSpy detected(&scheduler, &UpsSession::modelDetected);
    ConnectRequest request;
    request.modelItem = 0; // Auto
    request.baudItem = 2;  // 4800
    request.portName = link;
    request.protocol = Protocol::Rtu;
    ASSERT_EQ(scheduler.connectLink(request), ConnectResult::Connected);
    timer.start(kTickMs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return detected.count() > 0; }, 30'000));
    EXPECT_EQ(detected.first().first().toInt(), 4) << "code 4: model box item 4";
    EXPECT_EQ(scheduler.upsModel(), 3);
    timer.stop();
    scheduler.disconnectLink();

    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(20'000));
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "the link goes with the program";
}

} // namespace
