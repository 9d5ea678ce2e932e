#include "FakeSerialChannel.h"
#include "flash/LogoFile.h"
#include "flash/LogoUpload.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace zav {
namespace {

using test::FakeSerialChannel;

struct FakeLink : LinkHandover {
    bool open = true;
    bool commandAccepted = true;
    bool restoreWorks = true;
    int commands = 0, releases = 0, restores = 0;
    bool linkOpen() const override { return open; }
    bool startLogoCommand() override {
        ++commands;
        return commandAccepted;
    }
    void releaseLink() override {
        ++releases;
        open = false;
    }
    bool restoreLink() override {
        ++restores;
        open = restoreWorks;
        return restoreWorks;
    }
    QString portName() const override { return QStringLiteral("/dev/ttyUSB0"); }
    int baudRate() const override { return 19200; }
};

// The UPS side: answers each frame the upload writes, as the test's rule says.
using Responder = std::function<QByteArray(const QByteArray& frame)>;

QByteArray goodReply(const QByteArray& frame, uint8_t type = 1) {
    const uint32_t tag = uint32_t(uint8_t(frame[0])) << 24 | uint32_t(uint8_t(frame[1])) << 16 |
                         uint32_t(uint8_t(frame[2])) << 8 | uint8_t(frame[3]);
    return logoReply(tag, 1, tag == kLogoHandshakeTag ? type : 0);
}

class LogoUploadTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    FakeSerialChannel port2;
    FakeLink link;
    LogoUpload upload{port2, link};
    QList<LogoMessage> messages;
    QList<int> progress;
    int ended = 0;
    Responder respond = [](const QByteArray& f) { return goodReply(f); };

    void SetUp() override {
        QObject::connect(&upload, &LogoUpload::messageDue, [this](LogoMessage m) { messages << m; });
        QObject::connect(&upload, &LogoUpload::progressChanged, [this](int p) { progress << p; });
        QObject::connect(&upload, &LogoUpload::ended, [this] { ++ended; });
    }

    QString logoFile(int bytes) {
        QByteArray text = "const unsigned char logo[] = {";
        for (int i = 0; i < bytes; ++i) text += QByteArray("0x") + QByteArray::number(i % 256, 16).rightJustified(2, '0') + ", ";
        text += "};\n";
        const QString path = dir.filePath(QStringLiteral("logo%1.logo").arg(bytes));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return path;
    }

    // Ticks until the upload has ended (bounded), answering every frame written.
    void run(int maxTicks = 5000) {
        qsizetype answered = 0;
        for (int i = 0; i < maxTicks && upload.running(); ++i) {
            upload.tick();
            while (answered < port2.written.size()) port2.rx = respond(port2.written[answered++]);
        }
    }
    QList<QByteArray> blocks() const {
        QList<QByteArray> out;
        for (const QByteArray& f : port2.written)
            if (!f.startsWith("\xff\xff\xff")) out << f;
        return out;
    }
};

TEST_F(LogoUploadTest, ThreeBytesGoInOneBlockAtBasePlusZero) {
    ASSERT_TRUE(upload.start(logoFile(3)));
    EXPECT_EQ(link.commands, 1);
    run();
    EXPECT_EQ(messages, QList<LogoMessage>{LogoMessage::Success});
    ASSERT_EQ(blocks().size(), 1);
    EXPECT_EQ(blocks()[0].toHex(), logoBlockRequest(kLogoBaseType1, QByteArray::fromHex("0003f028000102e2")).toHex());
    EXPECT_EQ(port2.portName(), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(port2.baudRate(), 19200);
    EXPECT_FALSE(port2.isOpen());
    EXPECT_EQ(link.releases, 1);
    EXPECT_EQ(link.restores, 1);
    EXPECT_TRUE(link.open);
    EXPECT_EQ(ended, 1);
}

TEST_F(LogoUploadTest, ThousandBytesInFourBlocksWithProgress) {
    ASSERT_TRUE(upload.start(logoFile(1000)));
    run();
    QList<int> sizes;
    for (const QByteArray& b : blocks()) sizes << int(b.size()) - 8;
    EXPECT_EQ(sizes, (QList<int>{256, 256, 256, 237}));
    EXPECT_EQ(progress, (QList<int>{0, 25, 50, 76, 100, 0}));
    EXPECT_EQ(messages, QList<LogoMessage>{LogoMessage::Success});
    QByteArray sent;
    for (const QByteArray& b : blocks()) sent += b.mid(6, b.size() - 8);
    EXPECT_EQ(sent, upload.buffer());
}

TEST_F(LogoUploadTest, SwitchWaitsTwentyTicksForTheCommand) {
    ASSERT_TRUE(upload.start(logoFile(3)));
    for (int i = 0; i < LogoUpload::kSwitchDelayTicks; ++i) upload.tick();
    EXPECT_EQ(link.releases, 0);
    EXPECT_FALSE(port2.isOpen());
    upload.tick();
    EXPECT_EQ(link.releases, 1);
    EXPECT_TRUE(port2.isOpen());
    EXPECT_EQ(upload.step(), LogoUpload::HandshakeDue);
}

TEST_F(LogoUploadTest, WrongAddressSendsTheSameBlockAgain) {
    int blockReplies = 0;
    respond = [&](const QByteArray& f) {
        if (!f.startsWith("\xff\xff\xff") && ++blockReplies == 2) return logoReply(0x1234, 1, 0);
        return goodReply(f);
    };
    ASSERT_TRUE(upload.start(logoFile(300)));
    run();
    const QList<QByteArray> b = blocks();
    ASSERT_EQ(b.size(), 3);
    EXPECT_EQ(b[1], b[2]);
    EXPECT_EQ(messages, QList<LogoMessage>{LogoMessage::Success});
}

TEST_F(LogoUploadTest, FailuresEndWithTheirMessageAndRestoreTheLink) {
    const struct {
        const char* name;
        Responder respond;
        LogoMessage message;
        int frames; // frames written before the end
    } cases[] = {
        {"type 3", [](const QByteArray& f) { return goodReply(f, 3); }, LogoMessage::UnidentifiedType, 1},
        {"silent", [](const QByteArray&) { return QByteArray(); }, LogoMessage::HandshakeFailed, 5},
        {"blocks refused",
         [](const QByteArray& f) { return f.startsWith("\xff\xff\xff") ? goodReply(f) : logoReply(0, 0, 0); },
         LogoMessage::BlockFailed, 1 + 3},
        {"finish refused",
         [](const QByteArray& f) { return f.startsWith("\xff\xff\xff\xfe") ? logoReply(kLogoFinishTag, 0, 0) : goodReply(f); },
         LogoMessage::FinishFailed, 1 + 1 + 5},
    };
    for (const auto& c : cases) {
        FakeSerialChannel port;
        FakeLink handover;
        LogoUpload u(port, handover);
        QList<LogoMessage> said;
        QObject::connect(&u, &LogoUpload::messageDue, [&](LogoMessage m) { said << m; });
        ASSERT_TRUE(u.start(logoFile(3))) << c.name;
        qsizetype answered = 0;
        for (int i = 0; i < 2000 && u.running(); ++i) {
            u.tick();
            while (answered < port.written.size()) port.rx = c.respond(port.written[answered++]);
        }
        EXPECT_FALSE(u.running()) << c.name;
        EXPECT_EQ(said, QList<LogoMessage>{c.message}) << c.name;
        EXPECT_EQ(port.written.size(), c.frames) << c.name;
        EXPECT_TRUE(handover.open) << c.name;
        EXPECT_FALSE(port.isOpen()) << c.name;
    }
}

TEST_F(LogoUploadTest, EachBlockGetsItsOwnThreeTries) {
    // Two failures on the first block, two on the second: every block still gets its tries.
    QMap<QByteArray, int> seen;
    respond = [&](const QByteArray& f) {
        if (f.startsWith("\xff\xff\xff")) return goodReply(f);
        return ++seen[f] <= 2 ? QByteArray() : goodReply(f);
    };
    ASSERT_TRUE(upload.start(logoFile(300)));
    run();
    EXPECT_EQ(messages, QList<LogoMessage>{LogoMessage::Success});
    EXPECT_EQ(blocks().size(), 6);
}

TEST_F(LogoUploadTest, RefusedStarts) {
    link.open = false;
    EXPECT_FALSE(upload.start(logoFile(3)));
    link.open = true;
    EXPECT_FALSE(upload.start(QString()));
    EXPECT_FALSE(upload.start(dir.filePath("missing.logo")));
    QFile empty(dir.filePath("empty.logo"));
    empty.open(QIODevice::WriteOnly);
    empty.write("no bytes here, 0X12 only");
    empty.close();
    EXPECT_FALSE(upload.start(empty.fileName()));
    EXPECT_FALSE(upload.start(logoFile(kLogoMaxBytes + 1))); // never written past the buffer
    EXPECT_EQ(messages, (QList<LogoMessage>{LogoMessage::NotConnected, LogoMessage::NoFile, LogoMessage::FileError,
                                            LogoMessage::FileError, LogoMessage::FileError}));
    EXPECT_EQ(link.commands, 0);
    EXPECT_TRUE(upload.start(logoFile(kLogoMaxBytes)));
    EXPECT_EQ(upload.buffer().size(), kLogoBufferBytes);
}

TEST_F(LogoUploadTest, PortThatCannotBeTakenEndsOnceAndGivesTheLinkBack) {
    port2.failOpen = true;
    ASSERT_TRUE(upload.start(logoFile(3)));
    run(100);
    EXPECT_FALSE(upload.running());
    EXPECT_EQ(messages, QList<LogoMessage>{LogoMessage::PortFailed});
    EXPECT_EQ(link.restores, 1);
    EXPECT_TRUE(link.open);
}

TEST_F(LogoUploadTest, PortLostMidTransferEndsTheUpload) {
    int blocksSeen = 0;
    respond = [&](const QByteArray& f) {
        if (!f.startsWith("\xff\xff\xff") && ++blocksSeen == 2) port2.unplug();
        return goodReply(f);
    };
    ASSERT_TRUE(upload.start(logoFile(1000)));
    run();
    EXPECT_FALSE(upload.running());
    EXPECT_EQ(messages, QList<LogoMessage>{LogoMessage::BlockFailed});
    EXPECT_TRUE(link.open);
}

TEST_F(LogoUploadTest, LinkThatCannotBeReopenedIsReported) {
    link.restoreWorks = false;
    ASSERT_TRUE(upload.start(logoFile(3)));
    run();
    EXPECT_EQ(messages, (QList<LogoMessage>{LogoMessage::Success, LogoMessage::PortFailed}));
}

} // namespace
} // namespace zav
