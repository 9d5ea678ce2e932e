#include "flash/DspProgrammer.h"
#include "flash/FlashFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zav {
namespace {

using namespace flashlog;

const QByteArray kKeys = QByteArray("0123456789abcdefFFFFFFFFFFFFFFFF") + QByteArray(32, 'F');

// The target's texts in this test; the kernel's real words are its own, only the key words matter.
const QByteArray kUnlocked = "\r\nTest kernel, Flash API Version 1.00\r\nSecurity unlocked: OK.\r\n";
const QByteArray kErased = "\r\nFlash erased, send the image.\r\n";
QByteArray closing(const char* digits) {
    return QByteArray("\r\nProgramming complete. Checksum = 0x") + digits +
           "\r\nYou may now close this window and reset the target.\r\n";
}

using Messages = std::vector<FlashMessage>;

class DspProgrammerTest : public ::testing::Test {
  public: // the case table's steps reach in
    QTemporaryDir dir;
    DspProgrammer p;
    QByteArrayList sent;
    QList<int> bauds;
    Messages messages;
    int runEnded = 0;
    QByteArray application;
    ProgramRun run;

    void SetUp() override {
        QObject::connect(&p, &DspProgrammer::sendDue, [this](const QByteArray& b) { sent << b; });
        QObject::connect(&p, &DspProgrammer::baudDue, [this](int b) { bauds << b; });
        QObject::connect(&p, &DspProgrammer::messageDue, [this](FlashMessage m) { messages.push_back(m); });
        QObject::connect(&p, &DspProgrammer::runEnded, [this] { ++runEnded; });
        for (int i = 0; i < 1100; ++i) application.append(char(0x60 + i % 32));
        run.applicationPath = write("app.bin", application);
        run.kernelPath = write("Flash28035_All_API.bin", QByteArray(700, '\x5A'));
        run.programmingBaud = 115200;
        run.keys = kKeys;
    }

    QString write(const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    void start() { p.start(run, fileChecksum(application)); }
    QString checksumDigits() const { return checksumText(fileChecksum(application)).mid(2); }

    // Delivers target text whole, or one byte per chunk.
    void feed(const QByteArray& bytes, bool bytewise) {
        if (!bytewise) {
            p.onChunk(bytes);
            return;
        }
        for (char c : bytes) p.onChunk(QByteArray(1, c));
    }
    // First lock, kernel and its 16 line feeds, up to the keys.
    void toKeys(bool bytewise = false) {
        start();
        p.pingTick();
        p.onChunk("A");
        feed(QByteArray(16, '\n'), bytewise);
    }
    // ... the unlock, the second lock and the application.
    void toApplication(bool bytewise = false) {
        toKeys(bytewise);
        feed(kUnlocked, bytewise);
        p.pingTick();
        p.onChunk("A");
        feed(kErased, bytewise);
    }
};

TEST_F(DspProgrammerTest, FullRunWholeAndBytewiseGiveTheSameResult) {
    QStringList logs;
    QList<QByteArrayList> sends;
    for (bool bytewise : {false, true}) {
        sent.clear();
        messages.clear();
        bauds.clear();
        toApplication(bytewise);
        EXPECT_EQ(p.progStage(), DspProgrammer::ApplicationSent);
        logs << p.logText();
        feed(closing(checksumDigits().toLatin1()), bytewise);
        EXPECT_EQ(messages, Messages{FlashMessage::Pass});
        EXPECT_FALSE(p.running());
        EXPECT_EQ(p.logLines().last(), QString::fromLatin1(kSuccess));
        sends << sent;
    }
    EXPECT_EQ(sends[0], sends[1]);
    // Chunk boundaries move the progress (2 per chunk), never the log or what was sent. (The end
    // comes at the first word of the closing sentence, so the log's last line differs.)
    EXPECT_EQ(logs[0].toStdString(), logs[1].toStdString());

    const QByteArrayList& s = sends[0];
    // 'A', the kernel in 512-byte blocks, the keys, 'A', the swapped application in blocks.
    ASSERT_EQ(s.size(), 1 + 2 + 1 + 1 + 3);
    EXPECT_EQ(s[0], "A");
    EXPECT_EQ(s[1].size() + s[2].size(), 700);
    EXPECT_EQ(s[3], kKeys);
    EXPECT_EQ(s[4], "A");
    EXPECT_EQ(s[5] + s[6] + s[7], swapNibbles67(application));
    EXPECT_EQ(bauds, QList<int>{115200});
}

TEST_F(DspProgrammerTest, LogShowsTheRunInEnglish) {
    toApplication();
    feed(closing(checksumDigits().toLatin1()), false);
    const QStringList lines = p.logLines();
    EXPECT_EQ(lines[0], QString::fromLatin1(kResetTarget));
    EXPECT_EQ(lines[1], "Program Checksum = 0x" + checksumDigits());
    EXPECT_EQ(lines[2], "Pinging target....Baudrate locked!");
    EXPECT_EQ(lines[3], "Bootloading...");
    EXPECT_TRUE(p.logText().contains("Security unlocked: OK..OK."));
    EXPECT_EQ(lines.last(), QString::fromLatin1(kSuccess));
    EXPECT_FALSE(p.logText().contains("\x5A\x5A")); // the kernel's echo noise is not shown
}

TEST_F(DspProgrammerTest, ProgressStepsOfAGoodRun) {
    QList<int> values;
    QObject::connect(&p, &DspProgrammer::progressChanged, [&](int v) { values << v; });
    toApplication();
    // 1 ping, 4 lock, 4 kernel, 10 unlock, 1 ping, 4 lock, 30 application (+2 for its chunk).
    EXPECT_EQ(values, (QList<int>{1, 5, 9, 19, 20, 24, 54, 56}));
    feed("\r\nProgramming...\r\n", false);
    EXPECT_EQ(p.progress(), 58);
}

TEST_F(DspProgrammerTest, ChecksumMismatchFails) {
    toApplication();
    const uint16_t wrong = uint16_t(fileChecksum(application) + 1);
    feed(closing(checksumText(wrong).mid(2).toLatin1()), false);
    EXPECT_EQ(messages, Messages{FlashMessage::Fail});
    const QStringList lines = p.logLines();
    EXPECT_EQ(lines.mid(lines.size() - 2),
              (QStringList{QString::fromLatin1(kChecksumDiffers), QString::fromLatin1(kFailed)}));
    EXPECT_FALSE(p.logText().contains(QString::fromLatin1(kSuccess)));
}

TEST_F(DspProgrammerTest, ReportedChecksumIsTheOneAfterProgramming) {
    const struct {
        const char* log;
        int value;
    } cases[] = {
        {"Program Checksum = 0x1111\nProgramming done\nChecksum = 0x1A2B", 0x1A2B},
        {"Programming\nChecksum = 0x1a2b and more", 0x1A2B},
        {"Checksum = 0x1A2B\nProgramming\n", -1}, // before "Programming" does not count
        {"Program Checksum = 0x1A2B", -1},
        {"Programming Checksum = 0x1A", -1}, // cut off
        {"Programming Checksum = 0xZZ12", 0x0012},
    };
    for (const auto& c : cases) EXPECT_EQ(reportedChecksum(c.log), c.value) << c.log;
}

TEST_F(DspProgrammerTest, KeysOnlyAfterSixteenLineFeedsInARow) {
    start();
    p.pingTick();
    p.onChunk("A");
    sent.clear();
    p.onChunk(QByteArray(15, '\n') + "x");
    EXPECT_EQ(p.progStage(), 0);
    p.onChunk(QByteArray(15, '\n'));
    EXPECT_TRUE(sent.isEmpty());
    p.onChunk("\n");
    EXPECT_EQ(sent, QByteArrayList{kKeys});
    EXPECT_EQ(p.progStage(), DspProgrammer::KernelStarted);
}

TEST_F(DspProgrammerTest, LockOnTheTwentiethPingNoAnswerOnTheTwentyFirstTick) {
    start();
    for (int i = 0; i < 20; ++i) p.pingTick();
    EXPECT_EQ(p.pingCount(), 20);
    p.onChunk("A");
    EXPECT_EQ(p.bootStage(), 1);
    EXPECT_TRUE(messages.empty());

    start();
    for (int i = 0; i < 20; ++i) p.pingTick();
    EXPECT_TRUE(messages.empty());
    p.pingTick();
    EXPECT_EQ(messages, Messages{FlashMessage::NoResponse});
    EXPECT_TRUE(p.logLines()[2].endsWith(".No response!"));
    EXPECT_FALSE(p.running());
    EXPECT_FALSE(p.pingTimerOn());
}

TEST_F(DspProgrammerTest, FailuresOfTheTableEndWithTheirMessage) {
    struct Case {
        const char* name;
        std::function<void(DspProgrammerTest&)> play;
        Messages messages;
        const char* lastLine;
    };
    const Case cases[] = {
        {"kernel file missing",
         [](DspProgrammerTest& t) {
             t.run.kernelPath = t.dir.filePath("Flash2812_API.bin");
             t.start();
             t.p.pingTick();
             t.p.onChunk("A");
         },
         {FlashMessage::NoKernelFile}, kNoKernel},
        {"kernel silent",
         [](DspProgrammerTest& t) {
             t.start();
             t.p.pingTick();
             t.p.onChunk("A");
             for (int i = 0; i < 8; ++i) t.p.secondTick();
             EXPECT_TRUE(t.messages.empty());
             t.p.secondTick();
         },
         {FlashMessage::CheckConfiguration}, kCheckConfiguration},
        {"unlock refused",
         [](DspProgrammerTest& t) {
             t.toKeys();
             t.p.onChunk("\r\nIncorrect keys, the module stays locked.\r\n");
         },
         {FlashMessage::UnlockFailed}, "Incorrect keys, the module stays locked."},
        {"no Flash API Version",
         [](DspProgrammerTest& t) {
             t.toKeys();
             t.p.onChunk("\r\nUnlocked: OK.\r\n");
             t.p.pingTick();
             t.p.onChunk("A");
             t.p.onChunk("\r\nSend the image.\r\n");
             for (int i = 0; i < 9; ++i) t.p.secondTick(true);
             EXPECT_TRUE(t.messages.empty());
             t.p.secondTick(true);
         },
         {FlashMessage::CheckConfiguration}, kConnectFail},
        {"kernel refuses the image",
         [](DspProgrammerTest& t) {
             t.toApplication();
             t.p.onChunk("\r\nThe image CAN NOT BE flashed.\r\n");
         },
         {}, "The image CAN NOT BE flashed."},
        {"silence after the application",
         [](DspProgrammerTest& t) {
             t.toApplication();
             for (int i = 0; i < 40; ++i) t.p.secondTick(true); // still sending: not silence
             EXPECT_TRUE(t.p.running());
             for (int i = 0; i < 29; ++i) t.p.secondTick(false);
             EXPECT_TRUE(t.p.running());
             t.p.secondTick(false);
         },
         {FlashMessage::Fail}, kFailed},
        {"port lost",
         [](DspProgrammerTest& t) {
             t.toApplication();
             t.p.portFailed("Input/output error");
         },
         {FlashMessage::Fail}, kFailed},
        {"cancel after the application",
         [](DspProgrammerTest& t) {
             t.toApplication();
             t.p.cancel();
         },
         {}, kFailed},
    };
    for (const Case& c : cases) {
        messages.clear();
        runEnded = 0;
        c.play(*this);
        EXPECT_EQ(messages, c.messages) << c.name;
        EXPECT_FALSE(p.running()) << c.name;
        EXPECT_GE(runEnded, 1) << c.name;
        EXPECT_EQ(p.progStage(), 0) << c.name;
        EXPECT_EQ(p.logLines().last(), QString::fromLatin1(c.lastLine)) << c.name;
        EXPECT_FALSE(p.logText().contains(QString::fromLatin1(kSuccess))) << c.name;
        run.kernelPath = dir.filePath("Flash28035_All_API.bin");
    }
}

TEST_F(DspProgrammerTest, CancelButtonAfterThirtySecondsOfSilence) {
    QList<bool> states;
    QObject::connect(&p, &DspProgrammer::resetButtonChanged, [&](bool on) { states << on; });
    start();
    for (int i = 0; i < 28; ++i) p.secondTick();
    EXPECT_FALSE(p.resetButtonEnabled());
    p.secondTick();
    EXPECT_TRUE(p.resetButtonEnabled());
    p.pingTick();
    p.onChunk("A");
    p.secondTick();
    EXPECT_FALSE(p.resetButtonEnabled());
    EXPECT_EQ(states, (QList<bool>{true, false}));
}

// The bytes checked before the run are the bytes sent: files replaced meanwhile (here by other
// bytes, and the application by nothing at all) change nothing on the wire.
TEST_F(DspProgrammerTest, TheCheckedImagesAreSentWhateverThePathsHoldLater) {
    run.applicationImage = application;
    run.kernelImage = QByteArray(700, '\x5A');
    write("Flash28035_All_API.bin", QByteArray(300, '\x11'));
    QFile::remove(run.applicationPath);
    toApplication();
    ASSERT_EQ(sent.size(), 1 + 2 + 1 + 1 + 3);
    EXPECT_EQ(sent[1] + sent[2], QByteArray(700, '\x5A'));
    EXPECT_EQ(sent[5] + sent[6] + sent[7], swapNibbles67(application));
    feed(closing(checksumDigits().toLatin1()), false);
    EXPECT_EQ(messages, Messages{FlashMessage::Pass});
}

TEST_F(DspProgrammerTest, ApplicationThatCannotBeReadFailsInsteadOfWaiting) {
    toKeys();
    QFile::remove(run.applicationPath);
    p.onChunk(kUnlocked);
    p.pingTick();
    p.onChunk("A");
    p.onChunk(kErased);
    EXPECT_EQ(messages, Messages{FlashMessage::Fail});
    EXPECT_FALSE(p.running());
}

} // namespace
} // namespace zav
