// `zavctl flash` and `zavctl logo` as processes against the virtual UPS: a DSP flashed through the
// simulated serial bootloader on its own pseudo-terminal, and a logo uploaded over the Modbus port.
// The exit status is 0 only for a flash the kernel confirmed with the right checksum and a logo the
// UPS confirmed; every other end names what went wrong and where. Files are checked before any port.

#include "BootloaderServer.h"
#include "SimulatorThread.h"
#include "flash/FlashFile.h"
#include "flash/LogoFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <memory>

using namespace zav;
using namespace zav::sim;

namespace {

const QString kZavctl = QStringLiteral(ZAV_BINARY_DIR "/zavctl");
const QString kData = QStringLiteral(QT_TESTCASE_SOURCEDIR "/tests/data/flash/");
const QString kKernel = kData + "Flash2812_API.bin";
const QString kApplication = kData + "test-application.bin";
constexpr int kBoundMs = 120'000;

struct Ran {
    int exitCode = -1;
    QString err;
};

// Runs zavctl with the event loop turning, so an in-process bootloader keeps serving its line.
Ran zavctl(const QStringList& args) {
    QProcess p;
    p.start(kZavctl, args);
    EXPECT_TRUE(p.waitForStarted());
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, kBoundMs));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

TEST(ZavctlFlash, ExitStatusFollowsTheKernelsReport) {
    if (!QFile::exists(kZavctl)) GTEST_SKIP() << "zavctl is not built";
    const QString keys = "0123456789ABCDEF0011223344556677FEDCBA98765432108899AABBCCDDEEFF";
    const struct {
        const char* name;
        BootFault fault;
        QStringList extra;
        int exitCode;
        const char* said; // a part of stderr's last line
    } cases[] = {
        {"good run with the keys in lower case", BootFault::None, {"--keys", keys.toLower()}, 0,
         "Program  Success! The kernel reports checksum 0x"},
        {"keys left at FFFF", BootFault::None, {}, 5, "failed during the unlock (keys sent): the kernel refused the keys: Incorrect"},
        {"corrupted byte on the line", BootFault::CorruptApplication, {"--keys", keys}, 6, "checksum mismatch: the kernel reports 0x"},
        {"cable pulled part-way", BootFault::CablePulled, {"--keys", keys, "--silence", "2"}, 3,
         "said nothing for 2 s after the application was sent"},
        // The stage named is the application download or, once all of it has left the tool's
        // queue for the line's buffer, the wait for the report.
        {"adapter pulled part-way (the line hangs up)", BootFault::HangUp, {"--keys", keys}, 2,
         ": the port /dev/pts/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bootloader boot;
        boot.setKeys(keys.toLatin1());
        boot.setFault(c.fault);
        BootloaderServer server(boot);
        QString error;
        ASSERT_TRUE(server.open(&error)) << error.toStdString();
        server.start();
        const Ran run = zavctl(QStringList{"flash", kApplication, "--port", server.devicePath(), "--kernel", kKernel,
                                           "--baud", "256000"} +
                               c.extra);
        const QString last = run.err.trimmed().section('\n', -1);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(last.contains(QLatin1String(c.said))) << last.toStdString();
        EXPECT_EQ(run.err.contains("Success"), c.exitCode == 0);
        if (c.exitCode != 0) {
            EXPECT_TRUE(last.startsWith("zavctl: flash failed during the ")) << "the stage is named";
        }
        if (c.fault == BootFault::HangUp) {
            EXPECT_TRUE(last.endsWith("failed: the device no longer delivers data")) << last.toStdString();
        }
        if (c.fault == BootFault::None && c.exitCode == 0) {
            EXPECT_EQ(boot.stage(), Bootloader::Done);
            EXPECT_EQ(boot.lockedBaud(), 256000);
            EXPECT_EQ(boot.applicationChecksum(), fileChecksum(readFile(kApplication)));
            EXPECT_TRUE(run.err.contains(checksumText(fileChecksum(readFile(kApplication)))));
        }
        server.stop();
    }
}

TEST(ZavctlFlash, BadFilesAndOptionsAreRefusedBeforeThePortIsOpened) {
    if (!QFile::exists(kZavctl)) GTEST_SKIP() << "zavctl is not built";
    // A port that does not exist: any of these reaching it would end with exit 2 instead.
    const QStringList port{"--port", "/dev/zav-no-such-port"};
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const QByteArray image = readFile(kApplication);
    const QString headerOnly = write("empty-table.bin", image.left(22) + QByteArray(2, '\0'));
    const QString padded = write("padded.bin", image + QByteArray(16, '\xFF'));
    const QString fifo = dir.filePath("image.bin");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        const char* name;
        QStringList args;
        int exitCode;
        const char* said;
    } cases[] = {
        {"application that is no boot image", {kData + "not-a-boot-table.bin", "--kernel", kKernel}, 6,
         "is not a boot image: it does not start with the boot table key 0x08AA"},
        {"logo file given as the application", {kData + "test-logo.logo", "--kernel", kKernel}, 6, "is not a boot image"},
        {"table with no data block", {headerOnly, "--kernel", kKernel}, 6, "the boot table holds no data block"},
        {"bytes after the closing block", {padded, "--kernel", kKernel}, 6, "16 byte(s) follow the closing block"},
        {"missing application", {kData + "no-such.bin", "--kernel", kKernel}, 6, "cannot read"},
        {"kernel that is no boot image", {kApplication, "--kernel", kData + "not-a-boot-table.bin"}, 6,
         "not-a-boot-table.bin is not a boot image"},
        {"missing kernel", {kApplication, "--kernel", kData + "Flash9999_API.bin"}, 6, "no Flash API kernel file"},
        // Only regular files are read: a device has no end, a FIFO would block the read.
        {"application that is a device", {"/dev/zero", "--kernel", kKernel}, 6, "/dev/zero: is a character device"},
        {"kernel that is a device", {kApplication, "--kernel", "/dev/zero"}, 6, "/dev/zero: is a character device"},
        {"application that is a FIFO", {fifo, "--kernel", kKernel}, 6, "is a FIFO (named pipe), not a regular file"},
        {"63 key digits", {kApplication, "--kernel", kKernel, "--keys", QString(63, 'F')}, 1, "bad --keys"},
        {"key digit not hex", {kApplication, "--kernel", kKernel, "--keys", QString(63, 'F') + "G"}, 1, "bad --keys"},
        {"rate the page does not offer", {kApplication, "--kernel", kKernel, "--baud", "250000"}, 1, "bad --baud"},
        {"erase choice for another processor", {kApplication, "--dsp", "F2812", "--erase", "program"}, 1,
         "F28035 only"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Ran run = zavctl(QStringList{"flash"} + c.args + port);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.said))) << run.err.toStdString();
    }
}

TEST(ZavctlFlash, KernelIsTheOneThePageWouldPick) {
    if (!QFile::exists(kZavctl)) GTEST_SKIP() << "zavctl is not built";
    QTemporaryDir dir;
    QFile ini(dir.filePath("ZAV.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Program Config]\r\nComboBoxBaud=9\r\nComboBoxDspType=0\r\nComboBoxErase=1\r\n");
    ini.close();
    const struct {
        const char* name;
        QStringList args;
        const char* kernel;
    } cases[] = {
        {"saved choice: F28035, program area", {"--config", ini.fileName()}, "Flash28035_API.bin"},
        {"--dsp over the saved choice", {"--config", ini.fileName(), "--dsp", "f28062"}, "Flash28062_API.bin"},
        {"--erase over the saved choice", {"--config", ini.fileName(), "--erase", "all"}, "Flash28035_All_API.bin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Ran run = zavctl(QStringList{"flash", kApplication, "--port", "/dev/zav-no-such-port"} + c.args);
        // Looked for beside the program: missing there (6), or found and the port then fails (2).
        const QString beside = QStringLiteral(ZAV_BINARY_DIR "/") + c.kernel;
        EXPECT_EQ(run.exitCode, QFile::exists(beside) ? 2 : 6) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QFile::exists(beside) ? QString(c.kernel) : beside)) << run.err.toStdString();
    }
}

TEST(ZavctlLogo, ModelsWithoutALogoAreRefused) {
    if (!QFile::exists(kZavctl)) GTEST_SKIP() << "zavctl is not built";
    SimConfig config;
    config.upsModel = 5;
    config.protocol = Protocol::Rtu;
    config.baud = 38400;
    SimulatorThread sim(config);
    QString error;
    ASSERT_TRUE(sim.start(&error)) << error.toStdString();
    const Ran run = zavctl({"logo", kData + "test-logo.logo", "--port", sim.devicePath(), "--baud", "38400", "--proto",
                            "rtu", "--timeout", "60"});
    EXPECT_EQ(run.exitCode, 5) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("UPS model 5 takes no logo")) << run.err.toStdString();
    sim.withUps([](VirtualUps& ups) { EXPECT_TRUE(ups.logo().received().isEmpty()); });
    sim.stop();
}

TEST(ZavctlLogo, ExitStatusFollowsTheUpsConfirmationAndTheLinkComesBack) {
    if (!QFile::exists(kZavctl)) GTEST_SKIP() << "zavctl is not built";
    const QString logo = kData + "test-logo.logo";
    const struct {
        const char* name;
        LogoFault fault;
        int exitCode;
        const char* said;
    } cases[] = {
        {"confirmed", LogoFault::None, 0, "logo: Upgrade logo ok, please restart UPS (1005 bytes confirmed by the UPS)"},
        {"block replies with a bad CRC", LogoFault::BadCrc, 3, "logo: Up logo communication fail at byte 0 of 1005"},
        {"unknown DSP type", LogoFault::Type3, 4, "logo: Unidentified DSP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimConfig config;
        config.upsModel = 1;
        config.protocol = Protocol::Rtu;
        config.baud = 38400; // the fastest rate of the Modbus link
        SimulatorThread sim(config);
        QString error;
        ASSERT_TRUE(sim.start(&error)) << error.toStdString();
        sim.withUps([&](VirtualUps& ups) { ups.logo().setFault(c.fault); });
        const Ran run = zavctl({"logo", logo, "--port", sim.devicePath(), "--baud", "38400", "--proto", "rtu",
                                "--model", "1", "--timeout", "100"});
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.trimmed().endsWith(QLatin1String(c.said))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("logo: the Modbus link answers again")) << run.err.toStdString();
        QByteArray received;
        bool finished = false;
        sim.withUps([&](VirtualUps& ups) {
            received = ups.logo().received();
            finished = ups.logo().finishedOk();
        });
        EXPECT_EQ(finished, c.exitCode == 0);
        if (c.exitCode == 0) {
            EXPECT_EQ(received, *buildLogoBuffer(parseLogoText(readFile(logo))));
        }
        sim.stop();
    }
}

TEST(ZavctlLogo, PortThatVanishesEndsTheRunAsFailed) {
    if (!QFile::exists(kZavctl)) GTEST_SKIP() << "zavctl is not built";
    SimConfig config;
    config.upsModel = 1;
    config.protocol = Protocol::Rtu;
    config.baud = 38400;
    SimulatorThread sim(config);
    QString error;
    ASSERT_TRUE(sim.start(&error)) << error.toStdString();
    sim.withUps([](VirtualUps& ups) { ups.logo().setFault(LogoFault::HangUp); });
    const Ran run = zavctl({"logo", kData + "test-logo.logo", "--port", sim.devicePath(), "--baud", "38400", "--proto",
                            "rtu", "--model", "1", "--timeout", "100"});
    EXPECT_EQ(run.exitCode, 3) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("logo: the Modbus link could not be opened again")) << run.err.toStdString();
    EXPECT_TRUE(run.err.trimmed().endsWith("logo: Up logo communication fail at byte 0 of 1005")) << run.err.toStdString();
    sim.stop();
}

TEST(ZavctlLogo, FilesThatCannotBeALogoAreRefusedBeforeThePortIsOpened) {
    if (!QFile::exists(kZavctl)) GTEST_SKIP() << "zavctl is not built";
    QTemporaryDir dir;
    const QString upperCase = dir.filePath("upper.logo");
    QFile f(upperCase);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("const unsigned char logo[] = {0X12, 0XAB, 0X00};\n");
    f.close();
    const QString fifo = dir.filePath("pipe.logo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        const char* name;
        QString file;
        const char* said;
    } cases[] = {
        {"one byte more than the buffer holds", kData + "too-big.logo", "holds 9596 bytes, a logo has at most 9595"},
        {"literals with an upper-case X only", upperCase, "holds no byte literal"},
        {"missing file", kData + "no-such.logo", "cannot read"},
        {"a device", "/dev/zero", "/dev/zero: is a character device"},
        {"a FIFO", fifo, "is a FIFO (named pipe), not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Ran run = zavctl({"logo", c.file, "--port", "/dev/zav-no-such-port"});
        EXPECT_EQ(run.exitCode, 6) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.said))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("File error")) << run.err.toStdString();
    }
}

} // namespace
