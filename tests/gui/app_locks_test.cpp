// The five password panels over the pages that change the UPS.

#include "app_fixture.h"

#include "app/widgets/FormPassword.h"
#include "pagekit/LockPanel.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace zav;
using namespace zav::test;

namespace {

class LocksTest : public ShellTest {
protected:
    void SetUp() override {
        start(options());
        window().show();
    }
    // Types into the lock of `names` and presses its OK button; true when the lock opened.
    bool type(const LockNames& names, const QString& text) {
        auto* panel = find<QWidget>(names.panel);
        auto* edit = find<QLineEdit>(names.edit);
        auto* ok = find<QPushButton>(names.button);
        edit->setText(text);
        QTest::mouseClick(ok, Qt::LeftButton);
        return !panel->isVisible();
    }
    void relockAll() {
        for (const LockNames& names : kLocks) window().lock(names.page)->relock();
    }
};

} // namespace

TEST_F(LocksTest, EveryLockCoversItsPageAndOpensWithTheDefaultOrTheMaster) {
    for (const LockNames& names : kLocks) {
        window().showPage(names.page);
        auto* panel = find<QWidget>(names.panel);
        ASSERT_TRUE(panel->isVisible()) << names.panel;
        EXPECT_EQ(panel->geometry(), panel->parentWidget()->rect()) << names.panel; // covers it all
        EXPECT_EQ(find<QLineEdit>(names.edit)->echoMode(), QLineEdit::Password);
    }
    for (const char* password : {"73019264", "40527193861"}) {
        relockAll();
        for (const LockNames& names : kLocks) {
            window().showPage(names.page);
            EXPECT_TRUE(type(names, password)) << names.panel << " " << password;
            EXPECT_FALSE(window().lock(names.page)->locked());
        }
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(LocksTest, WrongPasswordIsSaidOnThePanelAndRepeatedTriesWait) {
    const LockNames& names = kLocks[2];
    qint64 now = 1000000;
    for (const LockNames& n : kLocks) window().lock(n.page)->setClock([&now] { return now; });
    window().showPage(names.page);
    auto* edit = find<QLineEdit>(names.edit);
    auto* result = find<QLabel>((QByteArray(names.edit) + "Result").constData());
    EXPECT_FALSE(result->isVisible());
    // The free tries: said, nothing to wait; the text stays, selected for the next try.
    for (const char* wrong : {"", "7301926"}) {
        EXPECT_FALSE(type(names, wrong)) << wrong;
        EXPECT_EQ(edit->text(), wrong);
        EXPECT_EQ(edit->selectedText(), wrong);
        EXPECT_TRUE(result->isVisible());
        EXPECT_EQ(result->text(), "Wrong password.");
    }
    EXPECT_FALSE(type(names, "73019264 "));
    EXPECT_EQ(result->text(), "Wrong password. Try again in 1 s.");
    // The wait holds for every lock, and a try during it is not checked, not even a right one.
    window().showPage(kLocks[3].page);
    EXPECT_FALSE(type(kLocks[3], "73019264"));
    EXPECT_EQ(find<QLabel>("EditCtrlCmdResult")->text(), "Try again in 1 s.");
    window().showPage(names.page);
    now += 999;
    EXPECT_FALSE(type(names, "73019264"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // After the wait: Enter in the edit acts like the OK button, and the line goes.
    now += 1;
    edit->setText("73019264");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(find<QWidget>(names.panel)->isVisible());
    window().lock(names.page)->relock();
    EXPECT_FALSE(result->isVisible());
    EXPECT_FALSE(type(names, "x")); // the right password cleared the count: free again
    EXPECT_EQ(result->text(), "Wrong password.");
}

TEST_F(LocksTest, FactoryPasswordSuggestsAnOwnOnceARun) {
    dialogs.answers = {true};
    window().showPage(9);
    ASSERT_TRUE(type(kLocks[0], "40527193861")); // the master password is not the factory one
    EXPECT_TRUE(dialogs.questions.isEmpty());
    window().showPage(10);
    ASSERT_TRUE(type(kLocks[1], "73019264"));
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains("factory password"));
    EXPECT_TRUE(shell->formPassword().isVisible()); // Yes opens the dialog that changes it
    shell->formPassword().hide();
    window().showPage(11);
    ASSERT_TRUE(type(kLocks[2], "73019264"));
    EXPECT_EQ(dialogs.questions.size(), 1);
}

TEST_F(LocksTest, ChangedPasswordTakesEffectAtOnceAndOpenedLocksStayOpen) {
    window().showPage(9);
    ASSERT_TRUE(type(kLocks[0], "73019264"));

    window().openSoftwareSettings();
    FormPassword& dialog = shell->formPassword();
    dialog.findChild<QLineEdit*>("EditPasswordOld")->setText("73019264");
    dialog.findChild<QLineEdit*>("EditPasswordNew")->setText("2468");
    dialog.findChild<QLineEdit*>("EditPasswordAgain")->setText("2468");
    dialog.findChild<QPushButton*>("ButtonPasswordSet")->click();

    EXPECT_FALSE(find<QWidget>(kLocks[0].panel)->isVisible()); // stays open
    window().showPage(10);
    EXPECT_FALSE(type(kLocks[1], "73019264"));
    EXPECT_TRUE(type(kLocks[1], "2468"));
    window().showPage(11);
    EXPECT_TRUE(type(kLocks[2], "40527193861"));

    // And the next start takes it from ZAV.ini.
    start(options());
    window().show();
    window().showPage(12);
    EXPECT_FALSE(type(kLocks[3], "73019264"));
    EXPECT_TRUE(type(kLocks[3], "2468"));
}

TEST_F(LocksTest, LockedPageIsOutOfReachOfKeyboardMouseAndAccessibility) {
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    for (const LockNames& names : kLocks) {
        window().showPage(names.page);
        auto* edit = find<QLineEdit>(names.edit);
        ZavPage* content = window().page(names.page);
        EXPECT_EQ(QApplication::focusWidget(), edit) << names.edit; // the password takes the focus
        EXPECT_FALSE(content->isVisible()) << names.panel;           // nothing under the panel takes a click
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(content);
        ASSERT_NE(a11y, nullptr);
        EXPECT_TRUE(a11y->state().invisible) << names.panel;
        // Tab around the whole window: the focus never lands on the page.
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_FALSE(content->isAncestorOf(QApplication::focusWidget())) << names.panel << " tab " << i;
        }
    }

    // Tab, Right, Right on the locked user-service page, then unlock: its tabs have not moved.
    auto* tabs = find<QTabWidget>("PageControl3");
    const int before = tabs->currentIndex();
    window().showPage(10);
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Right, Qt::Key_Right})
        QTest::keyClick(QApplication::focusWidget(), key);
    window().showPage(10);
    ASSERT_TRUE(type(kLocks[1], "73019264"));
    EXPECT_EQ(tabs->currentIndex(), before);
    EXPECT_TRUE(window().page(10)->isVisible());

    // Closed again (a language switch): out of reach again.
    relockAll();
    EXPECT_FALSE(window().page(10)->isVisible());
}
