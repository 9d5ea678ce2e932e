// Several UPSes on one pty, as on an RS-485 bus: the link's LineBus on a real QSerialPort, and
// zavctl's poll and scan against the real virtual UPS answering at two addresses.

#include "SimulatorThread.h"
#include "link/LineBus.h"
#include "link/QtSerialChannel.h"
#include "session/UpsSession.h"

#include <QProcess>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace zav;
using namespace zav::sim;

namespace {

const QString kZavctl = QStringLiteral(ZAV_BINARY_DIR "/zavctl");
constexpr int kWaitMs = 60'000;

SimConfig unit(int address, int model) {
    SimConfig c;
    c.address = address;
    c.upsModel = model;
    c.baud = 9600;
    return c;
}

class BusSim : public ::testing::Test {
  protected:
    SimulatorThread line{QVector<SimConfig>{unit(1, 7), unit(2, 5)}};
    void SetUp() override {
        QString error;
        ASSERT_TRUE(line.start(&error)) << error.toStdString();
    }
};

TEST_F(BusSim, EveryAddressOnThePtyIsItsOwnUps) {
    QtSerialChannel port;
    LineBus bus(port);
    std::vector<std::unique_ptr<UpsSession>> sessions;
    std::vector<int> cycles(3, 0);
    for (int address = 1; address <= 3; ++address) {
        sessions.push_back(std::make_unique<UpsSession>(bus.addChannel()));
        UpsSession& s = *sessions.back();
        bus.join(s);
        s.setTiming({LinkTiming::Fast, 0});
        QObject::connect(&s, &UpsSession::liveCycleEnded, [&cycles, &s, address] {
            if (s.linkOk()) ++cycles[size_t(address - 1)];
        });
        const ConnectRequest r{0, 3, line.devicePath(), Protocol::Ascii, QString::number(address)};
        ASSERT_EQ(s.connectLink(r), ConnectResult::Connected);
    }
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { bus.tick(); });
    tick.start(kTickMs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return cycles[0] >= 3 && cycles[1] >= 3; }, kWaitMs));
    // Each address found its own model, from its own answers.
    EXPECT_EQ(sessions[0]->upsModel(), 7);
    EXPECT_EQ(sessions[1]->upsModel(), 5);
    EXPECT_FALSE(sessions[2]->linkOk());
    EXPECT_EQ(cycles[2], 0);

    ScenarioEvent e;
    QString error;
    ASSERT_TRUE(parseEvent("0s utility-fail", &e, &error));
    line.withUnit(1, [&](VirtualUps& u) { u.apply(e); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return sessions[1]->live().LiveStatus[88] == 1; }, kWaitMs));
    const int before = cycles[0];
    EXPECT_TRUE(QTest::qWaitFor([&] { return cycles[0] >= before + 2; }, kWaitMs));
    EXPECT_EQ(sessions[0]->live().LiveStatus[88], 0) << "the mains of address 1 are still there";
    for (auto& s : sessions) s->disconnectLink();
}

struct CtlRun {
    int status = -1;
    QByteArrayList lines;
    QByteArray err;
};

CtlRun zavctl(const QStringList& args) {
    QProcess p;
    p.start(kZavctl, args);
    CtlRun r;
    if (!p.waitForFinished(kWaitMs * 2)) return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.lines = p.readAllStandardOutput().trimmed().split('\n');
    r.err = p.readAllStandardError();
    return r;
}

TEST_F(BusSim, ZavctlPollsSeveralAddressesAndScansThem) {
    const CtlRun poll = zavctl({"poll", "--port", line.devicePath(), "--baud", "9600", "--addr", "1,2", "--cycles", "2"});
    ASSERT_EQ(poll.status, 0) << poll.err.constData();
    int perAddress[3] = {0, 0, 0};
    for (const QByteArray& l : poll.lines) {
        for (int a = 1; a <= 2; ++a)
            if (l.contains("\"address\":" + QByteArray::number(a) + ",")) ++perAddress[a];
        EXPECT_TRUE(l.contains("\"LinkOk\":true")) << l.constData();
    }
    EXPECT_EQ(perAddress[1], 2);
    EXPECT_EQ(perAddress[2], 2);

    // An address nobody answers at is named, and the run ends on its own.
    const CtlRun silent = zavctl({"poll", "--port", line.devicePath(), "--baud", "9600", "--addr", "2,9"});
    EXPECT_EQ(silent.status, 3) << silent.err.constData();
    EXPECT_TRUE(silent.err.contains("address 9: no reply accepted")) << silent.err.constData();
    EXPECT_EQ(silent.lines.size(), 1);

    const CtlRun scan = zavctl({"scan", "--port", line.devicePath(), "--rates", "9600,19200", "--addr", "1-4"});
    ASSERT_EQ(scan.status, 0) << scan.err.constData();
    EXPECT_EQ(scan.lines, (QByteArrayList{"{\"address\":1,\"baud\":9600,\"modelCode\":7,\"model\":7}",
                                          "{\"address\":2,\"baud\":9600,\"modelCode\":6,\"model\":5}"}));
    const CtlRun none = zavctl({"scan", "--port", line.devicePath(), "--rates", "19200", "--addr", "1-2"});
    EXPECT_EQ(none.status, 3) << none.err.constData();
}

} // namespace
