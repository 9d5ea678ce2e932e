// A UPS that answers after the reply wait, over a real pseudo-terminal: every answer arrives while
// the tool waits for the answer to a later request. Replies carry no transaction number, so none of
// them may be taken, and no store may hold another block's registers.

#include "SimHarness.h"
#include "SimulatorThread.h"
#include "link/LinkTypes.h"

#include <QProcess>

#include <QTest>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

TEST(SimLateReplies, AnswersAfterTheWaitAreNotTakenForTheNextRequest) {
    SimConfig c;
    c.protocol = Protocol::Ascii;
    c.baud = 9600; // 12 ticks (600 ms) of reply wait
    SimHarness h(c);
    QString why;
    if (!h.startSimulator(&why)) GTEST_SKIP() << "no pseudo-terminal here: " << why.toStdString();
    h.simulator().withUps([](VirtualUps& u) { u.faults().setDelay(720); });
    ASSERT_EQ(h.connect(2, 3, Protocol::Ascii), ConnectResult::Connected);

    const LiveStores& live = h.scheduler().live();
    bool linked = false, misplaced = false;
    // Long enough for the settings download and several status requests to go out unanswered.
    const bool ended = QTest::qWaitFor(
        [&] {
            linked = linked || h.scheduler().linkOk();
            for (int r = 161; r <= 240; ++r)
                misplaced = misplaced || live.LiveStatus[r] != 0;
            return linked || misplaced || h.ticks() >= 200;
        },
        60'000);
    EXPECT_FALSE(linked) << "a late answer was accepted";
    EXPECT_FALSE(misplaced) << "block 161-240 holds registers of another block";
    EXPECT_TRUE(ended);
    EXPECT_GE(h.ticks(), 200);

    // The same UPS answering in time is heard at once: the quiet line costs no more than a wait.
    h.simulator().withUps([](VirtualUps& u) { u.faults().setDelay(0); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.scheduler().linkOk() && live.LiveStatus[81] == 1; }, 30'000));
}

} // namespace

// `zavctl poll` against a UPS that answers 1.5 s and 2.4 s late at 9600 baud (two and a half and four
// reply waits): no cycle may report the link as OK, the exit status says the UPS did not answer, and
// the message says that it answers too late rather than not at all.
TEST(SimLateReplies, ZavctlPollSaysTheUpsAnswersTooLate) {
    for (const int delayMs : {1500, 2400}) {
        SCOPED_TRACE(delayMs);
        SimConfig c;
        c.upsModel = 7;
        c.protocol = Protocol::Ascii;
        c.baud = 9600;
        SimulatorThread ups(c);
        QString error;
        if (!ups.start(&error)) GTEST_SKIP() << "no pseudo-terminal here: " << error.toStdString();
        ups.withUps([&](VirtualUps& u) { u.faults().setDelay(delayMs); });
        QProcess p;
        p.start(QStringLiteral(ZAV_BINARY_DIR "/zavctl"),
                {"poll", "--port", ups.devicePath(), "--baud", "9600", "--proto", "ascii", "--model", "7",
                 "--cycles", "2", "--timeout", "12"});
        ASSERT_TRUE(p.waitForFinished(60'000));
        const QByteArray out = p.readAllStandardOutput(), err = p.readAllStandardError();
        EXPECT_EQ(p.exitCode(), 3) << err.toStdString();
        EXPECT_FALSE(out.contains("\"LinkOk\":true")) << out.toStdString();
        EXPECT_TRUE(err.contains("too late")) << err.toStdString();
    }
}
