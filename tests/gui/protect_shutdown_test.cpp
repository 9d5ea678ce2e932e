// The PC protection in the window, on a scripted UPS: the shutdown tab per model, confirming the
// settings, the countdown window and its buttons, the UPS switch-off command, the dry-run power-off,
// a pulled cable, and the close list at activation. TimerShutdown's slot is called second by second.

#include "app_fixture.h"

#include "FakeUps.h"
#include "app/ProfileFile.h"
#include "link/Scheduler.h"
#include "protect/widgets/FmCloseFile.h"
#include "protect/widgets/FormCountDown.h"
#include "protect/widgets/ProtectionController.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace zav;
using namespace zav::test;

namespace {

constexpr int kInputFail = 88;

class ProtectTest : public ShellTest {
protected:
    std::unique_ptr<FakeUps> ups;

    ProtectionController& protection() { return shell->protection(); }
    Scheduler& scheduler() { return window().scheduler(); }
    FormCountDown* countDown() { return protection().formCountDown(); }

    // The real pages, but for the record pages (7 and 8), which play no part in the protection.
    ShellOptions options(QLocale locale = usLocale()) {
        ShellOptions o = ShellTest::options(locale);
        o.pageFactory = [](int index, AppContext& context, QWidget* parent) -> ZavPage* {
            return index == 7 || index == 8 ? new ZavPage(context, parent) : nullptr;
        };
        return o;
    }

    // Connects with the model chosen in the bar (model k is item k + 1) and waits for a live cycle.
    void connectModel(int model) {
        ups = std::make_unique<FakeUps>(channel, scheduler());
        find<QComboBox>("ComboBoxUpsType")->setCurrentIndex(model + 1);
        find<QComboBox>("ComboBox1")->setCurrentIndex(3);
        QTest::mouseClick(find<QPushButton>("ButtonConnect"), Qt::LeftButton);
        ASSERT_TRUE(ups->stepUntil([&] { return scheduler().linkOk() && scheduler().activity() == ActIdle; }));
    }
    // The UPS reports a word; steps until the live store holds it.
    void report(int reg, uint16_t value) {
        ups->registers[reg] = value;
        ASSERT_TRUE(ups->stepUntil([&] { return scheduler().live().LiveStatus[reg] == value; }));
    }
    void seconds(int n) {
        for (int i = 0; i < n; ++i) protection().timerShutdownTimer();
    }
    bool shutdownTabVisible() {
        auto* tabs = find<QTabWidget>("PageControl3");
        return tabs->isTabVisible(tabs->indexOf(find<QWidget>("TabSheetShutdown")));
    }
    QVector<Request> upsOffCommands() const {
        QVector<Request> out;
        for (const Request& r : ups->requests)
            if (r.function == 0x68 && r.start == 358) out << r;
        return out;
    }
};

TEST_F(ProtectTest, TabExistsOnlyForModelsFiveSevenEightAndLoadsTheSettings) {
    writeIni("[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=25\nCheckBoxUtilityFailUpsShutDelay=0\n"
             "SEUtilityFailUpsShutDelay=120\nEditRunExProcedureAddr=/usr/bin/backup --now\n");
    start(options());
    EXPECT_FALSE(shutdownTabVisible()); // model 1 until a connection says otherwise
    EXPECT_FALSE(find<QCheckBox>("CheckBoxShutdownEnable")->isChecked());
    EXPECT_TRUE(find<QTimer>("TimerShutdown")->isActive());
    EXPECT_EQ(find<QTimer>("TimerShutdown")->interval(), 1000);

    connectModel(7);
    EXPECT_TRUE(shutdownTabVisible());
    EXPECT_TRUE(find<QCheckBox>("CheckBoxShutdownEnable")->isChecked());
    EXPECT_EQ(find<QSpinBox>("SEUtilityFailShutDelay")->value(), 25);
    EXPECT_EQ(find<QSpinBox>("SEUtilityFailUpsShutDelay")->value(), 120);
    EXPECT_FALSE(find<QSpinBox>("SEUtilityFailUpsShutDelay")->isEnabled()); // its box is not ticked
    EXPECT_EQ(find<QSpinBox>("SEBattVoltLowShutDelay")->value(), 1);         // default
    EXPECT_EQ(find<QLineEdit>("EditRunExProcedureAddr")->text(), "/usr/bin/backup --now");
    find<QCheckBox>("CheckBoxUtilityFailUpsShutDelay")->setChecked(true);
    EXPECT_TRUE(find<QSpinBox>("SEUtilityFailUpsShutDelay")->isEnabled());
}

TEST_F(ProtectTest, ModelOneDoesNothingOnUtilityFailure) {
    writeIni("[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=0\n");
    start(options());
    connectModel(1);
    EXPECT_FALSE(shutdownTabVisible());
    report(kInputFail, 1);
    seconds(5);
    EXPECT_FALSE(countDown()->isVisible());
    EXPECT_EQ(protection().dryRun()->calls(), 0);
}

TEST_F(ProtectTest, SetWritesShutEventsAndTheNewDelaysCount) {
    start(options());
    connectModel(5);
    find<QCheckBox>("CheckBoxShutdownEnable")->setChecked(true);
    find<QSpinBox>("SEUtilityFailShutDelay")->setValue(2);
    find<QCheckBox>("CheckBoxUtilityFailUpsShutDelay")->setChecked(true);
    find<QSpinBox>("SEUtilityFailUpsShutDelay")->setValue(30);
    QTest::mouseClick(find<QPushButton>("ButtonShutSet"), Qt::LeftButton);
    const QByteArray ini = readIni();
    EXPECT_TRUE(ini.contains("[ShutEvents]"));
    EXPECT_TRUE(ini.contains("CheckBoxShutdownEnable=1"));
    EXPECT_TRUE(ini.contains("SEUtilityFailShutDelay=2"));
    EXPECT_TRUE(ini.contains("SEUtilityFailUpsShutDelay=30"));
    EXPECT_EQ(protection().policy().delay(ShutdownPolicy::Utility), 120);
    EXPECT_EQ(protection().policy().upsDelay(ShutdownPolicy::Utility), 150);
}

TEST_F(ProtectTest, CountdownSwitchOffAndShutNowReachTheDryRun) {
    writeIni("[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=10\n"
             "CheckBoxUtilityFailUpsShutDelay=1\nSEUtilityFailUpsShutDelay=5\n");
    start(options());
    connectModel(8);
    report(kInputFail, 1);
    seconds(1);
    ASSERT_TRUE(countDown()->isVisible());
    EXPECT_TRUE(countDown()->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(countDown()->secondsText(), "600");
    seconds(3);
    EXPECT_EQ(countDown()->secondsText(), "597");

    // The switch-off command went out once, with 10 minutes and 5 seconds.
    ASSERT_TRUE(ups->stepUntil([&] { return !upsOffCommands().isEmpty(); }));
    ups->steps(100);
    ASSERT_EQ(upsOffCommands().size(), 1);
    EXPECT_EQ(upsOffCommands().first().value, 605);

    QTest::mouseClick(countDown()->findChild<QPushButton*>("ButtonShut"), Qt::LeftButton);
    EXPECT_EQ(protection().dryRun()->calls(), 0); // at the next tick, not inside the click
    seconds(1);
    EXPECT_EQ(protection().dryRun()->calls(), 1);
    auto* box = window().findChild<QMessageBox*>("MessageBoxProtect");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->text().startsWith("Dry run"));
    seconds(100);
    EXPECT_EQ(protection().dryRun()->calls(), 1);
}

TEST_F(ProtectTest, CancelClosesTheWindowAndTheCountdownShutsNothingDown) {
    writeIni("[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=1\n");
    start(options());
    connectModel(7);
    report(kInputFail, 1);
    seconds(1);
    QTest::mouseClick(countDown()->findChild<QPushButton*>("ButtonCancel"), Qt::LeftButton);
    EXPECT_FALSE(countDown()->isVisible());
    seconds(120);
    EXPECT_FALSE(countDown()->isVisible());
    EXPECT_EQ(protection().dryRun()->calls(), 0);
    // The window's own close (Alt+F4) does not hide a running countdown.
    report(kInputFail, 0);
    seconds(1);
    report(kInputFail, 1);
    seconds(1);
    ASSERT_TRUE(countDown()->isVisible());
    countDown()->close();
    EXPECT_TRUE(countDown()->isVisible());
}

TEST_F(ProtectTest, PulledCableFreezesAndMainsReturningClosesTheWindow) {
    writeIni("[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=1\n");
    start(options());
    connectModel(7);
    report(kInputFail, 1);
    seconds(30);
    EXPECT_EQ(countDown()->secondsText(), "31");
    ups->silent = true;
    ASSERT_TRUE(ups->stepUntil([&] { return !scheduler().linkOk(); }));
    seconds(600);
    EXPECT_EQ(protection().dryRun()->calls(), 0);
    EXPECT_EQ(countDown()->secondsText(), "31");
    ups->silent = false;
    ASSERT_TRUE(ups->stepUntil([&] { return scheduler().linkOk() && scheduler().live().LiveStatus[kInputFail] == 1; }));
    seconds(1);
    EXPECT_EQ(countDown()->secondsText(), "30");
    report(kInputFail, 0);
    seconds(1);
    EXPECT_FALSE(countDown()->isVisible());
    seconds(100);
    EXPECT_EQ(protection().dryRun()->calls(), 0);
}

TEST_F(ProtectTest, CloseListShowsOnceAtActivation) {
    writeIni("[ShutEvents]\nCheckBoxShowSaveFile=1\n");
    {
        QFile f(dir.filePath("CLOSEAPP.INI"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Main]\nAppNumber=3\nApp0=Word\nApp1=\nApp2=gedit\nShowMsg=1\n"
                "[Word]\nTitle=Word\nFileNumber=2\nFile0=/home/me/a.doc\nFile1=/home/me/b.doc\n"
                "[gedit]\nFileNumber=1\nFile0=/home/me/notes.txt\n");
    }
    start(options());
    protection().formActivate();
    FmCloseFile* list = protection().fmCloseFile();
    ASSERT_TRUE(list->isVisible());
    auto* apps = list->findChild<QListWidget*>("listbox1");
    auto* files = list->findChild<QListWidget*>("ListBox2");
    ASSERT_EQ(apps->count(), 2);
    EXPECT_EQ(apps->item(1)->text(), "gedit");
    ASSERT_EQ(files->count(), 2);
    EXPECT_EQ(files->item(1)->text(), "/home/me/b.doc");
    apps->setCurrentRow(1);
    ASSERT_EQ(files->count(), 1);
    EXPECT_EQ(files->item(0)->text(), "/home/me/notes.txt");
    EXPECT_EQ(ProfileFile(dir.filePath("CLOSEAPP.INI")).readInteger("Main", "ShowMsg", -1), 0);

    QTest::mouseClick(list->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    EXPECT_FALSE(list->isVisible());
    protection().formActivate();
    EXPECT_FALSE(list->isVisible());
}

TEST_F(ProtectTest, CloseListStaysClosedWithoutTheBox) {
    {
        QFile f(dir.filePath("CLOSEAPP.INI"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Main]\nAppNumber=1\nApp0=Word\nShowMsg=1\n");
    }
    start(options());
    protection().formActivate();
    EXPECT_FALSE(protection().fmCloseFile()->isVisible());
    EXPECT_EQ(ProfileFile(dir.filePath("CLOSEAPP.INI")).readInteger("Main", "ShowMsg", -1), 1);
}

TEST_F(ProtectTest, TextsFollowTheLanguage) {
    start(options(prcLocale()));
    EXPECT_EQ(countDown()->windowTitle(), QString::fromUtf8("关机倒计时"));
    EXPECT_EQ(countDown()->findChild<QPushButton*>("ButtonCancel")->text(), QString::fromUtf8("取消关机"));
    EXPECT_EQ(find<QCheckBox>("CheckBoxShutdownEnable")->text(), QString::fromUtf8("关机使能"));
    EXPECT_EQ(protection().fmCloseFile()->windowTitle(), QString::fromUtf8("关机文件记录"));
}

} // namespace
