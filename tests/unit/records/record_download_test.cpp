// The history and S-code downloads in the scheduler's record slots, against a scripted UPS on a
// fake channel, in both framings: what is asked for, when the download ends, what a damaged,
// missing or exception reply does, and what the grid holds afterwards.

#include "FakeUps.h"
#include "records/RecordDecode.h"
#include "records/RecordDownload.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::test;

namespace {

// Model 1: code 43 "Fault Clear", set, whole unit, 2013-07-05 08:03:09 + n seconds.
HistoryBytes historyRecord(int n) {
    return {0x0A, 0b11'01'0000, ToBcd(n % 60), 0x03, 0x08, 0x05, 0x07, 0x13};
}

class RecordDownloadTest : public ::testing::TestWithParam<Protocol> {
  protected:
    FakeSerialChannel channel;
    UpsSession scheduler{channel};
    FakeUps ups{channel, scheduler};
    HistoryDownload history{&scheduler.settings().SettingData};
    SCodeDownload scodes;

    int historyCount = 5;   // records the UPS holds
    int reportedCount = -1; // count sent in the replies; -1 = historyCount
    int scodeCount = 3;
    // Replaces the good reply to a record request; return the reply to send instead.
    std::function<QByteArray(int function, int index, const QByteArray& good)> damage;

    Protocol mode() const { return GetParam(); }

    void SetUp() override {
        scheduler.setRecordJob(1, &history);
        scheduler.setRecordJob(2, &scodes);
        ups.mode = mode();
        ups.answer = [this](const Request& r) {
            if (r.function != fn::ReadHistory && r.function != fn::ReadSCode) return ups.defaultAnswer(r);
            const QByteArray good = frame(mode(), recordPdu(r.function, r.start));
            return damage ? damage(r.function, r.start, good) : good;
        };
        ConnectRequest request;
        request.modelItem = 2; // UpsModel 1
        request.baudItem = 3;  // 9600
        request.protocol = mode();
        ASSERT_EQ(scheduler.connectLink(request), ConnectResult::Connected);
    }

    QByteArray recordPdu(int function, int index) const {
        QByteArray pdu;
        pdu.append(char(1));
        const bool isHistory = function == fn::ReadHistory;
        if (index < 1 || index > (isHistory ? historyCount : scodeCount)) {
            pdu.append(char(function | 0x80));
            pdu.append(char(0x02)); // illegal data address: no such record
            return pdu;
        }
        pdu.append(char(function));
        if (isHistory) {
            pdu.append(char(10));
            for (uint8_t b : historyRecord(index))
                pdu.append(char(b));
            const int count = reportedCount >= 0 ? reportedCount : historyCount;
            pdu.append(char(count >> 8));
            pdu.append(char(count & 0xFF));
        } else {
            pdu.append(char(72));
            QByteArray data(72, '\0');
            data[0] = char(reportedCount >= 0 ? reportedCount : scodeCount);
            data[1] = char(index % 16);
            data[2] = char(ToBcd(index % 60)), data[3] = 0x01, data[4] = 0x12, data[5] = 0x09, data[6] = 0x06,
            data[7] = 0x14;
            data[8] = char(index); // S0 word 1 high byte
            pdu.append(data);
        }
        return pdu;
    }

    void startHistory() {
        history.setLanguage(1);
        history.start();
        scheduler.setActivity(history.activity());
    }
    void startSCodes() {
        scodes.start();
        scheduler.setActivity(scodes.activity());
    }
    bool runToEnd(RecordDownload& job, int maxTicks = 20'000) {
        return ups.stepUntil([&] { return !job.running(); }, maxTicks);
    }
    QVector<int> requested(int function) const {
        QVector<int> out;
        for (const Request& r : ups.requests)
            if (r.function == function) out << r.start;
        return out;
    }
    static QVector<int> numbers(int first, int last) {
        QVector<int> out;
        for (int i = first; i <= last; ++i)
            out << i;
        return out;
    }
};

TEST_P(RecordDownloadTest, ReadsTheWholeLogThenHandsTheLinkBack) {
    QSignalSpy finished(&history, &RecordDownload::finished);
    QSignalSpy progress(&history, &RecordDownload::progressChanged);
    startHistory();
    ASSERT_TRUE(runToEnd(history));

    EXPECT_EQ(requested(fn::ReadHistory), numbers(1, 5))
        << "the count in the replies ends it, no extra request";
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(scheduler.activity(), ActIdle);
    EXPECT_TRUE(scheduler.linkOk());
    EXPECT_EQ(history.grid().at(0, 0), "Num.");
    EXPECT_EQ(history.grid().at(4, 0), "DateAndTime");
    for (int n = 1; n <= 5; ++n) {
        const QStringList expected = historyRowCells(n, historyRecord(n), 1, 1, false);
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(history.grid().at(c, n), expected[c]) << n;
    }
    EXPECT_EQ(history.grid().at(0, 6), "");
    // The progress bar follows index * 100 / total: 0 at start, then 20, 40 ... 100.
    QList<int> values;
    for (const auto& args : progress)
        values << args[0].toInt();
    EXPECT_EQ(values, QList<int>({0, 0, 40, 60, 80, 100}))
        << "record 1 is asked while the total is still 900";

    // The live poll was held back and starts again afterwards.
    const int before = int(ups.requests.size());
    ups.steps(200);
    bool livePolled = false;
    for (int i = before; i < ups.requests.size(); ++i)
        livePolled = livePolled || ups.requests[i].function == fn::ReadHolding;
    EXPECT_TRUE(livePolled);
}

struct EndCase {
    const char* what;
    int holds;      // records the UPS has
    int reported;   // count in its replies (-1: what it holds)
    int lastAsked;  // last record number requested
    int lastFilled; // last grid row with a record
    int totalAfter; // HislogTotal at the end
};

TEST_P(RecordDownloadTest, HistoryEndRules) {
    const EndCase cases[] = {
        {"exception to record 1", 0, -1, 1, 0, 900},
        {"the UPS reports a count of 0", 3, 0, 1, 1, 0},
        {"count beyond the grid: read, not kept", 1003, -1, 1003, 999, 1003},
        {"count larger than the log: the exception ends it", 4, 10, 5, 4, 10},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.what);
        historyCount = c.holds;
        reportedCount = c.reported;
        ups.requests.clear();
        QSignalSpy finished(&history, &RecordDownload::finished);
        startHistory();
        ASSERT_TRUE(runToEnd(history));
        const QVector<int> asked = requested(fn::ReadHistory);
        ASSERT_FALSE(asked.isEmpty());
        EXPECT_EQ(asked.last(), c.lastAsked);
        EXPECT_EQ(asked.size(), c.lastAsked) << "each record asked once";
        EXPECT_EQ(history.total(), c.totalAfter);
        EXPECT_EQ(history.index(), 0);
        EXPECT_EQ(finished.count(), 1);
        EXPECT_EQ(scheduler.activity(), ActIdle);
        EXPECT_EQ(history.grid().at(0, 0), "Num.");
        if (c.lastFilled > 0) {
            EXPECT_EQ(history.grid().at(0, c.lastFilled), QString::number(c.lastFilled));
        }
        if (c.lastFilled < 999) {
            EXPECT_EQ(history.grid().at(0, c.lastFilled + 1), "");
        }
    }
}

// What each kind of bad reply does to record 3 (given `times` times in a row, then the good one).
struct BadReplyCase {
    const char* what;
    std::function<QByteArray(Protocol, const QByteArray& good)> make;
    bool countedRtu, countedAscii; // counts toward the fail counter
};

QByteArray flipCheck(Protocol mode, const QByteArray& good) {
    QByteArray bad = good;
    const int at = mode == Protocol::Rtu ? int(bad.size()) - 1 : int(bad.size()) - 3;
    bad[at] = bad[at] == '0' ? '1' : char(bad[at] ^ 0x01);
    return bad;
}
QByteArray otherAddress(Protocol mode, const QByteArray& good) {
    QByteArray pdu = mode == Protocol::Rtu ? good.left(good.size() - 2) : asciiPayload(good).chopped(1);
    pdu[0] = 2;
    return frame(mode, pdu);
}
QByteArray busy(Protocol mode, const QByteArray&) {
    return frame(mode, QByteArray::fromHex("01E606"));
}

const BadReplyCase kBadReplies[] = {
    {"checksum wrong", flipCheck, false, false},
    {"from another address", otherAddress, true, false}, // RTU: not ours at all; ASCII: checked, dropped
    {"cut short", [](Protocol, const QByteArray& g) { return g.left(g.size() - 4); }, true, true},
    {"no reply", [](Protocol, const QByteArray&) { return QByteArray(); }, true, true},
    {"busy", busy, true, true},
};

TEST_P(RecordDownloadTest, ADamagedOrMissingReplyIsAskedAgainAndNeverBecomesARecord) {
    for (const BadReplyCase& c : kBadReplies) {
        SCOPED_TRACE(c.what);
        ups.requests.clear();
        int bad = 3;
        damage = [&](int function, int index, const QByteArray& good) {
            if (function == fn::ReadHistory && index == 3 && bad > 0) {
                --bad;
                return c.make(mode(), good);
            }
            return good;
        };
        int maxFails = 0;
        startHistory();
        ASSERT_TRUE(ups.stepUntil([&] {
            maxFails = std::max(maxFails, history.failCount());
            return !history.running();
        }));
        EXPECT_EQ(requested(fn::ReadHistory), QVector<int>({1, 2, 3, 3, 3, 3, 4, 5}));
        const bool counted = mode() == Protocol::Rtu ? c.countedRtu : c.countedAscii;
        EXPECT_EQ(maxFails, counted ? 3 : 0);
        EXPECT_EQ(history.failCount(), 0) << "a good record clears the counter";
        EXPECT_EQ(history.grid().at(4, 3), historyRowCells(3, historyRecord(3), 1, 1, false)[4]);
        EXPECT_EQ(history.grid().at(0, 6), "");
    }
}

TEST_P(RecordDownloadTest, MoreThanTenUnusableHistoryRepliesShowTheLinkAsLost) {
    int bad = 11;
    damage = [&](int function, int index, const QByteArray& good) {
        if (function == fn::ReadHistory && index == 2 && bad > 0) {
            --bad;
            return good.left(5);
        }
        return good;
    };
    startHistory();
    ASSERT_TRUE(ups.stepUntil([&] { return history.failCount() == 10; }));
    EXPECT_TRUE(scheduler.linkOk());
    ASSERT_TRUE(ups.stepUntil([&] { return bad == 0 && history.state() == JobRequestDue; }));
    EXPECT_FALSE(scheduler.linkOk()) << "the eleventh unusable reply";
    EXPECT_EQ(history.failCount(), 0);
    ASSERT_TRUE(runToEnd(history));
    EXPECT_TRUE(scheduler.linkOk()) << "the next good record brings it back";
    EXPECT_EQ(history.grid().at(0, 5), "5");
}

TEST_P(RecordDownloadTest, CancelKeepsTheRowsAndAStartBeginsAgainFromRecordOne) {
    historyCount = 8;
    QSignalSpy finished(&history, &RecordDownload::finished);
    startHistory();
    ASSERT_TRUE(ups.stepUntil([&] { return requested(fn::ReadHistory).size() == 4; }));
    history.cancel();
    scheduler.setActivity(ActIdle);
    EXPECT_FALSE(history.running());
    EXPECT_EQ(history.index(), 0);
    EXPECT_EQ(history.total(), 0);
    ups.steps(60);
    EXPECT_EQ(requested(fn::ReadHistory), numbers(1, 4)) << "the pending request is the last one";
    EXPECT_EQ(history.grid().at(0, 3), "3");
    EXPECT_EQ(history.grid().at(0, 4), "") << "the reply to record 4 came after the cancel";
    EXPECT_EQ(finished.count(), 0);

    ups.requests.clear();
    startHistory();
    EXPECT_EQ(history.grid().at(0, 3), "") << "a new download clears the grid";
    ASSERT_TRUE(runToEnd(history));
    EXPECT_EQ(requested(fn::ReadHistory), numbers(1, 8));
}

TEST_P(RecordDownloadTest, ConnectingAgainResetsARunningDownload) {
    startHistory();
    ups.steps(5);
    ASSERT_TRUE(history.running());
    scheduler.resetLinkState();
    EXPECT_FALSE(history.running());
    EXPECT_EQ(history.index(), 0);
    EXPECT_EQ(history.failCount(), 0);
    EXPECT_EQ(scheduler.activity(), ActIdle);
}

TEST_P(RecordDownloadTest, SCodesFillNineRowsPerRecord) {
    QSignalSpy finished(&scodes, &RecordDownload::finished);
    startSCodes();
    ASSERT_TRUE(runToEnd(scodes));
    EXPECT_EQ(requested(fn::ReadSCode), numbers(1, 3));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(scheduler.activity(), ActIdle);
    EXPECT_EQ(scodes.grid().at(0, 0), "01 SCode 01# 2014-06-09 12:01:01");
    EXPECT_EQ(scodes.grid().at(0, 1), "S0: 0100-0000-0000-0000");
    EXPECT_EQ(scodes.grid().at(0, 18), "03 SCode 03# 2014-06-09 12:01:03");
    EXPECT_EQ(scodes.grid().at(0, 26), "A5: 0000-0000-0000-0000");
    EXPECT_EQ(scodes.grid().at(0, 27), "");
}

TEST_P(RecordDownloadTest, SCodeEndRules) {
    const EndCase cases[] = {
        {"exception to record 1", 0, -1, 1, 0, 100},
        {"112 records: the last one leaves only its title", 112, -1, 112, 112, 112},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.what);
        scodeCount = c.holds;
        ups.requests.clear();
        startSCodes();
        ASSERT_TRUE(runToEnd(scodes));
        EXPECT_EQ(requested(fn::ReadSCode).last(), c.lastAsked);
        EXPECT_EQ(scodes.total(), c.totalAfter);
        if (c.lastFilled == 0) {
            EXPECT_EQ(scodes.grid().at(0, 0), "");
        }
    }
    EXPECT_EQ(scodes.grid().at(0, 998), "A5: 0000-0000-0000-0000") << "record 111 complete";
    EXPECT_EQ(scodes.grid().at(0, 999), "112 SCode 00# 2014-06-09 12:01:52");
}

TEST_P(RecordDownloadTest, UnusableSCodeRepliesNeverLoseTheLink) {
    int bad = 7;
    damage = [&](int function, int index, const QByteArray& good) {
        if (function == fn::ReadSCode && index == 2 && bad > 0) {
            --bad;
            return good.left(5);
        }
        return good;
    };
    int maxFails = 0;
    bool everLost = false;
    startSCodes();
    ASSERT_TRUE(ups.stepUntil([&] { return scodes.recordsRead() == 1; }));
    ASSERT_TRUE(ups.stepUntil([&] {
        maxFails = std::max(maxFails, scodes.failCount());
        everLost = everLost || !scheduler.linkOk();
        return !scodes.running();
    }));
    EXPECT_EQ(maxFails, 5) << "the counter starts again above 5";
    EXPECT_FALSE(everLost);
    EXPECT_EQ(scodes.grid().at(0, 9), "02 SCode 02# 2014-06-09 12:01:02");
}

INSTANTIATE_TEST_SUITE_P(Framings, RecordDownloadTest, ::testing::Values(Protocol::Ascii, Protocol::Rtu),
                         [](const auto& info) { return info.param == Protocol::Rtu ? "Rtu" : "Ascii"; });

} // namespace
