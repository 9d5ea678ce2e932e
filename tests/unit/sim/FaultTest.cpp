// Fault injection, judged by the tool's own reply checks.

#include "Faults.h"
#include "SimRequests.h"
#include "VirtualUps.h"

#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

class SimFaults : public ::testing::TestWithParam<Protocol> {
  protected:
    SimFaults() {
        SimConfig c;
        c.protocol = GetParam();
        ups = std::make_unique<VirtualUps>(c);
    }
    ReplyOutcome poll() {
        const QByteArray reply = exchange(*ups, blockReadRequest(GetParam(), 1, fn::ReadHolding, 1, 80));
        return examineBlockReply(GetParam(), reply, 1, fn::ReadHolding, 80).outcome;
    }
    std::unique_ptr<VirtualUps> ups;
};

INSTANTIATE_TEST_SUITE_P(Framings, SimFaults, ::testing::Values(Protocol::Ascii, Protocol::Rtu),
                         [](const auto& info) { return info.param == Protocol::Rtu ? "Rtu" : "Ascii"; });

TEST_P(SimFaults, EachKindSpoilsTheReplyTheWayItShould) {
    const bool rtu = GetParam() == Protocol::Rtu;
    struct Case {
        FaultKind kind;
        ReplyOutcome outcome;
    };
    const Case cases[] = {
        {FaultKind::Checksum, ReplyOutcome::Damaged},
        // The tool compares the byte count in RTU only.
        {FaultKind::ByteCount, rtu ? ReplyOutcome::Missing : ReplyOutcome::Accepted},
        {FaultKind::Truncate, ReplyOutcome::Missing},
        {FaultKind::Exception, ReplyOutcome::Missing},
    };
    for (const Case& c : cases) {
        ups->faults().clear();
        ups->faults().add(c.kind);
        EXPECT_EQ(poll(), c.outcome) << faultKindName(c.kind).toStdString();
    }
    ups->faults().clear();
    ups->faults().add(FaultKind::Garbage);
    EXPECT_NE(poll(), ReplyOutcome::Accepted);
    ups->faults().clear();
    EXPECT_EQ(poll(), ReplyOutcome::Accepted);
}

TEST_P(SimFaults, EveryNthReplyOnly) {
    ups->faults().add(FaultKind::Checksum, 3);
    QVector<ReplyOutcome> seen;
    for (int i = 0; i < 6; ++i)
        seen.append(poll());
    const auto A = ReplyOutcome::Accepted, D = ReplyOutcome::Damaged;
    EXPECT_EQ(seen, (QVector<ReplyOutcome>{A, A, D, A, A, D}));
}

TEST_P(SimFaults, RuleEndsAtItsTime) {
    ups->faults().add(FaultKind::Truncate, 1, 5000);
    EXPECT_EQ(poll(), ReplyOutcome::Missing);
    ups->advanceTo(5000);
    EXPECT_EQ(poll(), ReplyOutcome::Accepted);
}

TEST_P(SimFaults, BusyExceptionLeavesTheCommandUndone) {
    ups->faults().add(FaultKind::Exception);
    EXPECT_EQ(sendCommand(*ups, 354, 0x00FF).toHex(), "01e806");
    ups->faults().clear();
    EXPECT_EQ(readRegister(*ups, fn::ReadInput, 81), 1);
}

TEST_P(SimFaults, DelayAndSilence) {
    ups->faults().setDelay(400, 3000);
    const QByteArray request = blockReadRequest(GetParam(), 1, fn::ReadHolding, 1, 80);
    QList<Outgoing> out = ups->receive(request);
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(out.first().delayMs, 400);
    ups->advanceTo(3000);
    out = ups->receive(request);
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(out.first().delayMs, 0);
    ups->faults().setSilent(true);
    EXPECT_TRUE(ups->receive(request).isEmpty());
    ups->faults().setSilent(false);
    EXPECT_EQ(ups->receive(request).size(), 1);
}

TEST(SimFaultNames, RoundTrip) {
    for (FaultKind k : {FaultKind::Checksum, FaultKind::ByteCount, FaultKind::Truncate, FaultKind::Exception,
                        FaultKind::Garbage})
        EXPECT_EQ(faultKindFromName(faultKindName(k)), k);
    EXPECT_FALSE(faultKindFromName("crc").has_value());
}

} // namespace
