// zav-ups-sim --pace --stats: the line's byte counts written on SIGUSR1 and at the end, matching
// the bytes a tool sent and received.

#include "PtyLine.h"
#include "link/ModbusCodec.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zav;

namespace {

const QString kProgram = QStringLiteral(ZAV_BINARY_DIR "/zav-ups-sim");

// "name value" lines; empty when the file is not there.
QMap<QString, QString> readStats(const QString& path) {
    QMap<QString, QString> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return out;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() == 2) out.insert(QString::fromLatin1(parts[0]), QString::fromLatin1(parts[1]));
    }
    return out;
}

TEST(SimProgramStats, CountsTheLinesBytesOnSignalAndAtTheEnd) {
    if (!QFileInfo(kProgram).isExecutable()) GTEST_SKIP() << "zav-ups-sim is not built";
    QTemporaryDir dir;
    const QString statsPath = dir.filePath("line.txt");
    QProcess sim;
    sim.start(kProgram, {"--pace", "--stats", statsPath, "--baud", "9600", "--proto", "rtu"});
    ASSERT_TRUE(sim.waitForStarted(20'000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.canReadLine(); }, 20'000));
    const QByteArray device = sim.readLine().trimmed();

    const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(sim::configurePtyLine(fd, 9600));
    const QByteArray request = blockReadRequest(Protocol::Rtu, 1, fn::ReadSettings, 301, 20);
    const qsizetype replyLength = blockReplyLength(Protocol::Rtu, 20);
    ASSERT_EQ(::write(fd, request.constData(), size_t(request.size())), request.size());
    QByteArray reply;
    const bool replied = QTest::qWaitFor(
        [&] {
            char buf[256];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) reply.append(buf, n);
            return reply.size() >= replyLength;
        },
        20'000);
    ::close(fd);
    ASSERT_TRUE(replied);
    ASSERT_EQ(reply.size(), replyLength);

    const QMap<QString, QString> expected{{"bytes_in", QString::number(request.size())},
                                          {"bytes_out", QString::number(reply.size())},
                                          {"wire_ms", QString::number((request.size() + reply.size()) * 10'000.0 / 9600, 'f', 3)}};
    auto counted = [&] {
        const QMap<QString, QString> s = readStats(statsPath);
        return s.value("bytes_in") == expected["bytes_in"] && s.value("bytes_out") == expected["bytes_out"] &&
               s.value("wire_ms") == expected["wire_ms"];
    };
    ::kill(pid_t(sim.processId()), SIGUSR1);
    EXPECT_TRUE(QTest::qWaitFor(counted, 20'000)) << "on SIGUSR1";
    EXPECT_EQ(sim.state(), QProcess::Running) << "SIGUSR1 does not end the program";

    QFile::remove(statsPath);
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(20'000));
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_TRUE(counted()) << "at the end";
}

} // namespace
