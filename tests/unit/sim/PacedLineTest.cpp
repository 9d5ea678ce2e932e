// The virtual UPS's pty paced at the line's baud rate: a request is answered no sooner than its
// bytes and the reply's take on the wire, and the counts match the bytes that crossed.

#include "PacedLine.h"
#include "PtyLine.h"
#include "PtyPair.h"
#include "SimulatorThread.h"
#include "link/ModbusCodec.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <fcntl.h>
#include <poll.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zav;
using namespace zav::sim;

namespace {

// The tool's end of the pty, raw at `baud`.
class ToolEnd {
  public:
    ToolEnd(const QString& path, int baud)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        if (fd_ >= 0) configurePtyLine(fd_, baud);
    }
    ~ToolEnd() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    bool write(const QByteArray& bytes) { return ::write(fd_, bytes.constData(), size_t(bytes.size())) == bytes.size(); }
    // Reads until `length` bytes came or the bound passed.
    QByteArray readUntil(qsizetype length, int boundMs = 10'000) {
        QByteArray got;
        QDeadlineTimer bound(boundMs);
        while (got.size() < length && !bound.hasExpired()) {
            char buf[256];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n > 0) {
                got.append(buf, n);
            } else {
                pollfd readable{fd_, POLLIN, 0};
                ::poll(&readable, 1, int(std::max<qint64>(1, bound.remainingTime())));
            }
        }
        return got;
    }

  private:
    int fd_;
};

TEST(SimPacedLine, AnswersNoSoonerThanTheWireAllowsAndCountsTheBytes) {
    int argc = 1;
    char arg0[] = "test";
    char* argv[] = {arg0};
    QCoreApplication app(argc, argv); // the simulator's thread runs an event loop
    struct Case {
        bool paced;
        int baud;
        Protocol protocol;
    };
    const Case cases[] = {
        {true, 9600, Protocol::Ascii},
        {true, 2400, Protocol::Rtu},
        {false, 9600, Protocol::Ascii}, // unpaced replies come at once, still counted
    };
    constexpr int kRegisters = 35;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.paced ? "paced " : "unpaced ") << c.baud << " "
                                        << (c.protocol == Protocol::Rtu ? "RTU" : "ASCII"));
        SimConfig config;
        config.baud = c.baud;
        config.protocol = c.protocol;
        SimulatorThread sim(config);
        sim.setPaced(c.paced);
        ASSERT_TRUE(sim.start());
        ToolEnd tool(sim.devicePath(), c.baud);
        ASSERT_TRUE(tool.ok());

        const QByteArray request = blockReadRequest(c.protocol, 1, fn::ReadSettings, 301, kRegisters);
        const qsizetype replyLength = blockReplyLength(c.protocol, kRegisters);
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(tool.write(request));
        const QByteArray reply = tool.readUntil(replyLength);
        const double tookMs = double(clock.nsecsElapsed()) / 1e6;

        ASSERT_EQ(reply.size(), replyLength);
        EXPECT_EQ(examineBlockReply(c.protocol, reply, 1, fn::ReadSettings, kRegisters).outcome,
                  ReplyOutcome::Accepted);
        if (c.paced) {
            const double wireMs = wireMsFor(request.size() + reply.size(), c.baud);
            EXPECT_GE(tookMs, wireMs);
        }
        const LineCounts counts = sim.counts();
        EXPECT_EQ(counts.bytesIn, request.size());
        EXPECT_EQ(counts.bytesOut, reply.size());
        EXPECT_NEAR(counts.wireMs, (request.size() + reply.size()) * 10'000.0 / c.baud, 1e-6);
        sim.stop();
    }
}

// The line's clock is given explicitly: bytes take ten bits each at the rate, counted from the
// moment they reach an idle line (the tool's when they arrived, the UPS's when they became due),
// never from the pump's next step, and never sooner.
TEST(SimPacedLine, BytesCrossFromTheMomentTheyReachAnIdleLine) {
    constexpr int kBaud = 9600; // 1.04 ms a byte
    PtyPair pty;
    QString error;
    ASSERT_TRUE(pty.open(kBaud, &error)) << error.toStdString();
    ToolEnd tool(pty.devicePath(), kBaud);
    ASSERT_TRUE(tool.ok());
    PacedLine line(pty);

    // From the tool: 8 bytes written at t = 100 ms, noticed at once, read by a pump 5 ms late.
    ASSERT_TRUE(tool.write(QByteArray(8, 'x')));
    QDeadlineTimer bound(5'000);
    while (!bound.hasExpired()) { // the pty moves the bytes to the master side asynchronously
        pollfd readable{pty.master(), POLLIN, 0};
        if (::poll(&readable, 1, 10) > 0) break;
    }
    line.arrived(100.0);
    EXPECT_EQ(line.read(100.0 + wireMsFor(3, kBaud) + 0.01).size(), 3); // three bytes' time: three
    EXPECT_EQ(line.read(100.0 + wireMsFor(8, kBaud) + 5.0).size(), 5); // the rest by their time
    EXPECT_TRUE(line.inputIdle());

    // To the tool: a reply due at t = 200 ms, written by a pump 3 ms later: what the line carried
    // since 200 ms goes at once, the rest only as its time comes.
    line.send(QByteArray(10, 'y'), 200.0);
    line.write(199.0);
    EXPECT_TRUE(tool.readUntil(1, 50).isEmpty()); // not before it is due
    line.write(200.0 + 3.0);
    EXPECT_EQ(tool.readUntil(2, 2'000).size(), 2); // 3 ms at 9600: two whole bytes
    line.write(200.0 + wireMsFor(10, kBaud) + 0.01);
    EXPECT_EQ(tool.readUntil(8, 2'000).size(), 8);
    EXPECT_TRUE(line.idle());
    EXPECT_EQ(line.counts().bytesIn, 8);
    EXPECT_EQ(line.counts().bytesOut, 10);
}

} // namespace

