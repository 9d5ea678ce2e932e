#include "FakeUps.h"
#include "ReplyBuilder.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace zav;
using namespace zav::test;

namespace {

class SchedulerTest : public ::testing::Test {
  protected:
    FakeSerialChannel channel;
    UpsSession scheduler{channel};
    FakeUps ups{channel, scheduler};

    ConnectResult connect(int baudItem = 3, Protocol mode = Protocol::Ascii, int modelItem = 2,
                          const QString& address = "1") {
        ups.mode = mode;
        ConnectRequest r;
        r.modelItem = modelItem;
        r.baudItem = baudItem;
        r.portName = "/dev/ttyFAKE";
        r.protocol = mode;
        r.addressText = address;
        return scheduler.connectLink(r);
    }
    int countRequests(uint8_t function) const {
        return int(std::count_if(ups.requests.begin(), ups.requests.end(),
                                 [&](const Request& r) { return r.function == function; }));
    }
    bool cycleEnds(int maxTicks = 400) {
        QSignalSpy spy(&scheduler, &UpsSession::liveCycleEnded);
        return ups.stepUntil([&] { return spy.count() > 0; }, maxTicks);
    }
};

TEST_F(SchedulerTest, BadAddressesAreRefusedWithoutOpeningThePort) {
    for (const char* text : {"0", "255", "abc", "", "-3", "1.5"}) {
        EXPECT_EQ(connect(3, Protocol::Ascii, 2, text), ConnectResult::WrongAddress) << text;
        EXPECT_FALSE(channel.isOpen()) << text;
    }
    EXPECT_EQ(channel.openCount, 0);
    // With the model box on Auto too: the end-of-tick refresh (clock, buttons) goes on.
    EXPECT_EQ(connect(3, Protocol::Ascii, 0, "300"), ConnectResult::WrongAddress);
    EXPECT_FALSE(scheduler.autoModelPending());
    QSignalSpy refreshed(&scheduler, &UpsSession::linkStateChanged);
    scheduler.tick();
    EXPECT_EQ(refreshed.count(), 1);
    EXPECT_EQ(connect(3, Protocol::Ascii, 2, "254"), ConnectResult::Connected);
}

TEST_F(SchedulerTest, UnopenablePortIsReportedAndNothingIsSent) {
    channel.failOpen = true;
    EXPECT_EQ(connect(3, Protocol::Ascii, /*Auto model*/ 0), ConnectResult::PortOpenFailed);
    EXPECT_FALSE(scheduler.connected());
    QSignalSpy refreshed(&scheduler, &UpsSession::linkStateChanged);
    scheduler.tick();
    EXPECT_EQ(refreshed.count(), 1); // the status bar and buttons keep following the closed port
    ups.steps(100);
    EXPECT_TRUE(channel.written.isEmpty());
}

TEST_F(SchedulerTest, SettingsDownloadComesFirstThenTheLiveCycle) {
    for (int r = 301; r <= 480; ++r)
        ups.registers[r] = uint16_t(r);
    ups.registers[1] = 2205;
    ups.registers[100] = 7;
    ASSERT_EQ(connect(3, Protocol::Rtu), ConnectResult::Connected);
    QSignalSpy downloaded(&scheduler, &UpsSession::settingsDownloaded);
    ASSERT_TRUE(cycleEnds());
    ASSERT_GE(ups.requests.size(), 6);
    // Three settings blocks, then measurement, then the two status blocks.
    const int expected[][3] = {{0x65, 301, 35}, {0x65, 361, 30}, {0x65, 421, 60},
                               {0x03, 1, 80},   {0x04, 81, 80},  {0x04, 161, 80}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(ups.requests[i].function, expected[i][0]) << i;
        EXPECT_EQ(ups.requests[i].start, expected[i][1]) << i;
        EXPECT_EQ(ups.requests[i].count, expected[i][2]) << i;
    }
    EXPECT_EQ(downloaded.count(), 1);
    EXPECT_EQ(scheduler.settings().SettingData[480], 480);
    EXPECT_EQ(scheduler.settings().SettingData[340], 0); // never read
    EXPECT_EQ(scheduler.live().LiveData[1], 2205);
    EXPECT_EQ(scheduler.live().LiveStatus[100], 7);
    EXPECT_TRUE(scheduler.linkOk());
    EXPECT_EQ(scheduler.activity(), ActIdle);
}

// A settings block given up after its two attempts is counted, so that nothing is computed from
// the older values it leaves behind; the next complete download counts none.
TEST_F(SchedulerTest, SettingsDownloadCountsTheBlocksGivenUp) {
    bool skip361 = true;
    ups.answer = [&](const Request& r) {
        if (r.function == fn::ReadSettings && r.start == 361 && skip361) return QByteArray();
        return ups.defaultAnswer(r);
    };
    QSignalSpy downloaded(&scheduler, &UpsSession::settingsDownloaded);
    ASSERT_EQ(connect(6), ConnectResult::Connected);
    ASSERT_TRUE(ups.stepUntil([&] { return downloaded.count() == 1; }));
    EXPECT_EQ(scheduler.settingsDownload().blocksGivenUp(), 1);
    skip361 = false;
    scheduler.requestSettingsRefresh();
    ASSERT_TRUE(ups.stepUntil([&] { return downloaded.count() == 2; }));
    EXPECT_EQ(scheduler.settingsDownload().blocksGivenUp(), 0);
}

TEST_F(SchedulerTest, CapacitiesOfLargeModelsArriveInKva) {
    ups.registers[321] = 60000;
    ups.registers[322] = 999;
    ASSERT_EQ(connect(3, Protocol::Ascii, /*model 6*/ 7), ConnectResult::Connected);
    QSignalSpy downloaded(&scheduler, &UpsSession::settingsDownloaded);
    ASSERT_TRUE(ups.stepUntil([&] { return downloaded.count() > 0; }));
    EXPECT_EQ(scheduler.settings().SettingData[321], 60);
    EXPECT_EQ(scheduler.settings().SettingData[322], 0);
}

TEST_F(SchedulerTest, NewCycleEvery41TicksAtTheEarliest) {
    ASSERT_EQ(connect(6), ConnectResult::Connected); // 38400: short waits
    ASSERT_TRUE(cycleEnds());
    const int before = countRequests(fn::ReadHolding);
    int ticks = 0;
    ASSERT_TRUE(ups.stepUntil([&] {
        ++ticks;
        return countRequests(fn::ReadHolding) > before;
    }));
    EXPECT_GE(ticks, 20); // the cycle took a few ticks; the next one waits for the 41-tick interval
    EXPECT_LE(ticks, 45);
}

TEST(ReplyTiming, TimeoutByBaudRate) {
    const std::pair<int, int> table[] = {{1200, 89}, {2400, 45}, {4800, 23}, {9600, 12},
                                         {14400, 8}, {19200, 6}, {38400, 3}, {0, 80}};
    for (auto [baud, ticks] : table)
        EXPECT_EQ(replyTimeoutTicks(baud), ticks) << baud;
    for (int baud : kBaudItems)
        EXPECT_EQ(rtuChunkWaitTicks(baud), 1) << baud;
    EXPECT_EQ(rtuChunkWaitTicks(0), 2);
}

TEST(ReplyTiming, TimingNamesAndTheInterFrameGap) {
    EXPECT_EQ(parseLinkTiming(" Fast"), LinkTiming::Fast);
    EXPECT_EQ(parseLinkTiming("CLASSIC"), LinkTiming::Classic);
    for (const char* bad : {"", "quick", "fast1", "0"})
        EXPECT_FALSE(parseLinkTiming(bad).has_value()) << bad;
    const std::pair<int, int> gaps[] = {{1200, 30}, {4800, 8}, {9600, 4}, {19200, 2}, {38400, 2}};
    for (auto [baud, ms] : gaps)
        EXPECT_EQ(interFrameGapMs(baud), ms) << baud;
    FakeSerialChannel channel;
    UpsSession session{channel};
    EXPECT_EQ(session.timing().mode, LinkTiming::Classic) << "tick pacing until a program says otherwise";
    session.setTiming({LinkTiming::Fast, 5000});
    EXPECT_EQ(session.timing().extraGapMs, kMaxExtraGapMs);
    session.setTiming({LinkTiming::Fast, -3});
    EXPECT_EQ(session.timing().extraGapMs, 0);
}

// Ticks from the request to its examination, for a UPS that does not answer.
TEST_F(SchedulerTest, SilentUpsIsExaminedAfterTheFullWait) {
    ups.silent = true;
    ASSERT_EQ(connect(3), ConnectResult::Connected); // 9600: 12 ticks
    ups.step();                                      // starts the download and sends block 1
    ASSERT_EQ(channel.written.size(), 1);
    int ticks = 0;
    while (channel.written.size() == 1 && ticks < 100) {
        ups.step();
        ++ticks;
    }
    // 12 ticks of wait, the examination on the 13th, then five reply waits (60 ticks) of quiet line
    // (an answer to the first request may still be on its way), the retry sent on the 74th.
    EXPECT_EQ(ticks, 74);
}

// A UPS that answers every request after the reply wait: each answer arrives while the tool waits
// for the answer to a later request, or while it waits for the line to go quiet. Replies carry no
// transaction number, so the scheduler must not take them: nothing is accepted, no block ever holds
// another block's registers, the link is not OK, and the late answers are counted.
struct LateLine {
    struct InFlight {
        int due;
        QByteArray bytes;
    };
    QVector<InFlight> line;
    int handled = 0;
    int readInputs = 0;
    // Delivers what is due, ticks once, and puts the answers to new requests on the line.
    void step(FakeSerialChannel& channel, FakeUps& ups, UpsSession& scheduler, int tick, int delayTicks) {
        for (int i = 0; i < line.size();)
            if (line[i].due == tick) {
                channel.deliver(line[i].bytes);
                line.removeAt(i);
            } else {
                ++i;
            }
        scheduler.tick();
        while (handled < channel.written.size()) {
            Request r;
            if (!parseRequest(ups.mode, channel.written[handled++], r)) continue;
            if (delayTicks == 0)
                channel.deliver(ups.defaultAnswer(r));
            else
                line.append({tick + delayTicks, ups.defaultAnswer(r)});
            readInputs += r.function == fn::ReadInput;
        }
    }
};

TEST_F(SchedulerTest, LateRepliesAreNeverStoredWhateverTheDelay) {
    // 9600 baud: a reply wait is 12 ticks, and an answer on the 13th tick is still examined in time.
    // Delays just past one to four waits, both framings; at 38400 (3-tick waits) a UPS 1.5 s late.
    const struct {
        Protocol mode;
        int delayTicks;
        int baudItem = 3;
    } cases[] = {{Protocol::Ascii, 14}, {Protocol::Ascii, 26}, {Protocol::Ascii, 38}, {Protocol::Ascii, 50},
                 {Protocol::Rtu, 14},   {Protocol::Rtu, 30},   {Protocol::Rtu, 50},   {Protocol::Rtu, 30, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.mode == Protocol::Rtu ? "RTU" : "ASCII") << " delay " << c.delayTicks
                                        << " baud item " << c.baudItem);
        FakeSerialChannel ch;
        UpsSession s{ch};
        FakeUps u{ch, s};
        for (int r = 81; r <= 160; ++r)
            u.registers[r] = uint16_t(r); // block 161-240 holds zeros
        u.mode = c.mode;
        ConnectRequest req;
        req.modelItem = 2;
        req.baudItem = c.baudItem;
        req.portName = "/dev/ttyFAKE";
        req.protocol = c.mode;
        ASSERT_EQ(s.connectLink(req), ConnectResult::Connected);
        LateLine line;
        bool everLinked = false;
        for (int tick = 0; tick < 2500; ++tick) {
            line.step(ch, u, s, tick, c.delayTicks);
            everLinked = everLinked || s.linkOk();
            for (int r = 161; r <= 240; ++r)
                ASSERT_EQ(s.live().LiveStatus[r], 0) << "register " << r << " at tick " << tick;
        }
        EXPECT_FALSE(everLinked);
        EXPECT_GE(line.readInputs, 2) << "the line settles, then polling goes on";
        EXPECT_GT(s.lateReplies(), 0) << "the late answers are seen as such";
    }
}

// The UPS answered in time, then begins to answer late: the link is lost within the watchdog's time
// although characters keep arriving, the stores are cleared, and nothing late is stored.
TEST_F(SchedulerTest, AUpsTurningLateLosesTheLink) {
    for (int r = 81; r <= 160; ++r)
        ups.registers[r] = uint16_t(r);
    ASSERT_EQ(connect(3, Protocol::Ascii), ConnectResult::Connected);
    LateLine line;
    int tick = 0;
    for (; tick < 600 && !(scheduler.linkOk() && scheduler.live().LiveStatus[81] == 81); ++tick)
        line.step(channel, ups, scheduler, tick, 0);
    ASSERT_TRUE(scheduler.linkOk());
    const int lateFrom = tick;
    int lostAt = -1;
    for (; tick < lateFrom + 1500; ++tick) {
        line.step(channel, ups, scheduler, tick, 30);
        if (lostAt < 0 && !scheduler.linkOk()) lostAt = tick;
        for (int r = 161; r <= 240; ++r)
            ASSERT_EQ(scheduler.live().LiveStatus[r], 0) << "register " << r << " at tick " << tick;
    }
    ASSERT_GE(lostAt, 0) << "late answers kept the link OK";
    EXPECT_LE(lostAt - lateFrom, 2 * kWatchdogTicks + 40);
    EXPECT_FALSE(scheduler.linkOk());
    EXPECT_EQ(scheduler.live().LiveStatus[81], 0) << "the stores were cleared";
    EXPECT_GT(scheduler.lateReplies(), 0);
}

// An answer just inside the reply wait is taken at once, and an answer that once came late does not
// keep the UPS from being heard when it answers in time again.
TEST_F(SchedulerTest, AnswersInsideTheWaitAreTaken) {
    for (int r = 81; r <= 160; ++r)
        ups.registers[r] = uint16_t(r);
    ASSERT_EQ(connect(3, Protocol::Ascii), ConnectResult::Connected);
    LateLine line;
    int tick = 0;
    for (; tick < 1200 && scheduler.live().LiveStatus[81] != 81; ++tick)
        line.step(channel, ups, scheduler, tick, 11); // 550 ms: inside the 600 ms wait
    EXPECT_TRUE(scheduler.linkOk());
    EXPECT_EQ(scheduler.live().LiveStatus[81], 81);
    EXPECT_EQ(scheduler.lateReplies(), 0);
}

// Noise on the line (bytes with no request outstanding) delays the next request only so long:
// the UPS is still asked, and its silence is still reported.
TEST_F(SchedulerTest, NoiseDelaysRequestsButDoesNotStopThem) {
    ups.silent = true;
    ASSERT_EQ(connect(3, Protocol::Ascii), ConnectResult::Connected);
    for (int tick = 0; tick < 400; ++tick) {
        channel.deliver(QByteArray("\x00\x7F", 2));
        scheduler.tick();
    }
    EXPECT_GE(channel.written.size(), 4);
    EXPECT_FALSE(scheduler.linkOk());
}

TEST_F(SchedulerTest, AsciiReplyIsExaminedOnTheTickAfterItsLf) {
    ASSERT_EQ(connect(0, Protocol::Ascii), ConnectResult::Connected); // 1200 baud: 89 ticks of wait
    ups.step();
    ASSERT_EQ(ups.requests.size(), 1);
    ups.step(); // the reply (with LF) arrives before this tick, which judges it
    EXPECT_EQ(scheduler.settings().SettingData[301], 0);       // the UPS answers zeros here...
    EXPECT_EQ(scheduler.settingsDownload().list().index(), 2); // ...but block 1 is done
    ups.step();
    EXPECT_EQ(ups.requests.size(), 2) << "block 2 is asked for right after, not 89 ticks later";
}

TEST_F(SchedulerTest, RtuReplyIsExaminedOneTickAfterTheLastChunk) {
    ASSERT_EQ(connect(0, Protocol::Rtu), ConnectResult::Connected);
    ups.silent = true;
    ups.step();
    ASSERT_EQ(ups.requests.size(), 1);
    const QByteArray reply = blockReply(Protocol::Rtu, 1, fn::ReadSettings, numberedRegisters(301, 35));
    channel.deliver(reply.left(20));
    scheduler.tick(); // more bytes may come: wait
    channel.deliver(reply.mid(20));
    scheduler.tick(); // the last chunk arrived just before this tick
    EXPECT_EQ(channel.written.size(), 1);
    scheduler.tick(); // a tick of silence: judged
    EXPECT_EQ(scheduler.settings().SettingData[335], 335);
    scheduler.tick();
    EXPECT_EQ(channel.written.size(), 2);
}

TEST_F(SchedulerTest, AutoBaudProbesInOrderAndWraps) {
    ups.silent = true;
    ASSERT_EQ(connect(kBaudAutoItem), ConnectResult::Connected);
    ups.stepUntil([&] { return channel.baudHistory.size() >= 9; }, 5000);
    const QList<int> expected = {9600, 14400, 4800, 19200, 2400, 1200, 38400, 9600, 14400};
    EXPECT_EQ(channel.baudHistory.mid(0, 9), expected);
    EXPECT_FALSE(scheduler.linkOk());
    EXPECT_FALSE(scheduler.baudFixed());
    // Only the measurement block is asked for while searching.
    EXPECT_EQ(countRequests(fn::ReadHolding), ups.requests.size());
}

TEST_F(SchedulerTest, AutoBaudStopsAtTheRateThatAnswers) {
    ups.answer = [&](const Request& r) {
        return channel.baudRate() == 19200 ? ups.defaultAnswer(r) : QByteArray();
    };
    QSignalSpy found(&scheduler, &UpsSession::baudFound);
    ASSERT_EQ(connect(kBaudAutoItem), ConnectResult::Connected);
    ASSERT_TRUE(ups.stepUntil([&] { return found.count() > 0; }, 5000));
    EXPECT_EQ(found.first().first().toInt(), 5); // ComboBox1 item "19200"
    EXPECT_EQ(scheduler.baudValue(), 19200);
    EXPECT_EQ(scheduler.replyTimeout(), 6);
    EXPECT_EQ(channel.baudHistory.mid(0, 4), (QList<int>{9600, 14400, 4800, 19200}));
    // The settings download follows the cycle in which the rate was found.
    QSignalSpy downloaded(&scheduler, &UpsSession::settingsDownloaded);
    EXPECT_TRUE(ups.stepUntil([&] { return downloaded.count() > 0; }));
}

TEST_F(SchedulerTest, DamagedReplyDuringBaudSearchKeepsTheRate) {
    int asked = 0;
    ups.answer = [&](const Request&) {
        ++asked;
        QByteArray bad = blockReply(Protocol::Ascii, 1, fn::ReadHolding, QVector<uint16_t>(80, 1));
        bad[5] = 'F'; // damaged content, complete frame
        return bad;
    };
    ASSERT_EQ(connect(kBaudAutoItem), ConnectResult::Connected);
    ups.steps(200);
    EXPECT_GT(asked, 3);
    EXPECT_EQ(channel.baudHistory, (QList<int>{9600})); // never moved on
}

TEST_F(SchedulerTest, ModelCodeTable) {
    const std::pair<int, std::pair<int, int>> table[] = {{1, {1, 0}}, {2, {2, 1}},  {3, {3, 2}},  {4, {4, 3}},
                                                         {5, {5, 4}}, {6, {6, 5}},  {7, {8, 7}},  {8, {9, 8}},
                                                         {9, {7, 6}}, {0, {0, -1}}, {10, {0, -1}}};
    for (auto [code, expected] : table) {
        const ModelDetection d = detectModel(code);
        EXPECT_EQ(d.comboItem, expected.first) << code;
        EXPECT_EQ(d.upsModel, expected.second) << code;
    }
}

TEST_F(SchedulerTest, AutoModelIsDetectedFromRegister78) {
    ups.registers[78] = 9;
    QSignalSpy detected(&scheduler, &UpsSession::modelDetected);
    QSignalSpy cycles(&scheduler, &UpsSession::liveCycleEnded);
    ASSERT_EQ(connect(3, Protocol::Ascii, 0), ConnectResult::Connected);
    ASSERT_TRUE(ups.stepUntil([&] { return detected.count() > 0; }));
    EXPECT_EQ(cycles.count(), 0); // the detecting cycle's values were reset: nothing to draw
    EXPECT_EQ(detected.first().first().toInt(), 7);
    EXPECT_EQ(scheduler.upsModel(), 6);
    EXPECT_FALSE(scheduler.autoModelPending());
    // Settings are read again for the detected model.
    QSignalSpy downloaded(&scheduler, &UpsSession::settingsDownloaded);
    EXPECT_TRUE(ups.stepUntil([&] { return downloaded.count() > 0; }));
}

TEST_F(SchedulerTest, UnknownModelCodeDropsTheConnection) {
    ups.registers[78] = 0;
    ups.registers[1] = 230;
    QSignalSpy rejected(&scheduler, &UpsSession::modelRejected);
    ASSERT_EQ(connect(3, Protocol::Ascii, 0), ConnectResult::Connected);
    ASSERT_TRUE(ups.stepUntil([&] { return rejected.count() > 0; }));
    EXPECT_FALSE(channel.isOpen());
    EXPECT_FALSE(scheduler.connected());
    EXPECT_EQ(scheduler.live().LiveData[1], 0);
    const int sent = int(channel.written.size());
    // The status bar, the link icon and the buttons keep following the closed port on every tick.
    QSignalSpy refreshed(&scheduler, &UpsSession::linkStateChanged);
    ups.steps(100);
    EXPECT_EQ(channel.written.size(), sent);
    EXPECT_EQ(refreshed.count(), 100);
    EXPECT_FALSE(scheduler.autoModelPending());
    EXPECT_FALSE(scheduler.linkOk());
}

TEST_F(SchedulerTest, WatchdogDropsTheLinkAfter60SilentTicksAndPollingRecovers) {
    ups.registers[1] = 2205;
    ASSERT_EQ(connect(6), ConnectResult::Connected);
    ASSERT_TRUE(cycleEnds());
    ASSERT_TRUE(scheduler.linkOk());
    ups.silent = true;
    ups.step(); // delivers any reply still pending
    int ticks = 0;
    ASSERT_TRUE(ups.stepUntil([&] {
        ++ticks;
        return !scheduler.linkOk();
    }));
    EXPECT_GE(ticks, 59);
    EXPECT_LE(ticks, 62);
    EXPECT_EQ(scheduler.live().LiveData[1], 0);
    EXPECT_TRUE(scheduler.connected());
    ups.silent = false;
    ASSERT_TRUE(ups.stepUntil([&] { return scheduler.linkOk(); }));
    ASSERT_TRUE(cycleEnds());
    EXPECT_EQ(scheduler.live().LiveData[1], 2205);
}

TEST_F(SchedulerTest, ControlCommandJumpsAheadOfTheCycleAndTheInterruptedBlockIsRetried) {
    ASSERT_EQ(connect(3), ConnectResult::Connected);
    ASSERT_TRUE(cycleEnds());
    // Wait until a measurement request is out, then press a command button.
    const int before = countRequests(fn::ReadHolding);
    ASSERT_TRUE(ups.stepUntil([&] { return countRequests(fn::ReadHolding) > before; }));
    ASSERT_TRUE(scheduler.startControlCommand(351, 1));
    EXPECT_EQ(scheduler.activity(), ActControl);
    ASSERT_TRUE(ups.stepUntil([&] { return countRequests(fn::ControlCommand) == 1; }));
    EXPECT_EQ(ups.requests.last().start, 351);
    EXPECT_EQ(ups.requests.last().value, 1);
    ASSERT_TRUE(ups.stepUntil([&] { return scheduler.activity() != ActControl; }));
    // The measurement block whose reply was thrown away is asked for again, then the cycle goes on.
    ASSERT_TRUE(ups.stepUntil([&] { return countRequests(fn::ReadHolding) == before + 2; }));
    ASSERT_TRUE(cycleEnds());
}

TEST_F(SchedulerTest, OnlyTheLastOfTwoPendingCommandsIsSent) {
    ASSERT_EQ(connect(3), ConnectResult::Connected);
    ASSERT_TRUE(cycleEnds());
    scheduler.startControlCommand(352, 1);
    scheduler.startControlCommand(353, 2);
    ASSERT_TRUE(ups.stepUntil([&] { return scheduler.activity() == ActIdle; }));
    ASSERT_EQ(countRequests(fn::ControlCommand), 1);
    const auto it = std::find_if(ups.requests.begin(), ups.requests.end(),
                                 [](const Request& r) { return r.function == fn::ControlCommand; });
    EXPECT_EQ(it->start, 353);
    EXPECT_EQ(it->value, 2);
    ASSERT_TRUE(cycleEnds());
}

TEST_F(SchedulerTest, JobsRefuseToStartWhileThePortIsClosed) {
    EXPECT_FALSE(scheduler.startControlCommand(351, 1));
    EXPECT_FALSE(scheduler.startWriteSequence({{304, 220}}));
    EXPECT_EQ(scheduler.activity(), ActIdle);
}

class WriteSequenceTest : public SchedulerTest {
  protected:
    void SetUp() override {
        for (int r = 301; r <= 480; ++r)
            ups.registers[r] = 100;
        ASSERT_EQ(connect(6), ConnectResult::Connected);
        QSignalSpy downloaded(&scheduler, &UpsSession::settingsDownloaded);
        ASSERT_TRUE(ups.stepUntil([&] { return downloaded.count() > 0; }));
        ups.requests.clear();
    }
    // Runs the sequence to its read-back; returns the registers written, in order of attempts.
    QVector<int> runSequence(const QVector<WriteEntry>& entries) {
        QSignalSpy downloaded(&scheduler, &UpsSession::settingsDownloaded);
        EXPECT_TRUE(scheduler.startWriteSequence(entries));
        EXPECT_TRUE(ups.stepUntil([&] { return downloaded.count() > 0; }));
        QVector<int> written;
        for (const Request& r : ups.requests)
            if (r.function == fn::WriteMultiple) written.append(r.start);
        return written;
    }
};

TEST_F(WriteSequenceTest, EntriesEqualToTheUpsAreSkippedAndReadBackFollows) {
    const QVector<int> written = runSequence({{304, 100}, {305, 101}, {306, 100}});
    EXPECT_EQ(written, QVector<int>({305}));
    EXPECT_EQ(scheduler.activity(), ActIdle);
    EXPECT_EQ(countRequests(fn::ReadSettings), 3);
}

TEST_F(WriteSequenceTest, NothingToWriteGoesStraightToTheReadBack) {
    EXPECT_TRUE(runSequence({{304, 100}, {305, 100}}).isEmpty());
    EXPECT_EQ(countRequests(fn::ReadSettings), 3);
}

TEST_F(WriteSequenceTest, AnUnansweredEntryIsTriedTwiceThenGivenUp) {
    ups.answer = [&](const Request& r) {
        return r.function == fn::WriteMultiple ? QByteArray() : ups.defaultAnswer(r);
    };
    EXPECT_EQ(runSequence({{304, 1}, {305, 2}, {306, 3}}), QVector<int>({304, 304, 305, 305, 306, 306}));
}

TEST_F(WriteSequenceTest, EveryEntryGetsTwoAttemptsEvenAfterAnEarlierRetry) {
    // Entry 1 fails once then succeeds; entry 2 still gets its own two attempts.
    int attempts304 = 0;
    ups.answer = [&](const Request& r) {
        if (r.function == fn::WriteMultiple && r.start == 304 && ++attempts304 == 1) return QByteArray();
        if (r.function == fn::WriteMultiple && r.start == 305) return QByteArray();
        return ups.defaultAnswer(r);
    };
    EXPECT_EQ(runSequence({{304, 1}, {305, 2}}), QVector<int>({304, 304, 305, 305}));
}

TEST_F(SchedulerTest, ModulesAddTheFaultBlockAndTheModuleStage) {
    ups.registers[119] = 0x0000;
    ups.registers[120] = 0x0005; // modules 1 and 3
    QSignalSpy listChanged(&scheduler, &UpsSession::moduleListChanged);
    ASSERT_EQ(connect(6), ConnectResult::Connected);
    ASSERT_TRUE(cycleEnds());
    EXPECT_EQ(scheduler.live().modules.count, 2);
    EXPECT_EQ(scheduler.live().modules.list, QVector<int>({1, 3}));
    EXPECT_EQ(listChanged.count(), 1);
    // The first cycle already ran the module stage for module 1, without the fault block.
    EXPECT_EQ(countRequests(0x04), 2);
    EXPECT_EQ(countRequests(fn::ReadModule), 2);
    ASSERT_TRUE(cycleEnds());
    EXPECT_EQ(countRequests(0x04), 5); // (81, 80), (161, 80), (3071, 120)
    EXPECT_EQ(ups.requests.last().function, fn::ReadModule);
    EXPECT_EQ(ups.requests.last().module, 1);

    scheduler.selectModule(3);
    EXPECT_EQ(scheduler.activity(), ActModuleData);
    ASSERT_TRUE(cycleEnds());
    EXPECT_EQ(ups.requests.last().module, 3);
    EXPECT_EQ(ups.requests.last().start, 2073);
}

TEST(ModulePresence, MaskBitsAndTheHighBitsOf119) {
    LiveStores s;
    s.LiveStatus.set(119, 0xC001);
    s.LiveStatus.set(120, 0);
    EXPECT_TRUE(s.updateModulePresence());
    EXPECT_EQ(s.LiveStatus[119], 0x0001);
    EXPECT_EQ(s.modules.list, QVector<int>({17}));
    EXPECT_EQ(s.modules.selected, 17);
    // Mask gone for a cycle, then back: the list is rebuilt.
    s.LiveStatus.set(119, 0);
    EXPECT_FALSE(s.updateModulePresence());
    EXPECT_EQ(s.modules.count, 0);
    s.LiveStatus.set(119, 1);
    EXPECT_TRUE(s.updateModulePresence());
    EXPECT_EQ(s.modules.count, 1);
    s.clear();
    EXPECT_EQ(s.modules.selected, 0);
    EXPECT_TRUE(s.modules.list.isEmpty());
}

TEST_F(SchedulerTest, StatusBlocksRetryEachOnItsOwn) {
    // Block (81, 80) fails once then answers; block (161, 80) never answers: two attempts each.
    int first = 0;
    ups.answer = [&](const Request& r) {
        if (r.function == fn::ReadInput && r.start == 81 && ++first == 1) return QByteArray();
        if (r.function == fn::ReadInput && r.start == 161) return QByteArray();
        return ups.defaultAnswer(r);
    };
    ASSERT_EQ(connect(6), ConnectResult::Connected);
    ASSERT_TRUE(cycleEnds());
    QVector<int> starts;
    for (const Request& r : ups.requests)
        if (r.function == fn::ReadInput) starts.append(r.start);
    EXPECT_EQ(starts, QVector<int>({81, 81, 161, 161}));
}

TEST_F(SchedulerTest, DisconnectClearsTheStores) {
    ups.registers[1] = 5;
    ASSERT_EQ(connect(6), ConnectResult::Connected);
    ASSERT_TRUE(cycleEnds());
    scheduler.disconnectLink();
    EXPECT_FALSE(channel.isOpen());
    EXPECT_EQ(scheduler.live().LiveData[1], 0);
    const LiveStores empty;
    EXPECT_EQ(scheduler.live().LiveStatus, empty.LiveStatus);
    EXPECT_EQ(scheduler.live().ModuleData, empty.ModuleData);
}

TEST_F(SchedulerTest, LostPortIsReopenedAndPollingResumes) {
    ups.registers[1] = 42;
    ASSERT_EQ(connect(6), ConnectResult::Connected);
    ASSERT_TRUE(cycleEnds());
    QSignalSpy lost(&scheduler, &UpsSession::portLost);
    QSignalSpy restored(&scheduler, &UpsSession::portRestored);
    channel.unplug();
    ups.step();
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(scheduler.linkOk());
    EXPECT_EQ(scheduler.live().LiveData[1], 0);
    EXPECT_TRUE(scheduler.connected());
    ASSERT_TRUE(ups.stepUntil([&] { return restored.count() > 0; }, 100));
    ASSERT_TRUE(cycleEnds());
    EXPECT_EQ(scheduler.live().LiveData[1], 42);
    EXPECT_TRUE(scheduler.linkOk());
}

// A record download whose decoding fails inside its step.
class FailingRecordJob : public RecordJob {
  public:
    JobState state() const override { return state_; }
    void serveRequest(LinkIo& io) override {
        io.send(recordRequest(io.protocol(), io.address(), fn::ReadHistory, 1, 5));
        state_ = JobReplyDue;
    }
    void serveReply(LinkIo& io) override {
        io.receive(64);
        throw std::length_error("record longer than its grid");
    }
    void reset() override { state_ = JobIdle; }
    const char* name() const override { return "history download"; }
    void abandon(const QString& why) override {
        reason = why;
        state_ = JobIdle;
    }
    JobState state_ = JobRequestDue;
    QString reason;
};

TEST_F(SchedulerTest, AJobThatFailsIsStoppedAndTheLiveCycleGoesOn) {
    ASSERT_EQ(connect(), ConnectResult::Connected);
    ASSERT_TRUE(cycleEnds());
    FailingRecordJob history;
    scheduler.setRecordJob(1, &history);
    scheduler.setActivity(ActHistory);
    EXPECT_TRUE(cycleEnds()) << "the live poll resumes once the failed download is stopped";
    EXPECT_EQ(history.reason, "record longer than its grid");
    EXPECT_EQ(history.state(), JobIdle);
    EXPECT_TRUE(scheduler.linkOk());
    scheduler.setRecordJob(1, nullptr);
}

TEST(AbandonedJobs, EndAsFailuresNeverAsSuccesses) {
    ControlCommandJob command;
    command.start(351, 1);
    command.abandon("x");
    EXPECT_FALSE(command.wantsLine());
    EXPECT_EQ(command.lastResult().outcome, WriteOutcome::Abandoned);
    EXPECT_EQ(command.lastResult().reg, 351);

    SettingStores stores;
    WriteSequenceJob writes{stores.SettingNew, stores.SettingData};
    writes.start({{304, 220}, {305, 5}});
    writes.abandon("x");
    EXPECT_FALSE(writes.wantsLine());
    ASSERT_EQ(writes.results().size(), 2);
    for (const WriteResult& r : writes.results())
        EXPECT_EQ(r.outcome, WriteOutcome::Abandoned) << r.reg;

    SettingsDownload download{stores.SettingData};
    download.start();
    download.abandon("x");
    EXPECT_FALSE(download.wantsLine());
    EXPECT_EQ(download.blocksGivenUp(), 3) << "settings not read are never shown as the UPS's";
}

// The fast timing changes when requests go out, never what is asked or what is stored.
class FastTimingTest : public SchedulerTest, public ::testing::WithParamInterface<Protocol> {};

TEST_P(FastTimingTest, SameRequestsAndValuesInFarFewerTicks) {
    for (int r = 1; r <= 80; ++r)
        ups.registers[r] = uint16_t(1000 + r);
    for (int r = 301; r <= 480; ++r)
        ups.registers[r] = uint16_t(r);
    struct Run {
        int ticksToFirstCycle = 0;
        QVector<std::pair<int, int>> asked; // function, start
        RegisterStore live{1, 80};
        RegisterStore settings{301, 480};
    };
    auto run = [&](LinkTiming timing) {
        scheduler.disconnectLink();
        ups.requests.clear();
        scheduler.setTiming({timing, 0});
        ups.answerAtOnce = timing == LinkTiming::Fast;
        EXPECT_EQ(connect(3, GetParam()), ConnectResult::Connected);
        Run r;
        QSignalSpy cycles(&scheduler, &UpsSession::liveCycleEnded);
        for (; cycles.isEmpty() && r.ticksToFirstCycle < 400; ++r.ticksToFirstCycle)
            ups.step();
        for (const Request& q : ups.requests)
            r.asked.append({q.function, q.start});
        r.live = scheduler.live().LiveData;
        r.settings = scheduler.settings().SettingData;
        return r;
    };
    const Run classic = run(LinkTiming::Classic);
    const Run fast = run(LinkTiming::Fast);
    EXPECT_EQ(fast.asked, classic.asked);
    EXPECT_TRUE(fast.live == classic.live);
    EXPECT_TRUE(fast.settings == classic.settings);
    EXPECT_EQ(fast.live[80], 1080);
    EXPECT_EQ(fast.settings[480], 480);
    // Classic: three ticks a block and a cycle's wait after the settings; fast: the first cycle
    // starts on the tick after the settings download and each stage runs in one breath.
    EXPECT_GT(classic.ticksToFirstCycle, 40);
    EXPECT_LE(fast.ticksToFirstCycle, 6) << "classic took " << classic.ticksToFirstCycle;
}

INSTANTIATE_TEST_SUITE_P(BothFramings, FastTimingTest, ::testing::Values(Protocol::Ascii, Protocol::Rtu));

TEST_F(SchedulerTest, FastTimingWaitsForTheWholeReply) {
    scheduler.setTiming({LinkTiming::Fast, 0});
    ASSERT_EQ(connect(3, Protocol::Rtu), ConnectResult::Connected);
    ups.step(); // the first settings request goes out
    ASSERT_EQ(channel.written.size(), 1);
    const QByteArray reply = ups.defaultAnswer(ups.requests.last());

    channel.deliver(reply.left(reply.size() - 1)); // one byte still on its way
    EXPECT_FALSE(scheduler.promptPending());
    scheduler.prompt();
    EXPECT_EQ(channel.written.size(), 1) << "a cut reply is not judged early";

    QByteArray lying = reply;
    lying[reply.size() - 1] = char(lying[reply.size() - 1] ^ 0xFF);
    channel.rx.clear();
    channel.deliver(lying); // the announced length, but a bad check
    scheduler.prompt();
    EXPECT_EQ(channel.written.size(), 1) << "a head that lies leaves the reply to the silence rule";

    channel.rx.clear();
    channel.deliver(reply);
    EXPECT_TRUE(scheduler.promptPending()) << "the gap timer runs once the reply is whole";
    scheduler.prompt();
    EXPECT_EQ(channel.written.size(), 2) << "judged, and the next block asked for at once";
    EXPECT_EQ(scheduler.settingsDownload().list().index(), 2);
}

// Fast timing finds a request under way on almost every tick: a command must not purge its reply.
TEST_F(SchedulerTest, FastTimingJudgesTheReplyUnderWayBeforeACommandTakesTheLine) {
    scheduler.setTiming({LinkTiming::Fast, 0});
    ASSERT_EQ(connect(), ConnectResult::Connected);
    ASSERT_TRUE(cycleEnds());
    ASSERT_TRUE(ups.stepUntil([&] { return scheduler.liveStep() == 2; })); // measurement reply due
    ups.requests.clear();
    QSignalSpy ended(&scheduler, &UpsSession::controlCommandEnded);
    ASSERT_TRUE(scheduler.startControlCommand(351, 1));
    ASSERT_TRUE(ups.stepUntil([&] { return ended.count() > 0; }, 10));
    EXPECT_EQ(countRequests(fn::ControlCommand), 1);
    EXPECT_TRUE(cycleEnds(20)) << "the cycle goes on without waiting for a late reply";
    EXPECT_EQ(countRequests(fn::ReadHolding), 0) << "the measurement block was not asked again";
    EXPECT_TRUE(scheduler.linkOk());
}

} // namespace

