// The QSerialPort channel on a real pseudo-terminal: notifications, rates, purge and a device that
// goes away under an open port.

#include "link/LinkTypes.h"
#include "link/QtSerialChannel.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace zav;

namespace {

class Pty {
  public:
    Pty() {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            path = QString::fromLocal8Bit(name);
            termios t{};
            tcgetattr(slave, &t);
            cfmakeraw(&t);
            tcsetattr(slave, TCSANOW, &t);
        }
    }
    ~Pty() {
        closeMaster();
        if (slave >= 0) ::close(slave);
    }
    void send(const QByteArray& bytes) const {
        ASSERT_EQ(::write(master, bytes.constData(), size_t(bytes.size())), bytes.size());
    }
    QByteArray receive() const {
        char buf[512];
        const ssize_t n = ::read(master, buf, sizeof buf);
        return n > 0 ? QByteArray(buf, int(n)) : QByteArray();
    }
    void closeMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    int master = -1;
    int slave = -1;
    QString path;
};

TEST(SerialChannelPty, NotifiesCharactersThenTheLineEnd) {
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    QtSerialChannel channel;
    QList<int> waiting;
    int flags = 0;
    QList<int> order; // 1 = char, 2 = flag
    channel.onRxChar = [&](int n) {
        waiting << n;
        order << 1;
    };
    channel.onRxFlag = [&] {
        ++flags;
        order << 2;
    };
    channel.setPortName(pty.path);
    channel.setBaudRate(9600);
    ASSERT_TRUE(channel.open()) << qPrintable(channel.errorText());

    pty.send(":0103");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !waiting.isEmpty(); }, 5000));
    EXPECT_EQ(flags, 0);
    pty.send("02\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return flags == 1; }, 5000));
    EXPECT_EQ(waiting.last(), 9);
    EXPECT_EQ(order.last(), 2);
    EXPECT_EQ(order[order.size() - 2], 1);

    // Reads return at most what was asked for, at once.
    EXPECT_EQ(channel.readAvailable(4), QByteArray(":010"));
    channel.purge();
    EXPECT_TRUE(channel.readAvailable(100).isEmpty());

    ASSERT_TRUE(channel.write("hello"));
    EXPECT_EQ(pty.receive(), QByteArray("hello"));
}

TEST(SerialChannelPty, AcceptsEverySupportedRateOnAnOpenPort) {
    Pty pty;
    QtSerialChannel channel;
    channel.setPortName(pty.path);
    ASSERT_TRUE(channel.open());
    for (int baud : kBaudItems) {
        channel.setBaudRate(baud);
        EXPECT_EQ(channel.baudRate(), baud);
        EXPECT_TRUE(channel.isOpen()) << baud;
    }
}

TEST(SerialChannelPty, OpenFailuresSayWhy) {
    QtSerialChannel channel;
    channel.setPortName("/dev/does-not-exist-zav");
    EXPECT_FALSE(channel.open());
    EXPECT_TRUE(channel.errorText().contains("does-not-exist")) << qPrintable(channel.errorText());
    channel.setPortName("");
    EXPECT_FALSE(channel.open());
    EXPECT_FALSE(channel.errorText().isEmpty());
}

TEST(SerialChannelPty, DeviceThatGoesAwayClosesThePortOnce) {
    Pty pty;
    QtSerialChannel channel;
    channel.setPortName(pty.path);
    ASSERT_TRUE(channel.open());
    int lost = 0;
    QString reason;
    QObject::connect(&channel, &QtSerialChannel::deviceLost, [&](const QString& why) {
        ++lost;
        reason = why;
    });
    ::close(pty.slave); // only the channel holds the slave now
    pty.slave = -1;
    pty.closeMaster(); // the far end hangs up
    ASSERT_TRUE(QTest::qWaitFor([&] { return !channel.isOpen(); }, 5000));
    for (int i = 0; i < 2000; ++i)
        QCoreApplication::processEvents(); // no storm of errors, no crash
    EXPECT_EQ(lost, 1);
    // What happened, in words a user understands, not the errno a later call left behind.
    EXPECT_TRUE(reason.startsWith("the device")) << reason.toStdString();
    EXPECT_FALSE(reason.contains("ioctl")) << reason.toStdString();
    EXPECT_FALSE(channel.write("x"));
    EXPECT_TRUE(channel.readAvailable(10).isEmpty());
}

} // namespace
