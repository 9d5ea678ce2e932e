// The QSerialPort channels on a real pseudo-terminal: notifications, rates, purge, and a device that
// goes away under an open port, for the Modbus link (QtSerialChannel) and the programming channel
// (ProgramChannel) alike.

#include "flash/ProgramChannel.h"
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
    // The far end hangs up: only the channel holds the device now, and it is gone.
    void hangUp() {
        if (slave >= 0) ::close(slave);
        slave = -1;
        closeMaster();
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

// What the channel is doing when its device goes away: waiting for data (Qt's read notification
// finds it), or in the middle of one of its own calls on the dead device.
enum class Doing { Waiting, Purging, Writing, ChangingRate, Closing };

struct DoingCase {
    const char* name;
    Doing doing;
};
const DoingCase kLinkDoings[] = {{"waiting", Doing::Waiting},   {"purging", Doing::Purging},
                                 {"writing", Doing::Writing},   {"changing the rate", Doing::ChangingRate},
                                 {"closing", Doing::Closing}};
// The programming channel has no purge; its writes are queued and leave from the event loop.
const DoingCase kProgramDoings[] = {{"waiting", Doing::Waiting},
                                    {"writing", Doing::Writing},
                                    {"changing the rate", Doing::ChangingRate},
                                    {"closing", Doing::Closing}};

TEST(SerialChannelPty, LinkPortWhoseDeviceVanishesIsClosedOnceWhateverItWasDoing) {
    for (const auto& c : kLinkDoings) {
        SCOPED_TRACE(c.name);
        Pty pty;
        QtSerialChannel channel;
        channel.setPortName(pty.path);
        ASSERT_TRUE(channel.open());
        QSerialPort* port = channel.findChild<QSerialPort*>();
        ASSERT_NE(port, nullptr);
        int closes = 0, lost = 0, lostInsideACall = 0;
        bool inCall = false;
        QObject::connect(port, &QIODevice::aboutToClose, [&] { ++closes; });
        QObject::connect(&channel, &QtSerialChannel::deviceLost, [&] {
            ++lost;
            if (inCall) ++lostInsideACall;
        });
        pty.hangUp();
        inCall = true;
        switch (c.doing) {
        case Doing::Waiting: break;
        case Doing::Purging: channel.purge(); break;
        case Doing::Writing: EXPECT_FALSE(channel.write("x")); break;
        case Doing::ChangingRate: channel.setBaudRate(19200); break;
        case Doing::Closing: channel.close(); break;
        }
        inCall = false;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !channel.isOpen(); }, 5000));
        for (int i = 0; i < 200; ++i) QCoreApplication::processEvents();
        EXPECT_EQ(closes, 1);
        // A loss the channel found is reported once, after the call; closing it on purpose is no loss.
        EXPECT_EQ(lost, c.doing == Doing::Closing ? 0 : 1);
        EXPECT_EQ(lostInsideACall, 0);
        EXPECT_TRUE(channel.readAvailable(10).isEmpty());
    }
}

TEST(ProgramChannelPty, PortWhoseDeviceVanishesIsClosedOnceWhateverItWasDoing) {
    for (const auto& c : kProgramDoings) {
        SCOPED_TRACE(c.name);
        Pty pty;
        ProgramChannel comm1;
        comm1.setCommName(pty.path);
        comm1.setBaudRate(38400);
        ASSERT_NO_THROW(comm1.open());
        QSerialPort* port = comm1.findChild<QSerialPort*>();
        ASSERT_NE(port, nullptr);
        int closes = 0, hangups = 0, hangupsInsideACall = 0;
        bool inCall = false;
        QString reason;
        QObject::connect(port, &QIODevice::aboutToClose, [&] { ++closes; });
        QObject::connect(&comm1, &ProgramChannel::requestHangup, [&](const QString& why) {
            ++hangups;
            reason = why;
            if (inCall) ++hangupsInsideACall;
        });
        pty.hangUp();
        inCall = true;
        switch (c.doing) {
        case Doing::Waiting:
        case Doing::Purging: break;
        case Doing::Writing: comm1.queueData(QByteArray(300, 'A')); break;
        case Doing::ChangingRate: comm1.setBaudRate(115200); break;
        case Doing::Closing: comm1.close(); break;
        }
        inCall = false;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !comm1.isOpen(); }, 5000));
        for (int i = 0; i < 200; ++i) QCoreApplication::processEvents();
        EXPECT_EQ(closes, 1);
        EXPECT_EQ(hangups, c.doing == Doing::Closing ? 0 : 1);
        EXPECT_EQ(hangupsInsideACall, 0);
        if (hangups) EXPECT_TRUE(reason.startsWith("the device")) << reason.toStdString();
        EXPECT_FALSE(comm1.queueData("A"));
    }
}

TEST(ProgramChannelPty, BytesBeforeAHangUpAreHandedOnBeforeTheLoss) {
    Pty pty;
    ProgramChannel comm1;
    comm1.setCommName(pty.path);
    ASSERT_NO_THROW(comm1.open());
    bool arrived = false;
    QObject::connect(comm1.findChild<QSerialPort*>(), &QIODevice::readyRead, [&] { arrived = true; });
    QStringList events;
    QObject::connect(&comm1, &ProgramChannel::receiveData, [&](const QByteArray& b) { events << "data " + b; });
    QObject::connect(&comm1, &ProgramChannel::requestHangup, [&](const QString&) { events << "hang-up"; });
    pty.send("Incorrect keys");
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived; }, 5000));
    pty.hangUp(); // most likely before the chunk's 100 ms gap has passed

    ASSERT_TRUE(QTest::qWaitFor([&] { return events.contains("hang-up"); }, 5000));
    EXPECT_EQ(events, (QStringList{"data Incorrect keys", "hang-up"}));
}

} // namespace
