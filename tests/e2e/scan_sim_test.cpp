// The window's bus scan without the window (ScanController) against the real virtual UPS answering
// at several addresses of one pty, on a real QSerialPort: what it lists and what a row gives the
// connection bar, the late-reply rule, cancelling, a port that cannot be opened or goes away, and
// the window's disconnected link sharing the channel.

#include "SimulatorThread.h"
#include "foundation/AppTexts.h"
#include "foundation/Branding.h"
#include "link/QtSerialChannel.h"
#include "link/ScanController.h"
#include "session/UpsSession.h"

#include <QProcess>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace zav;
using namespace zav::sim;

namespace {

constexpr int kWaitMs = 90'000;

SimConfig unit(int address, int model, Protocol protocol = Protocol::Ascii) {
    SimConfig c;
    c.address = address;
    c.upsModel = model;
    c.baud = 9600;
    c.protocol = protocol;
    return c;
}

ScanRequest request(const QString& port, int first, int last, Protocol protocol = Protocol::Ascii) {
    ScanRequest r;
    r.portName = port;
    r.protocol = protocol;
    r.baud = 9600;
    r.firstAddress = first;
    r.lastAddress = last;
    return r;
}

QString cell(const ScanController& c, int row, int column) {
    return c.data(c.index(row, column)).toString();
}

bool waitEnd(const ScanController& c) {
    return QTest::qWaitFor([&] { return !c.running(); }, kWaitMs);
}

TEST(ScanSim, ListsWhatAnsweredAndARowFillsTheBar) {
    // An RTU bus scanned with both protocols: the ASCII pass finds nothing, the RTU pass both units.
    SimulatorThread line{QVector<SimConfig>{unit(1, 7, Protocol::Rtu), unit(3, 5, Protocol::Rtu)}};
    QString error;
    ASSERT_TRUE(line.start(&error)) << error.toStdString();
    QtSerialChannel channel;
    ScanController scan(channel, LangEN);
    ScanRequest r = request(line.devicePath(), 1, 3);
    r.bothProtocols = true;
    int progressSeen = 0;
    QObject::connect(&scan, &ScanController::changed, [&] {
        if (scan.running() && scan.done() > 0) ++progressSeen;
    });
    ASSERT_TRUE(scan.start(r)) << scan.statusText().toStdString();
    EXPECT_TRUE(scan.statusText().startsWith("Scanning: 0 of 6 asked, at most ")) << scan.statusText().toStdString();
    ASSERT_TRUE(waitEnd(scan));
    EXPECT_GT(progressSeen, 0);
    EXPECT_EQ(scan.state(), ScanController::State::Finished);
    EXPECT_EQ(scan.statusText(), "Scan finished: 2 UPS(es) answered.");
    EXPECT_FALSE(channel.isOpen()) << "the port is released when the scan ends";

    const QStringList models = brandingModelItems();
    ASSERT_EQ(scan.rowCount(), 2);
    const struct {
        QString address, baud, model;
        int modelCode;
    } rows[] = {{"1", "9600", models[detectModel(7).comboItem], 7}, {"3", "9600", models[detectModel(6).comboItem], 6}};
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(cell(scan, row, ScanController::ColAddress), rows[row].address);
        EXPECT_EQ(cell(scan, row, ScanController::ColProtocol), "MODBUS_RTU");
        EXPECT_EQ(cell(scan, row, ScanController::ColBaud), rows[row].baud);
        EXPECT_EQ(cell(scan, row, ScanController::ColModel), rows[row].model);
        const ScanPick p = scan.pick(row);
        EXPECT_EQ(p.address, rows[row].address.toInt());
        EXPECT_EQ(p.protocol, Protocol::Rtu);
        EXPECT_EQ(p.baudItem, 3); // 9600 in the baud box
        EXPECT_EQ(p.modelItem, detectModel(rows[row].modelCode).comboItem);
    }
    EXPECT_EQ(scan.headerData(ScanController::ColModel, Qt::Horizontal).toString(), "UPS Type");
    scan.setLanguage(LangCN);
    EXPECT_EQ(scan.headerData(ScanController::ColAddress, Qt::Horizontal).toString(), QString::fromUtf8("地址"));
    EXPECT_EQ(scan.statusText(), QString::fromUtf8("扫描完成：2 台UPS应答。"));
}

TEST(ScanSim, RefusesWhatItCannotScan) {
    QtSerialChannel channel;
    ScanController scan(channel, LangEN);
    const struct {
        const char* name;
        bool connected;
        ScanRequest request;
        const char* refusal;
    } cases[] = {
        {"link connected", true, request("/dev/ttyS0", 1, 254), "Disconnect first: a scan needs the port to itself."},
        {"no port", false, request("  ", 1, 254), "Choose a serial port first."},
        {"range upside down", false, request("/dev/ttyS0", 9, 3), "The first address must not be above the last."},
        {"range outside 1-254", false, request("/dev/ttyS0", 255, 300), "The first address must not be above the last."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scan.setLinkConnected(c.connected);
        EXPECT_EQ(scan.refusal(c.request), c.refusal);
        EXPECT_FALSE(scan.start(c.request));
        EXPECT_FALSE(channel.isOpen());
    }
    scan.setLinkConnected(false);
    EXPECT_TRUE(scan.refusal(request("/dev/ttyS0", 5, 5)).isEmpty());
}

TEST(ScanSim, APortThatCannotBeOpenedOrGoesAwayIsSaid) {
    QtSerialChannel channel;
    ScanController scan(channel, LangEN);
    EXPECT_FALSE(scan.start(request("/dev/zav-no-such-port", 1, 2)));
    EXPECT_EQ(scan.state(), ScanController::State::OpenFailed);
    EXPECT_EQ(scan.statusText(), "The serial port cannot be opened: /dev/zav-no-such-port: no such serial port");

    // A port that vanishes under the scan (adapter pulled): the scan ends and says so.
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);
    ASSERT_TRUE(scan.start(request(QString::fromLocal8Bit(name), 1, 254)));
    ::close(slave);
    ::close(master);
    ASSERT_TRUE(waitEnd(scan));
    EXPECT_EQ(scan.state(), ScanController::State::PortLost);
    EXPECT_EQ(scan.statusText(), "The serial port was lost during the scan; 0 UPS(es) answered before.");
    EXPECT_FALSE(channel.isOpen());
}

TEST(ScanSim, CancelEndsAtOnceAndReleasesThePort) {
    SimulatorThread line{QVector<SimConfig>{unit(1, 7), unit(2, 5)}};
    QString error;
    ASSERT_TRUE(line.start(&error)) << error.toStdString();
    QtSerialChannel channel;
    // The channel's own listeners (the window's link) are lent to the scan and given back.
    int heardChars = 0, heardLineEnds = 0;
    channel.onRxChar = [&](int) { ++heardChars; };
    channel.onRxFlag = [&] { ++heardLineEnds; };
    ScanController scan(channel, LangEN);
    ASSERT_TRUE(scan.start(request(line.devicePath(), 1, 254)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return scan.rowCount() == 2; }, kWaitMs));
    scan.cancel();
    EXPECT_FALSE(scan.running());
    EXPECT_FALSE(channel.isOpen());
    EXPECT_EQ(heardChars + heardLineEnds, 0) << "the scan's replies went to the link";
    ASSERT_TRUE(channel.onRxChar && channel.onRxFlag);
    channel.onRxChar(1);
    channel.onRxFlag();
    EXPECT_EQ(heardChars, 1);
    EXPECT_EQ(heardLineEnds, 1);
    EXPECT_EQ(scan.state(), ScanController::State::Cancelled);
    EXPECT_EQ(scan.statusText(), "Scan cancelled: 2 UPS(es) answered.");
    EXPECT_EQ(scan.rowCount(), 2) << "what was found stays listed";
    // The port is free for the next scan (or a connection) at once.
    ASSERT_TRUE(scan.start(request(line.devicePath(), 2, 2)));
    ASSERT_TRUE(waitEnd(scan));
    ASSERT_EQ(scan.rowCount(), 1);
    EXPECT_EQ(scan.pick(0).address, 2);
}

// The window's link shares its channel with the scan. A link disconnected right after a request
// that went unanswered is still ticked by the window; it must leave the line to the scan.
TEST(ScanSim, ADisconnectedLinkLeavesTheScanItsReplies) {
    SimulatorThread line{QVector<SimConfig>{unit(1, 7), unit(2, 5)}};
    QString error;
    ASSERT_TRUE(line.start(&error)) << error.toStdString();
    QtSerialChannel channel;
    UpsSession link(channel);
    link.setTiming({LinkTiming::Fast, 0});
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &link, &UpsSession::tick);
    tick.start(kTickMs);
    ASSERT_EQ(link.connectLink({0, 3, line.devicePath(), Protocol::Ascii, "9"}), ConnectResult::Connected);
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.missedReplies() > 0; }, kWaitMs));
    link.disconnectLink();

    ScanController scan(channel, LangEN);
    const qint64 sentBefore = line.counts().bytesIn;
    // Long enough for the link's own quiet wait to end while the scan still runs.
    ASSERT_TRUE(scan.start(request(line.devicePath(), 1, 4)));
    ASSERT_TRUE(waitEnd(scan));
    EXPECT_EQ(scan.rowCount(), 2);
    const qint64 scanRequests = 4 * blockReadRequest(Protocol::Ascii, 1, fn::ReadHolding, AddressScan::kModelRegister, 1).size();
    EXPECT_EQ(line.counts().bytesIn - sentBefore, scanRequests) << "only the scan spoke on the line";
    // And the link hears its UPS again after the scan.
    ASSERT_EQ(link.connectLink({0, 3, line.devicePath(), Protocol::Ascii, "2"}), ConnectResult::Connected);
    EXPECT_TRUE(QTest::qWaitFor([&] { return link.linkOk(); }, kWaitMs));
    link.disconnectLink();
}

// A UPS that answers after the reply wait: no other address is asked before its answer has come and
// the line has been quiet again (so the late answer never meets the next request), and the late UPS
// is listed, marked as answering too late. One that answers well within the link's reply wait is
// found as answering in time.
TEST(ScanSim, LateAnswersKeepTheQuietWaitAndAreListedAsLate) {
    const int requestBytes = int(blockReadRequest(Protocol::Ascii, 1, fn::ReadHolding, AddressScan::kModelRegister, 1).size());
    const struct {
        int delayMs;
        bool late;
    } cases[] = {{400, false}, {1500, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delayMs);
        SimulatorThread line{QVector<SimConfig>{unit(1, 7), unit(2, 5)}};
        QString error;
        ASSERT_TRUE(line.start(&error)) << error.toStdString();
        line.withUnit(0, [&](VirtualUps& u) { u.faults().setDelay(c.delayMs); });
        QtSerialChannel channel;
        ScanController scan(channel, LangEN);
        ASSERT_TRUE(scan.start(request(line.devicePath(), 1, 2)));
        // When the first answer leaves the UPS, the scan has asked nothing else.
        ASSERT_TRUE(QTest::qWaitFor([&] { return line.counts().bytesOut > 0; }, kWaitMs));
        EXPECT_EQ(line.counts().bytesIn, requestBytes);
        ASSERT_TRUE(waitEnd(scan));
        ASSERT_EQ(scan.rowCount(), 2);
        EXPECT_EQ(scan.finds()[0].address, 1);
        EXPECT_EQ(scan.finds()[0].late, c.late);
        EXPECT_EQ(cell(scan, 0, ScanController::ColModel).endsWith(" (answers too late)"), c.late);
        EXPECT_EQ(scan.finds()[1].address, 2);
        EXPECT_FALSE(scan.finds()[1].late);
    }
}

} // namespace

// `zavctl scan` prints a UPS that answers only after the reply wait, marked late, and still hears
// the address after it.
TEST(ScanSim, ZavctlPrintsALateUpsAsLate) {
    SimulatorThread line{QVector<SimConfig>{unit(1, 7), unit(2, 5)}};
    QString error;
    ASSERT_TRUE(line.start(&error)) << error.toStdString();
    line.withUnit(0, [&](VirtualUps& u) { u.faults().setDelay(1500); });
    QProcess p;
    p.start(QStringLiteral(ZAV_BINARY_DIR "/zavctl"),
            {"scan", "--port", line.devicePath(), "--rates", "9600", "--addr", "1-2"});
    ASSERT_TRUE(p.waitForFinished(kWaitMs));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    EXPECT_EQ(p.readAllStandardOutput().trimmed().split('\n'),
              (QByteArrayList{"{\"address\":1,\"baud\":9600,\"modelCode\":7,\"model\":7,\"late\":true}",
                              "{\"address\":2,\"baud\":9600,\"modelCode\":6,\"model\":5}"}));
}
