// The firmware page against the virtual UPS over pseudo-terminals: a DSP flashed through the
// simulated serial bootloader (Comm1 on a real QSerialPort), and a logo uploaded over the Modbus
// port after the command 357, with one run per fault switch. Every run must end in its own message,
// and the logo upload must leave the Modbus link running again.

#include "BootloaderServer.h"
#include "SimulatorThread.h"
#include "flash/FlashFile.h"
#include "flash/LogoFile.h"
#include "flash/widgets/FwProgramPage.h"
#include "link/QtSerialChannel.h"
#include "session/UpsSession.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;

namespace {

const QString kData = QStringLiteral(QT_TESTCASE_SOURCEDIR "/tests/data/flash/");

struct Said {
    QString text;
    bool warning;
};

// Runs the event loop until `done` or the bound (a failing run ends the loop early, never a sleep).
bool waitFor(const std::function<bool()>& done, int boundMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > boundMs) return false;
        QTest::qWait(20);
    }
    return true;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

template <class T> T fromUps(SimulatorThread& sim, const std::function<T(VirtualUps&)>& f) {
    T result{};
    sim.withUps([&](VirtualUps& ups) { result = f(ups); });
    return result;
}

class FlashRun : public ::testing::Test {
  protected:
    Bootloader boot;
    BootloaderServer server{boot};
    AppContext context;
    QList<Said> said;
    std::unique_ptr<FwProgramPage> page;

    void SetUp() override {
        QString error;
        ASSERT_TRUE(server.open(&error)) << error.toStdString();
        server.start();
        FlashPageHooks hooks;
        hooks.showMessage = [this](QWidget*, const QString& text, bool warning, const QString&) {
            said.append({text, warning});
        };
        hooks.listPorts = [this] { return QStringList{server.devicePath()}; };
        hooks.kernelDir = kData;
        hooks.pollTimer = [] { return nullptr; };
        hooks.portRefreshTimer = [] { return nullptr; };
        hooks.connectButton = [] { return nullptr; };
        hooks.linkChoices = [] { return ConnectRequest{}; };
        context.language = 1;
        page = std::make_unique<FwProgramPage>(context, hooks);
    }
    void TearDown() override { page.reset(); }

    QTimer* timer(const char* name) { return page->findChild<QTimer*>(name); }

    // Flashes the file; returns the log when the run has ended with a message.
    QString flash(const QString& file, int boundMs = 20'000) {
        page->applicationChosen(file);
        page->findChild<QPushButton*>("ButtonProgram")->click();
        EXPECT_TRUE(page->programmer().running());
        EXPECT_TRUE(waitFor([this] { return !said.isEmpty(); }, boundMs));
        return page->programmer().logText();
    }
};

TEST_F(FlashRun, ApplicationFlashedAndChecksumsAgree) {
    const QString file = kData + "test-application.bin";
    const QString log = flash(file);
    ASSERT_EQ(said.size(), 1);
    EXPECT_EQ(said[0].text, "Pass!");
    EXPECT_TRUE(log.endsWith("Program  Success!")) << log.toStdString();
    EXPECT_EQ(boot.stage(), Bootloader::Done);
    EXPECT_EQ(boot.lockedBaud(), 115200); // the second lock at the programming rate
    EXPECT_EQ(boot.applicationBytes(), readFile(file).size());
    EXPECT_EQ(boot.applicationChecksum(), fileChecksum(readFile(file)));
    EXPECT_EQ(boot.noiseBytes(), 0);
    EXPECT_FALSE(page->comm1().isOpen());
    EXPECT_TRUE(page->findChild<QPushButton*>("ButtonProgram")->isEnabled());
}

TEST_F(FlashRun, FaultsEndInTheirOwnMessage) {
    const struct {
        const char* name;
        BootFault fault;
        const char* file;
        bool fastWatch; // the 1 s watch timer sped up, so waiting 9 or 30 silent seconds takes less
        int fastFromStage;
        const char* message;
        const char* lastLine;
    } cases[] = {
        {"wrong keys", BootFault::WrongKeys, "test-application.bin", false, 0, "Unlock failed!",
         "Incorrect keys: the code security module stays locked."},
        {"silent after the kernel", BootFault::SilentAfterKernel, "test-application.bin", true, 0,
         "Fail! Please check configuration!", "Fail! Please check configuration!"},
        {"corrupted byte", BootFault::CorruptApplication, "test-application.bin", false, 0, "Fail!",
         "Program  Failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"},
        {"cable pulled", BootFault::CablePulled, "test-application.bin", true, 44, "Fail!",
         "Program  Failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"},
        {"adapter pulled (the line hangs up)", BootFault::HangUp, "test-application.bin", false, 0, "Fail!",
         "Program  Failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        said.clear();
        boot = Bootloader();
        boot.setFault(c.fault);
        // Sped up from the start, or once the application has gone out.
        auto speedUp = [&] {
            if (c.fastWatch && page->programmer().progStage() >= c.fastFromStage) timer("TimerProgCnt")->setInterval(40);
        };
        QObject::connect(&page->programmer(), &DspProgrammer::logChanged, page.get(), speedUp);
        QObject::connect(&page->programmer(), &DspProgrammer::progressChanged, page.get(), speedUp);
        const QString log = flash(kData + c.file);
        ASSERT_EQ(said.size(), 1);
        EXPECT_EQ(said[0].text, c.message);
        EXPECT_TRUE(said[0].warning);
        EXPECT_TRUE(log.endsWith(c.lastLine)) << log.toStdString();
        EXPECT_FALSE(log.contains("Success"));
        EXPECT_FALSE(page->programmer().running());
        EXPECT_FALSE(page->comm1().isOpen());
    }
}

TEST_F(FlashRun, ImageThatIsNoBootTableNeverReachesTheTarget) {
    page->applicationChosen(kData + "not-a-boot-table.bin");
    page->findChild<QPushButton*>("ButtonProgram")->click();
    // Refused on the page: the kernel would have erased the flash before refusing it.
    ASSERT_EQ(said.size(), 1);
    EXPECT_EQ(said[0].text, "not-a-boot-table.bin is not a whole DSP boot image; nothing was sent: it does not "
                            "start with the boot table key 0x08AA");
    EXPECT_TRUE(said[0].warning);
    EXPECT_FALSE(page->programmer().running());
    EXPECT_FALSE(page->comm1().isOpen());
    EXPECT_EQ(boot.stage(), Bootloader::WaitLock);
    EXPECT_EQ(boot.kernelBytes(), 0);
}

TEST_F(FlashRun, PortThatCannotBeOpenedSaysWhy) {
    page->findChild<QComboBox*>("ComboBoxProgram")->setEditText(kData + "test-application.bin");
    page->applicationChosen(kData + "test-application.bin");
    page->findChild<QPushButton*>("ButtonProgram")->click();
    ASSERT_EQ(said.size(), 1);
    EXPECT_EQ(said[0].text, "File handle is not a comm handle ");
    page->findChild<QComboBox*>("ComboBoxProgram")->setEditText("/dev/no-such-port");
    page->findChild<QPushButton*>("ButtonProgram")->click();
    ASSERT_EQ(said.size(), 2);
    EXPECT_EQ(said[1].text, "Error opening serial port");
    EXPECT_FALSE(page->programmer().running());
}

// ---- logo ----

class LogoRun : public ::testing::Test {
  protected:
    SimulatorThread sim;
    QtSerialChannel channel;
    UpsSession scheduler{channel};
    QTimer timer1;
    AppContext context;
    QPushButton connectButton;
    QList<QString> said;
    std::unique_ptr<FwProgramPage> page;
    ConnectRequest request;

    void SetUp() override {
        QString error;
        ASSERT_TRUE(sim.start(&error)) << error.toStdString();
        request.modelItem = 2; // UpsModel 1
        request.baudItem = 3;  // 9600
        request.portName = sim.devicePath();
        timer1.setInterval(kTickMs);
        QObject::connect(&timer1, &QTimer::timeout, &scheduler, &UpsSession::tick);
        ASSERT_EQ(scheduler.connectLink(request), ConnectResult::Connected);
        timer1.start();
        ASSERT_TRUE(waitFor([this] { return scheduler.linkOk() && scheduler.activity() == ActIdle; }, 20'000));

        context.scheduler = &scheduler;
        context.language = 1;
        FlashPageHooks hooks;
        hooks.showMessage = [this](QWidget*, const QString& text, bool, const QString&) { said.append(text); };
        hooks.listPorts = [] { return QStringList(); };
        hooks.pollTimer = [this] { return &timer1; };
        hooks.portRefreshTimer = [] { return nullptr; };
        hooks.connectButton = [this] { return &connectButton; };
        hooks.linkChoices = [this] { return request; };
        page = std::make_unique<FwProgramPage>(context, hooks);
    }
    void TearDown() override {
        page.reset();
        timer1.stop();
        scheduler.disconnectLink();
        sim.stop();
    }

    void upload(const QString& file) {
        page->findChild<QLineEdit*>("EditChoseLogo")->setText(file);
        page->findChild<QPushButton*>("ButtonUpLogo")->click();
        EXPECT_TRUE(page->logoUpload().running());
        EXPECT_FALSE(connectButton.isEnabled());
        EXPECT_TRUE(waitFor([this] { return !page->logoUpload().running(); }, 30'000));
    }
    // The Modbus link polls again after the upload.
    bool linkBack() {
        return waitFor([this] { return timer1.isActive() && scheduler.portOpen() && scheduler.linkOk(); }, 10'000) &&
               connectButton.isEnabled();
    }
};

TEST_F(LogoRun, LogoUploadedAndLinkRestored) {
    const QString file = kData + "test-logo.logo";
    upload(file);
    EXPECT_EQ(said, QList<QString>{"Upgrade logo ok, please restart UPS"});
    const QByteArray received = fromUps<QByteArray>(sim, [](VirtualUps& ups) { return ups.logo().received(); });
    EXPECT_EQ(received, *buildLogoBuffer(parseLogoText(readFile(file))));
    EXPECT_TRUE(fromUps<bool>(sim, [](VirtualUps& ups) { return ups.logo().finishedOk(); }));
    EXPECT_TRUE(linkBack());
}

TEST_F(LogoRun, FaultsEndInTheirMessageAndTheLinkComesBack) {
    const struct {
        const char* name;
        LogoFault fault;
        const char* message;
    } cases[] = {
        {"bad CRC", LogoFault::BadCrc, "Up logo communication fail"},
        {"wrong block address", LogoFault::WrongAddress, "Up logo communication fail"},
        {"type 3", LogoFault::Type3, "Unidentified DSP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        said.clear();
        sim.withUps([&](VirtualUps& ups) { ups.logo().setFault(c.fault); });
        upload(kData + "test-logo.logo");
        EXPECT_EQ(said, QList<QString>{c.message});
        EXPECT_TRUE(linkBack());
    }
}

TEST_F(LogoRun, PortThatVanishesEndsTheUploadWithItsMessages) {
    sim.withUps([](VirtualUps& ups) { ups.logo().setFault(LogoFault::HangUp); });
    upload(kData + "test-logo.logo");
    // The transfer failed, and the link could not have its port back: the device is gone.
    EXPECT_EQ(said, (QList<QString>{"Up logo communication fail",
                                    "Serial port does not exist or has been occupied by other applications!"}));
    EXPECT_EQ(fromUps<int>(sim, [](VirtualUps& ups) { return ups.logo().blocks(); }), 1);
    EXPECT_FALSE(page->logoUpload().running());
    EXPECT_FALSE(scheduler.portOpen());
    EXPECT_TRUE(connectButton.isEnabled());
}

TEST_F(LogoRun, OversizedFileIsRefusedBeforeAnythingIsSent) {
    page->findChild<QLineEdit*>("EditChoseLogo")->setText(kData + "too-big.logo");
    page->findChild<QPushButton*>("ButtonUpLogo")->click();
    EXPECT_EQ(said, QList<QString>{"File error"});
    EXPECT_FALSE(page->logoUpload().running());
    EXPECT_EQ(scheduler.controlJob().state(), JobIdle);
}

} // namespace
