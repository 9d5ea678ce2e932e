// The virtual UPS's pty paced at the line's baud rate: a request is answered no sooner than its
// bytes and the reply's take on the wire, and the counts match the bytes that crossed.

#include "PtyLine.h"
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
    // Reads until `length` bytes came or a generous bound passed.
    QByteArray readUntil(qsizetype length) {
        QByteArray got;
        QDeadlineTimer bound(10'000);
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

} // namespace
