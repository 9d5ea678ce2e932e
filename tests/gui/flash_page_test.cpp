// The firmware page offscreen: its controls by objectName, the key fields' input rule, the choices
// kept in ZAV.ini, the checks before a run and the update tab that only models 0 to 2 show.

#include "FakeSerialChannel.h"
#include "foundation/ProfileFile.h"
#include "flash/widgets/FwProgramPage.h"
#include "session/UpsSession.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

using namespace zav;

namespace {

// A pseudo-terminal the page can open: a run starts on it.
struct TestPty {
    TestPty() {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0) path = QString::fromLocal8Bit(name);
    }
    ~TestPty() {
        ::close(master);
        ::close(slave);
    }
    int master = -1, slave = -1;
    QString path;
};

// Boot table words, low byte first; a whole image of one block of one word.
QByteArray words(std::initializer_list<uint16_t> ws) {
    QByteArray out;
    for (uint16_t w : ws) out.append(char(w & 0xFF)).append(char(w >> 8));
    return out;
}
const QByteArray kHeader = words({0x08AA, 0, 0, 0, 0, 0, 0, 0, 0, 0x0000, 0x8000});
const QByteArray kWholeImage = kHeader + words({1, 0x003E, 0x8000, 0x1234, 0});

class FlashPage : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    ProfileFile ini{dir.filePath("ZAV.ini")};
    test::FakeSerialChannel channel;
    UpsSession scheduler{channel};
    AppContext context;
    QStringList said;
    QStringList ports{"/dev/ttyS0", "/dev/ttyUSB0"};
    std::unique_ptr<FwProgramPage> page;

    void SetUp() override {
        context.profile = &ini;
        context.scheduler = &scheduler;
        context.language = 1;
        makePage();
    }
    void makePage() {
        FlashPageHooks hooks;
        hooks.showMessage = [this](QWidget*, const QString& text, bool, const QString&) { said << text; };
        hooks.listPorts = [this] { return ports; };
        hooks.kernelDir = dir.path();
        hooks.pollTimer = [] { return nullptr; };
        hooks.portRefreshTimer = [] { return nullptr; };
        hooks.connectButton = [] { return nullptr; };
        page.reset();
        page = std::make_unique<FwProgramPage>(context, hooks);
    }
    template <class T> T* find(const char* name) {
        T* w = page->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString file(const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }
};

TEST_F(FlashPage, ControlsAndDefaults) {
    for (const char* name : {"EditFilePath", "EditChoseLogo"}) EXPECT_NE(find<QLineEdit>(name), nullptr);
    for (const char* name : {"ButtonBrowse", "ButtonProgram", "ButtonProgramReset", "ButtonChosLogo", "ButtonUpLogo"})
        EXPECT_NE(find<QPushButton>(name), nullptr);
    EXPECT_EQ(find<QComboBox>("ComboBoxProgram")->currentText(), "/dev/ttyS0");
    EXPECT_EQ(find<QComboBox>("ComboBoxBaud")->currentText(), "115200");
    EXPECT_EQ(find<QComboBox>("ComboBoxDspType")->currentText(), "F28035");
    EXPECT_EQ(find<QComboBox>("ComboBoxErase")->currentText(), "All Flash");
    EXPECT_TRUE(find<QComboBox>("ComboBoxErase")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("ButtonProgramReset")->isEnabled());
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(find<QLineEdit>(qPrintable(QString("EditKey%1").arg(i)))->text(), "FFFF");
        EXPECT_EQ(find<QLineEdit>(qPrintable(QString("EditID%1").arg(i)))->text(), "FFFF");
    }
    context.language = 0;
    page->applyLanguage(0);
    EXPECT_EQ(find<QComboBox>("ComboBoxErase")->itemText(1), QString::fromUtf8("程序区"));
    EXPECT_EQ(find<QPushButton>("ButtonProgram")->text(), QString::fromUtf8("烧写"));
}

TEST_F(FlashPage, ChoicesGoToTheIniAtOnceAndComeBack) {
    find<QComboBox>("ComboBoxDspType")->setCurrentIndex(1); // F2812
    EXPECT_FALSE(find<QComboBox>("ComboBoxErase")->isEnabled());
    EXPECT_EQ(ini.readInteger("Program Config", "ComboBoxDspType", -1), 1);
    find<QComboBox>("ComboBoxBaud")->setCurrentIndex(6);
    EXPECT_EQ(ini.readInteger("Program Config", "ComboBoxBaud", -1), 6);
    find<QComboBox>("ComboBoxDspType")->setCurrentIndex(0);
    find<QComboBox>("ComboBoxErase")->setCurrentIndex(1);
    EXPECT_EQ(ini.readInteger("Program Config", "ComboBoxErase", -1), 1);
    makePage();
    EXPECT_EQ(find<QComboBox>("ComboBoxBaud")->currentText(), "38400");
    EXPECT_EQ(find<QComboBox>("ComboBoxErase")->currentIndex(), 1);
}

TEST_F(FlashPage, KeyFieldsTakeFourHexDigits) {
    QLineEdit* key = find<QLineEdit>("EditKey3");
    key->selectAll();
    QTest::keyClicks(key, "1g2Z-a9F7");
    EXPECT_EQ(key->text(), "12a9"); // other characters are refused, at most 4
    QTest::keyClick(key, Qt::Key_Backspace);
    EXPECT_EQ(key->text(), "12a");
}

TEST_F(FlashPage, ChecksBeforeARun) {
    QPushButton* program = find<QPushButton>("ButtonProgram");
    find<QComboBox>("ComboBoxProgram")->setEditText(QString());
    program->click();
    find<QComboBox>("ComboBoxProgram")->setEditText("/dev/ttyS0");
    program->click(); // no file
    page->applicationChosen(file("app.bin", QByteArray::fromHex("600712")));
    find<QLineEdit>("EditID7")->setText("FFF");
    program->click();
    EXPECT_EQ(said, (QStringList{"Serial port does not exist or has been occupied by other applications!",
                                 "Please select the target file!", "Check the value, please!"}));
    EXPECT_FALSE(page->programmer().running());
    EXPECT_EQ(find<QPlainTextEdit>("MemoRec")->toPlainText(),
              "****** Please reset target in SCI bootloader mode ******\nProgram Checksum = 0x7006");
}

TEST_F(FlashPage, NoRunWhileTheUpsLinkIsConnected) {
    ConnectRequest r;
    r.portName = "/dev/ttyS0";
    r.modelItem = 2;
    r.baudItem = 3;
    ASSERT_EQ(scheduler.connectLink(r), ConnectResult::Connected);
    page->applicationChosen(file("app.bin", "xy"));
    for (int language : {1, 0, 2}) {
        context.language = language;
        page->applyLanguage(language);
        find<QPushButton>("ButtonProgram")->click();
    }
    // What to do, not a port fault that is not there.
    EXPECT_EQ(said, (QStringList{"The UPS link is connected: disconnect it before programming!",
                                 QString::fromUtf8("请先断开UPS通信连接，再进行烧录！"),
                                 QString::fromUtf8("請先斷開UPS通訊連接，再進行燒錄！")}));
    EXPECT_TRUE(channel.isOpen()); // the link is left as the user has it
    EXPECT_FALSE(page->programmer().running());
}

TEST_F(FlashPage, FileThatIsNotAWholeBootImageIsRefusedBeforeThePortOpens) {
    TestPty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    const QByteArray& whole = kWholeImage;
    const QString kernel = dir.filePath("Flash28035_All_API.bin"); // item 0, whole flash
    const struct {
        const char* name;
        QByteArray application;
        QByteArray kernel; // empty: no kernel file (said after the first lock, as before)
        const char* box;   // nullptr: the run starts
    } cases[] = {
        {"whole image, no kernel yet", whole, {}, nullptr},
        {"whole image and kernel", whole, whole, nullptr},
        {"not a boot table", QByteArray::fromHex("600712"), whole,
         "app.bin is not a whole DSP boot image; nothing was sent: it does not start with the boot table key 0x08AA"},
        {"header and closing block only", kHeader + words({0}), whole,
         "app.bin is not a whole DSP boot image; nothing was sent: the boot table holds no data block"},
        {"bytes after the closing block", whole + "xy", whole,
         "app.bin is not a whole DSP boot image; nothing was sent: 2 byte(s) follow the closing block"},
        {"kernel that is no boot table", whole, "MZ", "Flash28035_All_API.bin is not a whole DSP boot image"},
    };
    find<QComboBox>("ComboBoxProgram")->setEditText(pty.path);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        said.clear();
        QFile::remove(kernel);
        if (!c.kernel.isEmpty()) file("Flash28035_All_API.bin", c.kernel);
        page->applicationChosen(file("app.bin", c.application));
        find<QPushButton>("ButtonProgram")->click();
        EXPECT_EQ(page->programmer().running(), c.box == nullptr);
        EXPECT_EQ(page->comm1().isOpen(), c.box == nullptr);
        if (c.box) {
            ASSERT_EQ(said.size(), 1);
            EXPECT_TRUE(said[0].startsWith(QLatin1String(c.box))) << said[0].toStdString();
            EXPECT_TRUE(find<QPushButton>("ButtonProgram")->isEnabled());
        } else {
            EXPECT_TRUE(said.isEmpty()) << said.join('|').toStdString();
            page->buttonProgramResetClick();
        }
    }
}

TEST_F(FlashPage, LanguageChangeSelectsTheFirstPortAgainWhileIdle) {
    QComboBox* port = find<QComboBox>("ComboBoxProgram");
    port->setCurrentIndex(1);
    page->applyLanguage(0);
    EXPECT_EQ(port->currentText(), "/dev/ttyS0");
    EXPECT_EQ(page->comm1().commName(), "/dev/ttyS0");
    EXPECT_EQ(page->programmer().idleWatch(), 0);
    EXPECT_FALSE(find<QPushButton>("ButtonProgramReset")->isEnabled());

    // A run keeps its port and its idle watch, so Cancel still comes for a silent target.
    TestPty pty;
    port->setEditText(pty.path);
    page->applicationChosen(file("app.bin", kWholeImage));
    find<QPushButton>("ButtonProgram")->click();
    ASSERT_TRUE(page->programmer().running()) << said.join('|').toStdString();
    page->applyLanguage(1);
    EXPECT_EQ(port->currentText(), pty.path);
    EXPECT_EQ(page->programmer().idleWatch(), 1);
    page->buttonProgramResetClick();
}

TEST_F(FlashPage, UpdateTabOnlyForModelsZeroToTwo) {
    QTabWidget* tabs = find<QTabWidget>("PageControl4");
    for (int model : {0, 1, 2, 3, 8}) {
        ConnectRequest r;
        r.portName = "/dev/ttyS0";
        r.modelItem = model + 1;
        r.baudItem = 3;
        scheduler.connectLink(r);
        page->applyLanguage(1);
        EXPECT_EQ(tabs->isTabVisible(1), model <= 2) << model;
        scheduler.disconnectLink();
    }
}

TEST_F(FlashPage, LogoNeedsTheLinkAndAFile) {
    find<QPushButton>("ButtonUpLogo")->click();
    ConnectRequest r;
    r.portName = "/dev/ttyS0";
    r.modelItem = 2;
    r.baudItem = 3;
    ASSERT_EQ(scheduler.connectLink(r), ConnectResult::Connected);
    find<QPushButton>("ButtonUpLogo")->click();
    page->logoChosen(file("bad.logo", "0X12"));
    find<QPushButton>("ButtonUpLogo")->click();
    EXPECT_EQ(said, (QStringList{"Please connect serial port", "Please chose logo file", "File error"}));
    page->logoChosen(file("good.logo", "0x01 0x02 0x03"));
    find<QPushButton>("ButtonUpLogo")->click();
    EXPECT_TRUE(page->logoUpload().running());
    EXPECT_FALSE(find<QPushButton>("ButtonUpLogo")->isEnabled());
    EXPECT_EQ(scheduler.controlJob().reg(), 357);
    EXPECT_EQ(scheduler.controlJob().value(), 1);
}

} // namespace
