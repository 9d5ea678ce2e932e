// Closing the main window, the tray icon and its menu, and the software settings dialog.

#include "app_fixture.h"

#include "FakeUps.h"
#include "app/widgets/FormPassword.h"
#include "session/UpsSession.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace zav;
using namespace zav::test;

namespace {

class TrayTest : public ShellTest {
protected:
    MainWindow& startWithTray(QLocale locale = usLocale()) {
        MainWindow& w = start(options(locale, false, true));
        w.show();
        return w;
    }
};

} // namespace

TEST_F(TrayTest, FirstCloseAsksOnceAndYesKeepsTheProgramInTheTray) {
    MainWindow& w = startWithTray();
    QSignalSpy quit(&w, &MainWindow::quitRequested);
    dialogs.answers = {true};
    w.close();
    EXPECT_EQ(dialogs.questions, QStringList{"Minimize the window to tray?"});
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(quit.count(), 0);
    EXPECT_EQ(readIni(), "[Window]\nExitToPallet=1\n");

    w.trayActivated(QSystemTrayIcon::Trigger); // left click
    EXPECT_TRUE(w.isVisible());
    w.close();
    EXPECT_EQ(dialogs.questions.size(), 1); // never again
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(quit.count(), 0);
}

TEST_F(TrayTest, AnswerNoEndsTheProgramAndTheNextStartDoesNotAsk) {
    {
        MainWindow& w = startWithTray(prcLocale());
        QSignalSpy quit(&w, &MainWindow::quitRequested);
        dialogs.answers = {false};
        w.close();
        EXPECT_EQ(dialogs.questions, QStringList{QString::fromUtf8("窗口关闭时是否最小化到托盘?")});
        EXPECT_EQ(quit.count(), 1);
        EXPECT_EQ(readIni(), "[Window]\nExitToPallet=0\n");
    }
    MainWindow& next = startWithTray();
    QSignalSpy quit(&next, &MainWindow::quitRequested);
    next.close();
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(quit.count(), 1);
}

TEST_F(TrayTest, TrayMenuExitEndsAtOnceWithoutTheQuestion) {
    MainWindow& w = startWithTray();
    QSignalSpy quit(&w, &MainWindow::quitRequested);
    auto* menu = find<QMenu>("PopupMenu1");
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->objectName(), "N2");
    EXPECT_EQ(menu->actions()[0]->text(), QString::fromUtf8("软件设置"));
    EXPECT_EQ(menu->actions()[1]->text(), QString::fromUtf8("退出"));
    // The program's name, then what the home page's status strip says (here: nothing known yet).
    EXPECT_EQ(w.trayIcon()->toolTip(), QString::fromUtf8("UPS ZAV\nNo data · Not connected"));
    EXPECT_EQ(w.trayIcon()->contextMenu(), menu);

    menu->actions()[1]->trigger();
    EXPECT_GE(quit.count(), 1);
    w.close(); // the application closes its windows on the way out
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_TRUE(readIni().isEmpty());
}

TEST_F(TrayTest, MinimisingHidesTheWindow) {
    MainWindow& w = startWithTray();
    w.showMinimized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 5000));
    w.trayActivated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
}

TEST_F(ShellTest, WithoutTrayClosingEndsTheProgramWithoutAQuestion) {
    MainWindow& w = start(options());
    EXPECT_FALSE(w.trayInUse());
    w.show();
    QSignalSpy quit(&w, &MainWindow::quitRequested);
    w.close();
    EXPECT_EQ(quit.count(), 1);
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_TRUE(readIni().isEmpty());
}

TEST_F(TrayTest, SettingsDialogShowsAndStoresTheTraySetting) {
    writeIni("[Window]\nExitToPallet=0\n");
    MainWindow& w = startWithTray();
    auto* n2 = find<QMenu>("PopupMenu1")->actions()[0];
    n2->trigger();
    FormPassword& dialog = shell->formPassword();
    ASSERT_TRUE(dialog.isVisible());
    auto* box = dialog.findChild<QCheckBox*>("CheckBoxExitSet");
    auto* set = dialog.findChild<QPushButton*>("ButtonWinSet");
    ASSERT_TRUE(box && set);
    EXPECT_FALSE(box->isChecked());
    set->click();
    EXPECT_EQ(readIni(), "[Window]\nExitToPallet=0\n");
    EXPECT_EQ(dialogs.messages.last(), "Set Ok!");
    box->setChecked(true);
    set->click();
    EXPECT_EQ(readIni(), "[Window]\nExitToPallet=1\n");
    dialog.hide();

    // The header button opens the same dialog, which reads the file again.
    writeIni("[Window]\nExitToPallet=0\n");
    QTest::mouseClick(find<QWidget>("SpeedButtonSysSet"), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(dialog.isModal());
    Q_UNUSED(w);
}

TEST_F(ShellTest, SettingsDialogPasswordRulesAndMessages) {
    MainWindow& w = start(options());
    w.openSoftwareSettings();
    FormPassword& dialog = shell->formPassword();
    auto edit = [&](const char* name) { return dialog.findChild<QLineEdit*>(name); };
    auto* set = dialog.findChild<QPushButton*>("ButtonPasswordSet");
    ASSERT_TRUE(edit("EditPasswordOld") && edit("EditPasswordNew") && edit("EditPasswordAgain") && set);
    for (const char* name : {"EditPasswordOld", "EditPasswordNew", "EditPasswordAgain"})
        EXPECT_EQ(edit(name)->echoMode(), QLineEdit::Password) << name;

    struct Case { const char* oldText; const char* newText; const char* again; const char* message; };
    const Case cases[] = {
        {"1234", "5555", "5555", "The old password error!"},
        {"73019264", "5555", "5556", "Please check the new password!"},
        {"73019264", "", "", "Please check the new password!"},
        {"73019264", "5555", "5555", "Set Ok!"},
        {"73019264", "6666", "6666", "The old password error!"}, // no longer the user's
        {"40527193861", "6666", "6666", "Set Ok!"},               // the master always is
    };
    for (const Case& c : cases) {
        if (!dialog.isVisible()) w.openSoftwareSettings();
        edit("EditPasswordOld")->setText(c.oldText);
        edit("EditPasswordNew")->setText(c.newText);
        edit("EditPasswordAgain")->setText(c.again);
        set->click();
        EXPECT_EQ(dialogs.messages.last(), c.message) << c.oldText << " " << c.newText;
        EXPECT_EQ(dialog.isVisible(), QString(c.message) != "Set Ok!") << "closes on success only";
    }
    EXPECT_EQ(w.passwords().current(), "6666");
    EXPECT_TRUE(readIni().startsWith("[mm]\nm="));
    EXPECT_FALSE(readIni().contains("6666"));
}

// The tray shows the state from a step away: its tooltip follows the status strip and its icon
// changes with the state.
TEST_F(TrayTest, IconAndTooltipFollowTheUpsState) {
    MainWindow& w = startWithTray();
    UpsSession& session = w.scheduler();
    FakeUps ups(channel, session);
    ups.mode = Protocol::Rtu;
    ups.registers[81] = 1;
    const qint64 noDataIcon = w.trayIcon()->icon().cacheKey();

    ConnectRequest request;
    request.modelItem = 2;
    request.baudItem = 3;
    request.portName = "/dev/ttyS0";
    request.protocol = Protocol::Rtu;
    ASSERT_EQ(session.connectLink(request), ConnectResult::Connected);
    QSignalSpy cycles(&session, &UpsSession::liveCycleEnded);
    ASSERT_TRUE(ups.stepUntil([&] { return cycles.count() >= 1; }, 400));
    const QString onLine = w.trayIcon()->toolTip();
    const qint64 onLineIcon = w.trayIcon()->icon().cacheKey();
    EXPECT_TRUE(onLine.startsWith(QString("UPS ZAV\nOn line"))) << onLine.toStdString();
    EXPECT_NE(onLineIcon, noDataIcon);

    ups.registers[88] = 1; // utility failure
    ASSERT_TRUE(ups.stepUntil([&] { return cycles.count() >= 2; }, 400));
    EXPECT_TRUE(w.trayIcon()->toolTip().startsWith(QString("UPS ZAV\nOn battery")));
    EXPECT_NE(w.trayIcon()->icon().cacheKey(), onLineIcon);
    session.disconnectLink();
}

