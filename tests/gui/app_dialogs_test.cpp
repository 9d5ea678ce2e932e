// The window's own message boxes: they open and return at once, so the timers (the poll, the
// status-bar clock, the countdown) keep running while a box waits for the user.

#include "app_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace zav;
using namespace zav::test;

namespace {

QMessageBox* openBox() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
    return nullptr;
}

// A box run in its own event loop would let this timer fire before inform() returns; the timer
// then closes the box so that a regression ends instead of hanging.
TEST(MessageBoxDialogsTest, InformReturnsAtOnceWithTheBoxOpen) {
    QWidget parent;
    parent.show();
    MessageBoxDialogs dialogs;
    bool timerRan = false;
    QTimer::singleShot(0, [&] {
        timerRan = true;
        if (QMessageBox* box = openBox()) box->done(QMessageBox::Ok);
    });
    dialogs.inform(&parent, "Select UPS type please!");
    EXPECT_FALSE(timerRan) << "inform() ran an event loop of its own";
    QMessageBox* box = openBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Select UPS type please!");
    EXPECT_TRUE(QTest::qWaitFor([&] { return timerRan; }, 10000));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

namespace {

// A question returns at once too; the answer arrives through the callback when the user clicks.
TEST(MessageBoxDialogsTest, AskYesNoAnswersThroughTheCallback) {
    QWidget parent;
    parent.show();
    MessageBoxDialogs dialogs;
    for (const auto button : {QMessageBox::Yes, QMessageBox::No}) {
        QList<bool> answers;
        dialogs.askYesNo(&parent, "Minimize to tray?", [&](bool yes) { answers << yes; });
        EXPECT_TRUE(answers.isEmpty());
        QMessageBox* box = openBox();
        ASSERT_NE(box, nullptr);
        box->button(button)->click();
        EXPECT_EQ(answers, QList<bool>{button == QMessageBox::Yes});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(openBox(), nullptr);
    }
}

// The window with the real boxes: a link message stands open while Timer1 goes on ticking and the
// status-bar clock goes on running.
TEST_F(ShellTest, TimersRunWhileALinkMessageIsOpen) {
    MessageBoxDialogs real;
    ShellOptions o = options();
    o.dialogs = &real;
    MainWindow& w = start(o);
    w.show();
    find<QLineEdit>("EditUpsAddr")->setText("0"); // not an address: "wrong address" box
    QTimer guard; // a box run in its own loop is closed here, so a regression fails instead of hanging
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QMessageBox* box = openBox()) box->done(QMessageBox::Ok);
    });
    guard.start(10000);
    QTest::mouseClick(find<QPushButton>("ButtonConnect"), Qt::LeftButton);
    QMessageBox* box = openBox();
    ASSERT_NE(box, nullptr);
    QSignalSpy ticks(find<QTimer>("Timer1"), &QTimer::timeout);
    auto* clock = find<QLabel>("StatusPanel1");
    const QString before = clock->text();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks.count() >= 3 && clock->text() != before; }, 8000))
        << ticks.count() << " ticks, clock " << clock->text().toStdString() << " (was " << before.toStdString() << ")";
    EXPECT_TRUE(box->isVisible());
    guard.stop();
    box->done(QMessageBox::Ok);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
