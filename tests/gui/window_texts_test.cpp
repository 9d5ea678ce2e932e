// Texts of the main window that follow the interface language rather than the system's.

#include "app_fixture.h"

#include "app/widgets/FormPassword.h"

#include <QDate>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

using namespace zav;
using namespace zav::test;

TEST_F(ShellTest, StatusBarDateIsWrittenInTheInterfaceLanguage) {
    struct Case {
        QLocale system;
        QLocale expected;
    } cases[] = {
        {prcLocale(), prcLocale()},
        {usLocale(), usLocale()},
    };
    for (const Case& c : cases) {
        start(options(c.system));
        const QString date = c.expected.toString(QDate::currentDate(), QLocale::ShortFormat);
        const QString shown = find<QLabel>("StatusPanel1")->text();
        // Around midnight the date may have turned between the two readings.
        const QString after = c.expected.toString(QDate::currentDate(), QLocale::ShortFormat);
        EXPECT_TRUE(shown.startsWith(date + u' ') || shown.startsWith(after + u' ')) << shown.toStdString();
    }
}

TEST_F(ShellTest, MinimizeToTrayIsOfferedOnlyWithANotificationArea) {
    for (bool tray : {false, true}) {
        start(options(usLocale(), false, tray));
        window().openSoftwareSettings();
        auto* group = shell->formPassword().findChild<QWidget*>("GroupBoxWindow");
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->isVisible(), tray) << tray;
        shell->formPassword().close();
    }
}

TEST_F(ShellTest, SilentUpsAfterConnectingIsExplainedInTheStatusBar) {
    start(options());
    window().show();
    find<QPushButton>("ButtonConnect")->click(); // the fake port opens; nothing ever answers
    ASSERT_TRUE(channel.isOpen());
    auto* timer = find<QTimer>("TimerNoAnswer");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), MainWindow::kNoAnswerMs);
    window().noAnswerCheck(); // what the timer runs
    auto* bar = find<QStatusBar>("StatusBar1");
    EXPECT_EQ(bar->currentMessage(), "No answer from the UPS (/dev/ttyS0, MODBUS_ASCII, address 1, every baud). "
                                     "Check the cable, the port, and that the protocol, address and baud rate "
                                     "match the UPS.");
    find<QPushButton>("ButtonConnect")->click(); // disconnect
    EXPECT_TRUE(bar->currentMessage().isEmpty());
    EXPECT_FALSE(timer->isActive());
    window().noAnswerCheck(); // a late timer while disconnected says nothing
    EXPECT_TRUE(bar->currentMessage().isEmpty());
}

TEST_F(ShellTest, HelpPageSaysWhereToChangeThePasswordWithoutShowingTheFactoryOne) {
    start(options(usLocale(), true));
    const QString help = find<QPlainTextEdit>("Memo1")->toPlainText();
    // Anyone at the PC can read the help page: the factory password stays in the manual.
    EXPECT_FALSE(help.contains("73019264")) << help.toStdString();
    EXPECT_TRUE(help.contains("The factory password is in the manual")) << help.toStdString();
    EXPECT_TRUE(help.contains("\"Software Settings\"")) << help.toStdString();
}
