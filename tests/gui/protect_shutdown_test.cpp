// The PC protection in the window, on a scripted UPS: the shutdown tab per model, confirming the
// settings, the countdown window and its buttons, the UPS switch-off command, the dry-run power-off,
// a pulled cable, and the close list at activation. TimerShutdown's slot is called second by second.

#include "app_fixture.h"

#include "FakeUps.h"
#include "foundation/ProfileFile.h"
#include "session/UpsSession.h"
#include "protect/widgets/FmCloseFile.h"
#include "protect/widgets/FormCountDown.h"
#include "protect/widgets/FormUpsOff.h"
#include "protect/widgets/ProtectionController.h"
#include "monitor/widgets/AlarmBeeper.h"

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
#include <QWindow>

using namespace zav;
using namespace zav::test;

namespace {

constexpr int kInputFail = 88;

class ProtectTest : public ShellTest {
protected:
    std::unique_ptr<FakeUps> ups;

    ProtectionController& protection() { return shell->protection(); }
    UpsSession& scheduler() { return window().scheduler(); }
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
    EXPECT_EQ(find<QLabel>("LabelShutSetResult")->text(), "The shutdown settings are kept and apply now.");
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

// A click as the window system delivers it: through the window, so a window blocked by a modal box
// never sees it.
void clickThroughWindow(QWidget* button) {
    QWidget* top = button->window();
    ASSERT_NE(top->windowHandle(), nullptr);
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, button->mapTo(top, button->rect().center()));
}

// The alarm box of the same utility failure opens over the main window; it takes no input away from
// the countdown, whose buttons act at once, and the countdown does not cover it.
TEST_F(ProtectTest, CountdownButtonsActWhileTheAlarmBoxIsOpen) {
    for (const char* button : {"ButtonShut", "ButtonCancel"}) {
        SCOPED_TRACE(button);
        writeIni("[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=10\n");
        start(options());
        window().show();
        connectModel(7);
        report(83, 1); // battery connected: the utility failure is the only alarm
        report(kInputFail, 1);
        window().findChild<AlarmBeeper*>("btBeeper")->timerBeeperTimer();
        seconds(1);
        QMessageBox* box = window().findChild<QMessageBox*>("AlarmWarningBox");
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(box->isVisible());
        EXPECT_EQ(box->text(), "Utility Abnormal");
        ASSERT_TRUE(countDown()->isVisible());
        EXPECT_FALSE(countDown()->frameGeometry().intersects(box->frameGeometry()))
            << "countdown " << countDown()->frameGeometry().x() << "," << countDown()->frameGeometry().y();

        clickThroughWindow(countDown()->findChild<QPushButton*>(button));
        seconds(1);
        if (QByteArray(button) == "ButtonShut") {
            EXPECT_EQ(protection().dryRun()->calls(), 1);
        } else {
            EXPECT_TRUE(protection().policy().cancelled());
            EXPECT_FALSE(countDown()->isVisible());
        }
        EXPECT_TRUE(box->isVisible()); // the alarm box stays until the user closes it
    }
}

// The UPS's switch-off order cannot be withdrawn, so it stays visible: the countdown says when it
// falls due; once the mains are back a warning of its own stays (it refuses to be closed) until
// that time has passed; the home page says "output off" while the UPS reports no supply.
TEST_F(ProtectTest, PendingSwitchOffStaysVisibleUntilItsTime) {
    writeIni("[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=10\n"
             "CheckBoxUtilityFailUpsShutDelay=1\nSEUtilityFailUpsShutDelay=5\n");
    start(options());
    qint64 now = 100;
    protection().setClock([&now] { return now; });
    connectModel(7);
    report(81, 1); // supplied by the inverter
    auto* outputOff = find<QLabel>("LabelOutputOff");
    ASSERT_TRUE(ups->stepUntil([&] { return outputOff->isHidden(); }));
    report(kInputFail, 1);
    seconds(1);
    ASSERT_TRUE(countDown()->isVisible());
    EXPECT_TRUE(countDown()->upsOffText().startsWith("The UPS has been told to switch its output off at "))
        << countDown()->upsOffText().toStdString();
    EXPECT_TRUE(countDown()->upsOffText().contains("(in 605 s)")) << countDown()->upsOffText().toStdString();
    now = 130;
    seconds(1);
    EXPECT_TRUE(countDown()->upsOffText().contains("(in 575 s)")) << countDown()->upsOffText().toStdString();

    now = 160;
    report(kInputFail, 0);
    seconds(1);
    EXPECT_FALSE(countDown()->isVisible());
    FormUpsOff* warning = protection().formUpsOff();
    ASSERT_TRUE(warning->isVisible());
    EXPECT_TRUE(warning->text().contains("The event is gone")) << warning->text().toStdString();
    EXPECT_TRUE(warning->text().contains("(in 545 s)")) << warning->text().toStdString();
    EXPECT_TRUE(warning->windowFlags() & Qt::WindowStaysOnTopHint);
    warning->close();
    EXPECT_TRUE(warning->isVisible());
    EXPECT_TRUE(protection().log().join('\n').contains("it does so in 545 s"));

    now = 705; // the order's time: the UPS switches its output off
    report(81, 0);
    seconds(1);
    EXPECT_FALSE(warning->isVisible());
    ASSERT_TRUE(ups->stepUntil([&] { return !outputOff->isHidden(); }));
    EXPECT_EQ(outputOff->text(), "UPS output off");
    ups->silent = true; // cleared stores say nothing about the output
    ASSERT_TRUE(ups->stepUntil([&] { return !scheduler().linkOk(); }));
    EXPECT_TRUE(outputOff->isHidden());
    ups->silent = false;
    ASSERT_TRUE(ups->stepUntil([&] { return scheduler().linkOk() && scheduler().live().LiveStatus[81] == 0; }));
    ASSERT_TRUE(ups->stepUntil([&] { return !outputOff->isHidden(); }));
    report(81, 1); // back on after the UPS's restore delay
    EXPECT_TRUE(ups->stepUntil([&] { return outputOff->isHidden(); }));
}

// Ending the program (here the window's Exit, as a signal does) leaves the event loop at once with the
// countdown on screen, which refuses every close, and starts nothing.
TEST_F(ProtectTest, ExitEndsTheLoopWithTheCountdownOnScreen) {
    writeIni("[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=1\n");
    start(options());
    connectModel(7);
    report(kInputFail, 1);
    seconds(1);
    ASSERT_TRUE(countDown()->isVisible());
    // The wiring of zav's main().
    QObject::connect(&window(), &MainWindow::quitRequested, &window(), [this] { shell->endProgram(); },
                     Qt::QueuedConnection);
    QTimer::singleShot(0, &window(), [this] { window().exitApplication(); });
    QTimer bound; // a loop that does not end is ended here and reported
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    bound.start(20000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(countDown()->isVisible());
    EXPECT_FALSE(find<QTimer>("TimerShutdown")->isActive());
    seconds(120);
    EXPECT_EQ(protection().dryRun()->calls(), 0);
    EXPECT_FALSE(protection().policy().started());
}

TEST_F(ProtectTest, PulledCableFreezesAndMainsReturningClosesTheWindow) {
    writeIni("[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=1\n");
    start(options());
    connectModel(7);
    report(kInputFail, 1);
    seconds(30);
    EXPECT_EQ(countDown()->secondsText(), "31");
    EXPECT_EQ(countDown()->heldText(), "");
    ups->silent = true;
    ASSERT_TRUE(ups->stepUntil([&] { return !scheduler().linkOk(); }));
    seconds(600);
    EXPECT_EQ(protection().dryRun()->calls(), 0);
    EXPECT_EQ(countDown()->secondsText(), "31");
    EXPECT_EQ(countDown()->heldText(), "link lost: countdown held");
    ups->silent = false;
    ASSERT_TRUE(ups->stepUntil([&] { return scheduler().linkOk() && scheduler().live().LiveStatus[kInputFail] == 1; }));
    seconds(1);
    EXPECT_EQ(countDown()->secondsText(), "30");
    EXPECT_EQ(countDown()->heldText(), "");
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
    EXPECT_EQ(countDown()->findChild<QLabel*>("LabelHeld")->text(), QString::fromUtf8("通讯中断：倒计时暂停"));
    EXPECT_EQ(protection().formUpsOff()->windowTitle(), QString::fromUtf8("UPS即将关闭输出"));
}

} // namespace
