// The simulator's firmware side: the DSP serial bootloader and the logo receiver behind the
// command 357, fed bytes directly.

#include "Bootloader.h"
#include "SimRequests.h"
#include "VirtualUps.h"
#include "flash/FlashFile.h"
#include "flash/LogoFile.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

const QString kData = QStringLiteral(QT_TESTCASE_SOURCEDIR "/tests/data/flash/");

QByteArray readFile(const QString& name) {
    QFile f(kData + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

QByteArray joined(const QList<BootReply>& replies) {
    QByteArray all;
    for (const BootReply& r : replies) all += r.bytes;
    return all;
}

TEST(SimBootloader, WholeExchange) {
    Bootloader boot;
    EXPECT_TRUE(joined(boot.receive("xx", 38400)).isEmpty()); // nothing but 'A' locks
    EXPECT_EQ(joined(boot.receive("A", 38400)), "A");
    const QByteArray kernel = readFile("Flash28035_All_API.bin");
    const QByteArray answer = joined(boot.receive(kernel, 38400));
    EXPECT_EQ(answer, kernel + QByteArray(16, '\n')); // the echo, then the announcement
    EXPECT_EQ(boot.stage(), Bootloader::Keys);
    EXPECT_EQ(joined(boot.receive(QByteArray(64, 'f'), 38400)), Bootloader::unlockedText());
    EXPECT_EQ(joined(boot.receive("A", 115200)), "A" + Bootloader::readyText());
    EXPECT_EQ(boot.lockedBaud(), 115200);
    const QByteArray app = readFile("test-application.bin");
    EXPECT_TRUE(joined(boot.receive(swapNibbles67(app), 57600)).isEmpty()); // another rate: noise
    const QByteArray closing = joined(boot.receive(swapNibbles67(app), 115200));
    EXPECT_TRUE(closing.endsWith(Bootloader::closingText(fileChecksum(app)))) << closing.constData();
    EXPECT_EQ(boot.stage(), Bootloader::Done);
}

TEST(SimBootloader, TextsBeforeTheEndHoldNoneOfTheClosingWords) {
    // The tool ends a run at the first of these words; the kernel's earlier texts must not hold one.
    for (const QByteArray& text : {Bootloader::unlockedText(), Bootloader::readyText(), Bootloader::refusalText()})
        for (const char* word : {"You", "may", "now", "close", "this", "window", "and"})
            EXPECT_FALSE(text.contains(word)) << text.constData() << " has " << word;
    EXPECT_TRUE(Bootloader::lockedText().contains("Incorrect"));
    EXPECT_TRUE(Bootloader::unlockedText().contains("Flash API Version"));
}

TEST(SimBootloader, FaultSwitches) {
    const QByteArray kernel = readFile("Flash28035_All_API.bin");
    const QByteArray app = swapNibbles67(readFile("test-application.bin"));
    auto toApplication = [&](Bootloader& b) {
        b.receive("A", 38400);
        b.receive(kernel, 38400);
        b.receive(QByteArray(64, 'F'), 38400);
        b.receive("A", 115200);
    };
    Bootloader wrongKeys;
    wrongKeys.setFault(BootFault::WrongKeys);
    wrongKeys.receive("A", 38400);
    wrongKeys.receive(kernel, 38400);
    EXPECT_EQ(joined(wrongKeys.receive(QByteArray(64, 'F'), 38400)), Bootloader::lockedText());

    Bootloader otherKeys;
    otherKeys.setKeys(QByteArray(60, 'F') + "1234");
    otherKeys.receive("A", 38400);
    otherKeys.receive(kernel, 38400);
    EXPECT_EQ(joined(otherKeys.receive(QByteArray(64, 'F'), 38400)), Bootloader::lockedText());

    Bootloader silent;
    silent.setFault(BootFault::SilentAfterKernel);
    silent.receive("A", 38400);
    EXPECT_EQ(joined(silent.receive(kernel, 38400)), kernel); // echo only, no line feeds

    Bootloader corrupt;
    corrupt.setFault(BootFault::CorruptApplication);
    toApplication(corrupt);
    const QByteArray end = joined(corrupt.receive(app, 115200));
    EXPECT_TRUE(end.contains("Checksum = 0x"));
    EXPECT_NE(corrupt.applicationChecksum(), fileChecksum(readFile("test-application.bin")));

    Bootloader pulled;
    pulled.setFault(BootFault::CablePulled);
    toApplication(pulled);
    EXPECT_FALSE(joined(pulled.receive(app, 115200)).contains("Checksum"));
    EXPECT_EQ(pulled.stage(), Bootloader::Dead);
    EXPECT_FALSE(pulled.hangUpDue()); // the line stays, silent

    Bootloader gone;
    gone.setFault(BootFault::HangUp);
    toApplication(gone);
    EXPECT_FALSE(gone.hangUpDue());
    EXPECT_FALSE(joined(gone.receive(app, 115200)).contains("Checksum"));
    EXPECT_EQ(gone.stage(), Bootloader::Dead);
    EXPECT_TRUE(gone.hangUpDue()); // its server closes the line
}

TEST(SimLogo, UploadAfterTheCommandThenModbusAgain) {
    SimConfig c;
    c.protocol = Protocol::Rtu;
    VirtualUps ups(c);
    ups.advanceTo(1000);
    EXPECT_EQ(sendCommand(ups, 357, 1).size(), 6);
    const QByteArray buffer = *buildLogoBuffer(QByteArray(300, '\x42'));
    auto talk = [&](const QByteArray& frame) {
        QByteArray all;
        for (const Outgoing& o : ups.receive(frame)) all += o.bytes;
        return all;
    };
    EXPECT_EQ(logoHandshakeReply(talk(logoHandshakeRequest())), std::optional<uint8_t>(1));
    // The finish before every block arrived is refused.
    EXPECT_TRUE(logoBlockReplyAccepted(talk(logoBlockRequest(kLogoBaseType1, buffer.left(256))), kLogoBaseType1));
    EXPECT_TRUE(logoBlockReplyAccepted(talk(logoBlockRequest(kLogoBaseType1 + 256, buffer.mid(256))),
                                       kLogoBaseType1 + 256));
    EXPECT_TRUE(logoFinishReplyAccepted(talk(logoFinishRequest())));
    EXPECT_EQ(ups.logo().received(), buffer);
    EXPECT_EQ(readRegister(ups, fn::ReadHolding, 1), ups.plant().measurements().value(1)); // Modbus again
}

TEST(SimLogo, IncompleteBufferIsRefusedAtTheFinish) {
    LogoReceiver logo;
    logo.activate(0);
    const QByteArray buffer = *buildLogoBuffer(QByteArray(300, '\x42'));
    logo.receive(logoHandshakeRequest(), 10);
    logo.receive(logoBlockRequest(kLogoBaseType1, buffer.left(256)), 20);
    EXPECT_FALSE(logoFinishReplyAccepted(logo.receive(logoFinishRequest(), 30)));
    EXPECT_FALSE(logo.finishedOk());
}

TEST(SimLogo, HangUpFaultLeavesAfterTheFirstBlock) {
    LogoReceiver logo;
    logo.setFault(LogoFault::HangUp);
    logo.activate(0);
    const QByteArray buffer = *buildLogoBuffer(QByteArray(300, '\x42'));
    EXPECT_EQ(logoHandshakeReply(logo.receive(logoHandshakeRequest(), 10)), std::optional<uint8_t>(1));
    EXPECT_FALSE(logo.hangUpDue());
    EXPECT_TRUE(logo.receive(logoBlockRequest(kLogoBaseType1, buffer.left(256)), 20).isEmpty());
    EXPECT_TRUE(logo.hangUpDue());
    EXPECT_EQ(logo.blocks(), 1);
}

TEST(SimLogo, PortGoesBackToModbusWhenIdleOrPolledAfterTheHandshake) {
    LogoReceiver logo;
    logo.activate(0);
    EXPECT_TRUE(logo.takes(":010300010050AB\r\n", 500)); // the tool's last polls before it switches
    EXPECT_TRUE(logo.active(9000));
    EXPECT_FALSE(logo.active(10'001));

    logo.activate(20'000);
    EXPECT_TRUE(logo.takes(logoHandshakeRequest(), 20'100));
    logo.receive(logoHandshakeRequest(), 20'100);
    EXPECT_TRUE(logo.takes(logoBlockRequest(0x3D8000, "ab"), 20'500));
    EXPECT_FALSE(logo.takes(":010300010050AB\r\n", 21'000)); // the tool gave up and polls again
    EXPECT_FALSE(logo.active(21'000));
}

} // namespace
