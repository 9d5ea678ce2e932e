// Start-up of the main window: the language from ZAV.ini or the system locale, the controls by
// their names, the stored password, and that starting writes nothing.

#include "app_fixture.h"

#include "foundation/Passwords.h"
#include "pagekit/LockPanel.h"
#include "session/UpsSession.h"

#include <QComboBox>
#include <QLabel>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace zav;
using namespace zav::test;

namespace {

struct LanguageCase {
    const char* name;
    QByteArray ini; // empty: no ZAV.ini
    QLocale locale;
    const char* home;    // tree node 0
    const char* title;   // window title
    const char* connect; // ButtonConnect
    const char* status;  // StatusBar1 panel 0
};

void PrintTo(const LanguageCase& c, std::ostream* os) { *os << c.name; }

class StartLanguage : public ShellTest, public ::testing::WithParamInterface<LanguageCase> {};

} // namespace

TEST_P(StartLanguage, CaptionsFollowTheChosenLanguageAndNothingIsWritten) {
    const LanguageCase& c = GetParam();
    if (!c.ini.isEmpty()) writeIni(c.ini);
    MainWindow& w = start(options(c.locale));

    auto* tree = find<QTreeWidget>("TreeView1");
    ASSERT_EQ(tree->topLevelItemCount(), kPageCount);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QString::fromUtf8(c.home));
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8(c.title));
    EXPECT_EQ(find<QPushButton>("ButtonConnect")->text(), QString::fromUtf8(c.connect));
    w.scheduler().tick();
    auto* status = find<QLabel>("StatusPanel0");
    EXPECT_EQ(status->text(), QString::fromUtf8(c.status));
    EXPECT_EQ(readIni(), c.ini); // start-up reads only
}

INSTANTIATE_TEST_SUITE_P(
    Shell, StartLanguage,
    ::testing::Values(
        LanguageCase{"NoIniPrc", {}, prcLocale(), "首        页", "UPS电源监控", "连接", "UPS未连接"},
        LanguageCase{"NoIniTaiwan", {}, QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan),
                     "Home", "UPS POWER ZAV", "Connect", "UPS not Connected"},
        LanguageCase{"NoIniUs", {}, usLocale(), "Home", "UPS POWER ZAV", "Connect", "UPS not Connected"},
        LanguageCase{"IniOnlyCht", "[LanguageSet]\nLanguage=CHT\n", usLocale(), "首        頁", "UPS电源监控",
                     "連接", "UPS未連接"},
        LanguageCase{"IniEnOnPrc", "[LanguageSet]\nLanguage=EN\n", prcLocale(), "Home", "UPS POWER ZAV",
                     "Connect", "UPS not Connected"},
        LanguageCase{"IniUnsetOnPrc", "[LanguageSet]\nLanguage=XXX\n", prcLocale(), "首        页", "UPS电源监控",
                     "连接", "UPS未连接"},
        LanguageCase{"IniUnknownText", "[LanguageSet]\nLanguage=FR\n", prcLocale(), "Home", "UPS POWER ZAV",
                     "Connect", "UPS not Connected"},
        LanguageCase{"IniWithoutLanguage", "[Window]\nExitToPallet=1\n", prcLocale(), "首        页",
                     "UPS电源监控", "连接", "UPS未连接"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellTest, EveryControlOfTheWindowByItsName) {
    MainWindow& w = start(options());
    EXPECT_EQ(w.objectName(), "Form1");
    EXPECT_EQ(find<QStackedWidget>("PageControl1")->count(), kPageCount);
    EXPECT_EQ(find<QTimer>("Timer1")->interval(), 50);
    EXPECT_TRUE(find<QTimer>("Timer1")->isActive());
    EXPECT_EQ(find<QTimer>("TimerGetComPort")->interval(), 2000);
    EXPECT_TRUE(find<QTimer>("TimerGetComPort")->isActive());
    EXPECT_NE(find<QStatusBar>("StatusBar1"), nullptr);
    EXPECT_EQ(find<QLabel>("StatusPanel0")->width(), 130);
    EXPECT_EQ(find<QLabel>("StatusPanel1")->width(), 150);

    auto* models = find<QComboBox>("ComboBoxUpsType");
    ASSERT_EQ(models->count(), 10);
    EXPECT_EQ(models->currentIndex(), 0);
    EXPECT_EQ(models->itemText(0), "Auto");
    EXPECT_EQ(models->itemText(9), "1/1 Tower(1-3kVA)");
    auto* baud = find<QComboBox>("ComboBox1");
    ASSERT_EQ(baud->count(), 8);
    EXPECT_EQ(baud->itemText(4), "14400");
    EXPECT_EQ(baud->currentText(), "Auto");
    auto* port = find<QComboBox>("ComboBox2");
    EXPECT_TRUE(port->isEditable());
    EXPECT_EQ(port->count(), 2);
    EXPECT_EQ(port->currentText(), "/dev/ttyS0");
    auto* proto = find<QComboBox>("ComboBoxProto");
    EXPECT_EQ(proto->currentText(), "MODBUS_ASCII");
    EXPECT_EQ(proto->itemText(1), "MODBUS_RTU");
    EXPECT_EQ(find<QLineEdit>("EditUpsAddr")->text(), "1");

    // Branding column 1: the customer logo only; the language labels are hidden.
    EXPECT_TRUE(find<QLabel>("ImageCustomerLogo")->isVisibleTo(&w));
    for (const char* hidden : {"Image8", "Image1", "ImageEnglandFlag", "LabelChinese", "LabelEnglish", "LabelCHT"})
        EXPECT_FALSE(find<QWidget>(hidden)->isVisibleTo(&w)) << hidden;
    EXPECT_FALSE(find<QWidget>("LabelCHT")->isEnabled());
    EXPECT_EQ(find<QLabel>("Label100")->size(), QSize(25, 25));
    EXPECT_TRUE(find<QLabel>("Label100")->text().isEmpty());
    EXPECT_NE(find<QWidget>("SpeedButtonSysSet"), nullptr);

    // The five windows, in their order after the main window.
    EXPECT_NE(w.findChild<QWidget*>("FormSCode"), nullptr);
    EXPECT_NE(w.findChild<QWidget*>("FormPassword"), nullptr);
    // The countdown is a window of its own (no box of the main window may block it).
    ASSERT_NE(shell->formCountDown(), nullptr);
    EXPECT_EQ(shell->formCountDown()->objectName(), "FormCountDown");
    EXPECT_EQ(shell->formCountDown()->parentWidget(), nullptr);
    EXPECT_NE(w.findChild<QWidget*>("fmCloseFile"), nullptr);
}

TEST_F(ShellTest, HelpAndAboutShowTheBranding) {
    MainWindow& w = start(options(prcLocale()));
    w.showPage(15);
    auto* title = find<QLabel>("Label11");
    auto* version = find<QLabel>("Label12");
    EXPECT_EQ(title->text(), QString::fromUtf8("UPS电源监控"));
    EXPECT_EQ(version->text(), "Version 1.92_EC");
    EXPECT_EQ(title->pos(), QPoint(260, 150));
    EXPECT_EQ(version->pos(), QPoint(260, 190));
    for (const char* maker : {"LabelRights", "LabelWeb", "ImageCompany", "LabelContact"})
        EXPECT_FALSE(find<QWidget>(maker)->isVisibleTo(&w)) << maker;
    auto* memo = find<QWidget>("Memo1");
    ASSERT_NE(memo, nullptr);
}

TEST_F(ShellTest, StoredPasswordOpensTheLocksAndABrokenOneFallsBack) {
    writeIni("[mm]\nm=" + scramble("4711", kMasterPassword).toLatin1() + "\n");
    start(options());
    EXPECT_EQ(window().passwords().current(), "4711");

    writeIni("[mm]\nm=not-hex!\n");
    start(options());
    EXPECT_EQ(window().passwords().current(), "73019264");
}

TEST_F(ShellTest, PageTreeSelectsThePage) {
    MainWindow& w = start(options());
    auto* pages = find<QStackedWidget>("PageControl1");
    auto* tree = find<QTreeWidget>("TreeView1");
    for (int index : {3, 15, 0}) {
        tree->setCurrentItem(tree->topLevelItem(index));
        EXPECT_EQ(pages->currentIndex(), index);
    }
    w.showPage(12);
    EXPECT_EQ(pages->currentIndex(), 12);
    EXPECT_TRUE(w.lock(12)->isVisibleTo(&w));
}
