// History and maintenance-code records as the UPS sends them.

#include "Records.h"
#include "SimRequests.h"
#include "VirtualUps.h"

#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

TEST(SimRecords, HistoryRecordLayoutPerModel) {
    HistoryEvent e;
    e.code = 46; // module exit
    e.action = ActionSet;
    e.unit = 5;
    e.calendar = QDateTime(QDate(2013, 7, 5), QTime(8, 3, 9));
    e.runningSeconds = 90061;
    struct Case {
        int model;
        const char* bytes;
    };
    const Case cases[] = {
        // model 0: code bits 8..1 | code bit 0, action, unit (5 bits); calendar BCD
        {0, "17 25 09 03 08 05 07 13"},
        // model 1: code bits 9..2 | code bits 1..0, action, unit (4 bits); calendar BCD
        {1, "0b 95 09 03 08 05 07 13"},
        // model 5: running seconds, low word (r4 r5) first
        {5, "0b 95 00 00 5f cd 00 01"},
        // model 6: wide code, running seconds
        {6, "17 25 00 00 5f cd 00 01"},
    };
    for (const Case& c : cases) {
        const auto r = encodeHistoryRecord(profileFor(c.model), e);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(r.data()), 8).toHex(' '), c.bytes)
            << "model " << c.model;
    }
}

TEST(SimRecords, HistoryReplyCarriesTheRecordCount) {
    SimConfig c;
    c.protocol = Protocol::Rtu;
    c.historyEvents = 12;
    VirtualUps ups(c);
    for (int index : {1, 12}) {
        const QByteArray pdu =
            replyPdu(Protocol::Rtu,
                     exchange(ups, recordRequest(Protocol::Rtu, 1, fn::ReadHistory, uint16_t(index), 5)));
        ASSERT_EQ(pdu.size(), 13) << index;
        EXPECT_EQ(pdu.left(3).toHex(), "01660a");
        EXPECT_EQ(pdu.right(2).toHex(), "000c") << "12 records";
    }
    // The oldest record comes first and the stamps run forward.
    EXPECT_LT(ups.history().at(1).calendar, ups.history().at(12).calendar);
    EXPECT_LT(ups.history().at(12).calendar, ups.clock().now());
}

TEST(SimRecords, SCodeReplyHoldsCountUnitTimeAndWords) {
    SimConfig c;
    c.protocol = Protocol::Ascii;
    c.upsModel = 0;
    c.scodeRecords = 3;
    VirtualUps ups(c);
    const QByteArray pdu =
        replyPdu(Protocol::Ascii, exchange(ups, recordRequest(Protocol::Ascii, 1, fn::ReadSCode, 1, 0x24)));
    ASSERT_EQ(pdu.size(), 75);
    EXPECT_EQ(pdu.left(3).toHex(), "016a48");
    EXPECT_EQ(uint8_t(pdu[3]), 3) << "r0: records held";
    // 2024-06-01 08:00 less three times two days: 2024-05-26 08:00:00
    EXPECT_EQ(pdu.mid(5, 6).toHex(' '), "00 00 08 26 05 24");
    // S0 digit 0 is the supply source: 1, the inverter.
    EXPECT_EQ(uint8_t(pdu[11]) >> 4, 1);
    // Small towers keep no maintenance codes.
    c.upsModel = 6;
    VirtualUps tower(c);
    EXPECT_EQ(
        replyPdu(Protocol::Ascii, exchange(tower, recordRequest(Protocol::Ascii, 1, fn::ReadSCode, 1, 0x24)))
            .toHex(),
        "01ea01");
}

TEST(SimRecords, AStatusChangeAddsAMaintenanceCode) {
    SimConfig c;
    c.upsModel = 2;
    VirtualUps ups(c);
    const int before = ups.scodes().count();
    ups.plant().setUtility(false);
    ups.advanceTo(1000);
    ASSERT_EQ(ups.scodes().count(), before + 1);
    const auto& w = ups.scodes().at(before + 1).words;
    EXPECT_EQ(scodeDigit(w, 2, 1), 1) << "A0 utility: fault";
    EXPECT_EQ(scodeDigit(w, 0, 4), 4) << "S0 battery: discharging";
    // With the trigger mask cleared the same kind of change records nothing.
    for (int reg = 361; reg <= 368; ++reg)
        ups.settings().set(reg, 0);
    ups.plant().setUtility(true);
    ups.advanceTo(2000);
    EXPECT_EQ(ups.scodes().count(), before + 1);
}

TEST(SimRecords, LogKeepsTheNewestEntries) {
    RecordLog<int> log(3);
    for (int i = 1; i <= 5; ++i)
        log.append(i);
    EXPECT_EQ(log.count(), 3);
    EXPECT_EQ(log.at(1), 3);
    EXPECT_FALSE(log.contains(4));
}

} // namespace
