// The NUT server's defences on real loopback sockets, and the log's: one address cannot take every
// slot, refused authentications slow that address down, and a client's text reaches the log neither
// with control characters nor without bound.

#include "zavd/NutServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace zav;

namespace {

class SilentDevice : public NutDevice {
  public:
    bool online() const override { return true; }
    QVector<NutVar> variables() const override { return {}; }
    QVector<Command> commands() const override { return {}; }
    QString runCommand(const QString&, const QString&) override { return {}; }
    QString setVariable(const QString&, const QString&) override { return {}; }
    bool settingPending() const override { return false; }
};

struct ServerFixture {
    int argc = 1;
    char arg0[8] = "test";
    char* argv[1] = {arg0};
    QCoreApplication app{argc, argv};
    SilentDevice device;
    NutUps ups{device, "zav", "ZAV UPS", {{"mon", "pw", false, false, {}, "primary"}}};
    NutServer server{ups, 4};
    bool listening = server.listen(QHostAddress::LocalHost, 0);

    std::unique_ptr<QTcpSocket> client() {
        auto s = std::make_unique<QTcpSocket>();
        s->connectToHost(QHostAddress::LocalHost, server.port());
        s->waitForConnected(5000);
        return s;
    }
    // Reads one reply line, or nothing when the connection closes first.
    QByteArray line(QTcpSocket& s) {
        QTest::qWaitFor([&] { return s.canReadLine() || s.state() != QAbstractSocket::ConnectedState; }, 20'000);
        return s.canReadLine() ? s.readLine().trimmed() : QByteArray();
    }
};

} // namespace

TEST(NutServer, OneAddressTakesAtMostHalfTheSlots) {
    ServerFixture f;
    ASSERT_TRUE(f.listening);
    auto a = f.client(), b = f.client(), c = f.client();
    a->write("NETVER\n");
    b->write("NETVER\n");
    c->write("NETVER\n");
    EXPECT_EQ(f.line(*a), "1.3");
    EXPECT_EQ(f.line(*b), "1.3");
    EXPECT_EQ(f.line(*c), "") << "a third client from the same address was served";
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.server.clients() == 2; }, 5000));
    // A slot that is given back can be taken again.
    a->disconnectFromHost();
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.server.clients() == 1; }, 5000));
    auto d = f.client();
    d->write("NETVER\n");
    EXPECT_EQ(f.line(*d), "1.3");
}

TEST(NutServer, RefusedLoginsSlowTheAddressDown) {
    ServerFixture f;
    ASSERT_TRUE(f.listening);
    auto s = f.client();
    QElapsedTimer t;
    t.start();
    // Four guesses in one write: each refusal holds the next request back a little longer.
    s->write("USERNAME mon\nPASSWORD wrong\nLOGIN zav\nPRIMARY zav\nFSD zav\nLOGIN zav\nNETVER\n");
    QByteArrayList replies;
    for (int i = 0; i < 7; ++i) replies << f.line(*s);
    EXPECT_EQ(replies, (QByteArrayList{"OK", "OK", "ERR ACCESS-DENIED", "ERR ACCESS-DENIED", "ERR ACCESS-DENIED",
                                       "ERR ACCESS-DENIED", "1.3"}));
    // The holds are 250, 500, 750 and 1000 ms: the replies cannot have come sooner than their sum.
    EXPECT_GE(t.elapsed(), 2500);
    // Another client from the same address is held back as well.
    auto other = f.client();
    t.restart();
    other->write("NETVER\n");
    EXPECT_EQ(f.line(*other), "1.3");
}

TEST(NutLog, ControlCharactersAreShownNotWritten) {
    EXPECT_EQ(printable(QString::fromLatin1("a\nb\rc\0d\x1b[31m", 12)), "a\\x0ab\\x0dc\\x00d\\x1b[31m");
    SilentDevice device;
    NutUps ups(device, "zav", "", {});
    QStringList logged;
    ups.log = [&](const QString& l) { logged << l; };
    NutSession s(ups, "1.2.3.4:5");
    s.handle(QByteArray("USERNAME evil\rzavd[1]:\x1b[2Kforged\0line", 37));
    s.handle("PASSWORD x");
    s.handle("LOGIN zav");
    ASSERT_EQ(logged.size(), 1);
    for (const QChar c : logged[0]) EXPECT_GE(c.unicode(), 0x20) << logged[0].toStdString();
    EXPECT_TRUE(logged[0].contains("evil\\x0dzavd[1]:\\x1b[2Kforged\\x00line")) << logged[0].toStdString();
}

TEST(NutLog, RepeatedLinesAreCountedNotWritten) {
    LogThrottle throttle(3, 1000);
    QStringList out;
    for (int i = 0; i < 10; ++i)
        if (QString l = throttle.pass(QStringLiteral("refused %1").arg(i), 100 + i); !l.isEmpty()) out << l;
    EXPECT_EQ(out, (QStringList{"refused 0", "refused 1", "refused 2"}));
    EXPECT_EQ(throttle.dropped(), 7);
    EXPECT_EQ(throttle.pass("next", 1200), "next (7 lines dropped before this one)");
    EXPECT_EQ(throttle.pass("again", 1201), "again");
}
