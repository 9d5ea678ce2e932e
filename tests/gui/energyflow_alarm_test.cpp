// The alarm beeper with its warning boxes over a scheduler polling a scripted UPS: many events at
// once open one box each without a nested event loop, later ticks and flapping events add none, the
// link keeps polling while boxes are open, the choices come from ZAV.ini, and the sound reaches the
// WAV sink.

#include "FakeUps.h"
#include "foundation/ProfileFile.h"
#include "monitor/WavToneSink.h"
#include "monitor/widgets/AlarmBeeper.h"

#include <QAbstractButton>
#include <QSet>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::test;

namespace {

class AlarmBoxesTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    FakeSerialChannel channel;
    UpsSession scheduler{channel};
    FakeUps ups{channel, scheduler};
    ProfileFile profile{dir.filePath("ZAV.ini")};
    AppContext context{&scheduler, 1, &profile};
    QWidget window;
    std::unique_ptr<AlarmBeeper> alarms;

    void SetUp() override {
        window.resize(600, 400);
        window.show();
        alarms = std::make_unique<AlarmBeeper>(context, &window, std::make_unique<WavToneSink>(wavPath()));
        alarms->timer()->stop(); // the tests tick it themselves unless they run the event loop
        ups.registers[83] = 1;   // battery connected
    }
    void TearDown() override { alarms.reset(); }
    QString wavPath() const { return dir.filePath("beeper.wav"); }

    void connectAs(int modelItem) {
        ConnectRequest request;
        request.modelItem = modelItem;
        request.baudItem = 3;
        request.portName = "/dev/ttyFAKE";
        ASSERT_EQ(scheduler.connectLink(request), ConnectResult::Connected);
        ASSERT_TRUE(cycleEnds(2));
    }
    bool cycleEnds(int cycles = 1) {
        QSignalSpy spy(&scheduler, &UpsSession::liveCycleEnded);
        return ups.stepUntil([&] { return spy.count() >= cycles; }, 400 * cycles);
    }
    QList<QMessageBox*> visibleBoxes() const {
        QList<QMessageBox*> out;
        for (QMessageBox* b : window.findChildren<QMessageBox*>("AlarmWarningBox"))
            if (b->isVisible()) out << b;
        return out;
    }
};

TEST_F(AlarmBoxesTest, ManyEventsOpenOneBoxEachAndNeverStopThePoll) {
    for (int reg = 84; reg <= 240; ++reg)
        ups.registers[reg] = 1;
    connectAs(1);               // UpsModel 0: ten power units
    alarms->timerBeeperTimer(); // returns at once: no box runs its own loop
    const int boxes = int(visibleBoxes().size());
    EXPECT_EQ(boxes, 21 + 9 * 10); // every event but the battery's (83 is 1)
    EXPECT_EQ(alarms->boxes().openCount(), boxes);
    EXPECT_EQ(alarms->boxes().box(22, 3)->text(), QStringLiteral("3#REC Fail"));
    EXPECT_EQ(alarms->boxes().box(1, 0)->standardButtons(), QMessageBox::Yes);
    EXPECT_EQ(alarms->boxes().box(1, 0)->icon(), QMessageBox::Warning);

    // With the boxes open the link keeps polling and further ticks open nothing new.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(cycleEnds());
        alarms->timerBeeperTimer();
    }
    EXPECT_EQ(window.findChildren<QMessageBox*>("AlarmWarningBox").size(), boxes);

    // A flapping event updates its open box instead of opening another.
    QMessageBox* maint = alarms->boxes().box(1, 0);
    for (int flap = 0; flap < 3; ++flap) {
        ups.registers[84] = uint16_t(flap % 2 == 0 ? 0 : 1);
        ASSERT_TRUE(cycleEnds());
        alarms->timerBeeperTimer();
    }
    EXPECT_EQ(alarms->boxes().box(1, 0), maint);
    EXPECT_EQ(window.findChildren<QMessageBox*>("AlarmWarningBox").size(), boxes);

    // Closed with Yes, the box goes; the next start of the event opens a new one.
    maint->button(QMessageBox::Yes)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(alarms->boxes().box(1, 0), nullptr);
    ups.registers[84] = 0;
    ASSERT_TRUE(cycleEnds());
    alarms->timerBeeperTimer();
    ups.registers[84] = 1;
    ASSERT_TRUE(cycleEnds());
    alarms->timerBeeperTimer();
    ASSERT_NE(alarms->boxes().box(1, 0), nullptr);
    EXPECT_TRUE(alarms->boxes().box(1, 0)->isVisible());
}

TEST_F(AlarmBoxesTest, BoxesOfOneOutageFanOutWithTheWholeTitleAndTheButtonInTheLanguage) {
    QGuiApplication::setApplicationDisplayName("UPS ZAV monitoring and service tool");
    for (int reg = 84; reg <= 87; ++reg)
        ups.registers[reg] = 1;
    connectAs(1);
    context.language = 0;
    alarms->timerBeeperTimer();
    const QList<QMessageBox*> boxes = visibleBoxes();
    ASSERT_GE(boxes.size(), 3);
    QSet<QPair<int, int>> corners;
    for (QMessageBox* b : boxes) {
        corners.insert({b->frameGeometry().x(), b->frameGeometry().y()});
        EXPECT_EQ(b->button(QMessageBox::Yes)->text(), QString::fromUtf8("是"));
        EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->windowTitle()));
    }
    EXPECT_EQ(corners.size(), boxes.size()) << "boxes opened on top of each other";
    QGuiApplication::setApplicationDisplayName(QString());
}

// The real timers: Timer1 drives the link and TimerBeeper runs on its own; while the boxes stand
// open, cycles keep ending and the beeper keeps queuing its tone.
TEST_F(AlarmBoxesTest, TimersKeepRunningWithBoxesOpen) {
    for (int reg : {84, 85, 96, 122, 134, 146})
        ups.registers[reg] = 1;
    connectAs(2);
    QTimer timer1;
    QObject::connect(&timer1, &QTimer::timeout, [this] { ups.step(); });
    timer1.start(5);
    alarms->timer()->setInterval(50);
    alarms->timer()->start();
    // QTRY_* macros report through QTest and leave a gtest test passing: wait on the condition instead.
    ASSERT_TRUE(QTest::qWaitFor([&] { return visibleBoxes().size() == 6; }, 10000)) << visibleBoxes().size();
    QSignalSpy cycles(&scheduler, &UpsSession::liveCycleEnded);
    QSignalSpy beats(alarms->timer(), &QTimer::timeout);
    EXPECT_TRUE(QTest::qWaitFor([&] { return cycles.count() >= 3 && beats.count() >= 3; }, 20000))
        << cycles.count() << " cycles, " << beats.count() << " beats";
    EXPECT_EQ(window.findChildren<QMessageBox*>("AlarmWarningBox").size(), 6);
}

// The choices are the alarm tab's boxes as they stand (the shared selection): a change counts on the
// next tick, without being written to ZAV.ini. Without a shared selection, ZAV.ini as at start-up.
TEST_F(AlarmBoxesTest, ChoicesComeFromTheTabAtOnce) {
    AlarmSelection selection;
    context.alarms = &selection;
    selection.setTicked("CheckBoxMaintCBClosed", false);
    selection.setBeeperOn(false);
    ups.registers[84] = 1;
    ups.registers[85] = 1;
    connectAs(2);
    alarms->timerBeeperTimer();
    ASSERT_EQ(visibleBoxes().size(), 1);
    EXPECT_EQ(visibleBoxes()[0]->text(), QStringLiteral("EPO"));
    ASSERT_TRUE(alarms->beeper().waitIdle(5000));
    EXPECT_EQ(QFileInfo(wavPath()).size(), 44); // the beeper is off: not a sample

    // Ticked again and the beeper on: the box comes and the tone sounds on the next tick.
    selection.setTicked("CheckBoxMaintCBClosed", true);
    selection.setBeeperOn(true);
    alarms->timerBeeperTimer();
    EXPECT_EQ(visibleBoxes().size(), 2);
    ASSERT_TRUE(alarms->beeper().waitIdle(5000));
    EXPECT_EQ(QFileInfo(wavPath()).size(), 44 + 8000 * 2); // one second of 400 Hz at 8 kHz
    EXPECT_FALSE(profile.exists()) << "nothing was confirmed: ZAV.ini is not written";

    // A beeper without a shared selection takes ZAV.ini as it was when it was made.
    ASSERT_TRUE(profile.writeBool("UPSEvents", "CheckBoxEPO", false));
    context.alarms = nullptr;
    AlarmBeeper fromIni(context, &window, std::make_unique<WavToneSink>(dir.filePath("other.wav")));
    EXPECT_FALSE(fromIni.choices().ticked[2]);
    EXPECT_TRUE(fromIni.choices().ticked[1]);
}

TEST_F(AlarmBoxesTest, LinkLossStopsTheCommands) {
    ups.registers[107] = 1;
    connectAs(2);
    alarms->timerBeeperTimer();
    ASSERT_TRUE(alarms->beeper().waitIdle(5000));
    const qint64 before = QFileInfo(wavPath()).size();
    EXPECT_EQ(before, 44 + 800 * 2); // the 100 ms chirp
    ups.silent = true;
    ASSERT_TRUE(ups.stepUntil([&] { return !scheduler.linkOk(); }, 200));
    alarms->timerBeeperTimer();
    ASSERT_TRUE(alarms->beeper().waitIdle(5000));
    EXPECT_EQ(QFileInfo(wavPath()).size(), before);
}

} // namespace
