// A client connection on its plain descriptor, over real loopback TCP: what the kernel does not
// take at once waits and still arrives whole, also across a graceful close, and a peer that goes
// is noticed.

#include "zavd/NutConnection.h"
#include "zavd/NutServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace zav;

namespace {

struct Loopback {
    int argc = 1;
    char arg0[8] = "test";
    char* argv[1] = {arg0};
    QCoreApplication app{argc, argv};
    DescriptorServer server;
    std::unique_ptr<NutConnection> serverSide;
    int client = -1;

    // Connects a plain client (with a small receive buffer when asked) and takes the server side.
    bool open(int receiveBuffer = 0) {
        if (!server.listen(QHostAddress::LocalHost, 0)) return false;
        QObject::connect(&server, &DescriptorServer::descriptorAccepted, &server,
                         [this, receiveBuffer](qintptr d) {
                             // The server side sends in small pieces too, whatever the kernel's defaults.
                             if (receiveBuffer > 0)
                                 ::setsockopt(int(d), SOL_SOCKET, SO_SNDBUF, &receiveBuffer, sizeof receiveBuffer);
                             serverSide = std::make_unique<NutConnection>(d);
                         });
        client = ::socket(AF_INET, SOCK_STREAM, 0);
        if (receiveBuffer > 0) ::setsockopt(client, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(server.serverPort());
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(client, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return false;
        return QTest::qWaitFor([&] { return serverSide != nullptr; }, 5000);
    }
    ~Loopback() {
        if (client >= 0) ::close(client);
    }
    // Reads on the client side until the server closes (events keep flowing meanwhile).
    QByteArray readToEnd() {
        QByteArray got;
        QDeadlineTimer deadline(30'000);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents();
            char piece[4096];
            const ssize_t n = ::recv(client, piece, sizeof piece, MSG_DONTWAIT);
            if (n == 0) return got;
            if (n > 0) got.append(piece, n);
            else QTest::qWait(1);
        }
        return got + "<no end>";
    }
};

} // namespace

TEST(NutConnection, WhatTheKernelCannotTakeWaitsAndArrivesWholeAcrossAGracefulClose) {
    Loopback l;
    ASSERT_TRUE(l.open(4096));
    EXPECT_EQ(l.serverSide->peerAddress(), QHostAddress(QHostAddress::LocalHost));
    EXPECT_NE(l.serverSide->peerPort(), 0);
    QByteArray reply;
    for (int i = 0; reply.size() < 2 * 1024 * 1024; ++i) reply += "VAR zav line " + QByteArray::number(i) + '\n';
    l.serverSide->write(reply.left(1000));
    l.serverSide->write(reply.mid(1000));
    ASSERT_GT(l.serverSide->pending(), 0) << "the kernel took 2 MiB at once: the test proves nothing";
    NutConnection* server = l.serverSide.release(); // deletes itself once closed
    server->closeAfterWriting(20'000);
    const QByteArray got = l.readToEnd();
    EXPECT_EQ(got.size(), reply.size());
    EXPECT_TRUE(got == reply) << "the bytes arrived changed or out of order";
}

TEST(NutConnection, APeerThatGoesEndsTheConnection) {
    Loopback l;
    ASSERT_TRUE(l.open());
    bool broken = false;
    QObject::connect(l.serverSide.get(), &NutConnection::broken, [&] { broken = true; });
    ASSERT_EQ(::send(l.client, "LOGOUT\n", 7, 0), 7);
    ::close(l.client);
    l.client = -1;
    QByteArray in;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        in += l.serverSide->read(64);
        return l.serverSide->atEnd();
    }, 5000));
    EXPECT_EQ(in, "LOGOUT\n"); // what came before the end is read first
    EXPECT_TRUE(QTest::qWaitFor([&] { return broken; }, 5000));
    l.serverSide->write("late\n"); // nothing to write to: no effect, no crash
    EXPECT_EQ(l.serverSide->pending(), 0);
}
