// How the UPS answered a command or a calibration write reaches the pages: the scheduler against a
// scripted UPS that echoes, refuses, stays silent or garbles its answer.

#include "FakeUps.h"
#include "ReplyBuilder.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::test;

namespace {

enum class Answer { Echo, Exception, Silent, BadCheck, Truncated };

QByteArray reply(Protocol mode, const Request& r, Answer kind) {
    QByteArray pdu;
    pdu.append(char(r.address));
    if (kind == Answer::Exception) {
        pdu.append(char(r.function | 0x80));
        pdu.append(char(4));
    } else {
        pdu.append(char(r.function));
        pdu.append(char(r.start >> 8)).append(char(r.start & 0xFF)).append('\0').append('\1');
    }
    QByteArray raw = frame(mode, pdu);
    if (kind == Answer::BadCheck) raw[raw.size() - (mode == Protocol::Rtu ? 1 : 3)] ^= 0x01;
    if (kind == Answer::Truncated) raw.chop(4);
    return raw;
}

class CommandOutcome : public ::testing::TestWithParam<Protocol> {
  protected:
    FakeSerialChannel channel;
    UpsSession scheduler{channel};
    FakeUps ups{channel, scheduler};
    Answer commandAnswer = Answer::Echo;

    void SetUp() override {
        ups.mode = GetParam();
        ups.registers[304] = 220;
        ups.answer = [this](const Request& r) {
            if (r.function != fn::ControlCommand && r.function != fn::WriteMultiple) return ups.defaultAnswer(r);
            return commandAnswer == Answer::Silent ? QByteArray() : reply(ups.mode, r, commandAnswer);
        };
        ConnectRequest c;
        c.modelItem = 2;
        c.baudItem = 3;
        c.portName = "/dev/ttyFAKE";
        c.protocol = ups.mode;
        ASSERT_EQ(scheduler.connectLink(c), ConnectResult::Connected);
        QSignalSpy downloaded(&scheduler, &UpsSession::settingsDownloaded);
        ASSERT_TRUE(ups.stepUntil([&] { return downloaded.count() > 0; }));
    }
    int sent(uint8_t function) const {
        return int(std::count_if(ups.requests.begin(), ups.requests.end(),
                                 [&](const Request& r) { return r.function == function; }));
    }
};

TEST_P(CommandOutcome, ControlCommandReportsHowTheUpsAnswered) {
    struct Case {
        Answer answer;
        WriteOutcome outcome;
        int code;
    } cases[] = {
        {Answer::Echo, WriteOutcome::Accepted, 0},
        {Answer::Exception, WriteOutcome::Refused, 4},
        {Answer::Silent, WriteOutcome::NoAnswer, 0},
        {Answer::BadCheck, WriteOutcome::Damaged, 0},
        {Answer::Truncated, WriteOutcome::NoAnswer, 0},
    };
    for (const Case& c : cases) {
        commandAnswer = c.answer;
        QSignalSpy ended(&scheduler, &UpsSession::controlCommandEnded);
        const int before = sent(fn::ControlCommand);
        ASSERT_TRUE(scheduler.startControlCommand(354, 255));
        ASSERT_TRUE(ups.stepUntil([&] { return ended.count() > 0; }, 200)) << int(c.answer);
        const auto result = ended.at(0).at(0).value<WriteResult>();
        EXPECT_EQ(result.outcome, c.outcome) << int(c.answer);
        EXPECT_EQ(result.exceptionCode, c.code) << int(c.answer);
        EXPECT_EQ(result.reg, 354);
        EXPECT_EQ(result.value, 255);
        // The wire behaviour stays: one request, no retry, the link back to idle.
        EXPECT_EQ(sent(fn::ControlCommand), before + 1);
        EXPECT_EQ(scheduler.activity(), ActIdle);
        ups.steps(5);
    }
}

TEST_P(CommandOutcome, CalibrationWriteReportsARefusalAfterItsTwoAttempts) {
    commandAnswer = Answer::Exception;
    QSignalSpy ended(&scheduler, &UpsSession::writeSequenceEnded);
    ASSERT_TRUE(scheduler.startWriteSequence({{336, 2205}}));
    ASSERT_TRUE(ups.stepUntil([&] { return ended.count() > 0; }, 200));
    const auto results = ended.at(0).at(0).value<QVector<WriteResult>>();
    ASSERT_EQ(results.size(), 1);
    EXPECT_EQ(results[0].outcome, WriteOutcome::Refused);
    EXPECT_EQ(results[0].exceptionCode, 4);
    EXPECT_EQ(sent(fn::WriteMultiple), 2);
    EXPECT_EQ(scheduler.activity(), ActSettingsDownload); // the read-back follows as before
}

TEST_P(CommandOutcome, WriteSequenceTellsWrittenFromUnchanged) {
    QSignalSpy ended(&scheduler, &UpsSession::writeSequenceEnded);
    ASSERT_TRUE(scheduler.startWriteSequence({{304, 220}, {305, 5}}));
    ASSERT_TRUE(ups.stepUntil([&] { return ended.count() > 0; }, 200));
    const auto results = ended.at(0).at(0).value<QVector<WriteResult>>();
    ASSERT_EQ(results.size(), 2);
    EXPECT_EQ(results[0].reg, 304);
    EXPECT_EQ(results[0].outcome, WriteOutcome::Unchanged); // the UPS already held 220 V
    EXPECT_EQ(results[1].reg, 305);
    EXPECT_EQ(results[1].outcome, WriteOutcome::Accepted);
    EXPECT_EQ(sent(fn::WriteMultiple), 1);
}

INSTANTIATE_TEST_SUITE_P(BothFramings, CommandOutcome, ::testing::Values(Protocol::Ascii, Protocol::Rtu),
                         [](const auto& info) { return info.param == Protocol::Rtu ? "Rtu" : "Ascii"; });

TEST(WriteReply, ForeignOrMisshapenFramesAreNotTakenForAnAnswer) {
    for (Protocol mode : {Protocol::Ascii, Protocol::Rtu}) {
        // An echo from another address, and a reply of another function.
        QByteArray other = QByteArray::fromHex("0268016200010000").left(6);
        EXPECT_EQ(judgeWriteReply(mode, frame(mode, other), 1, fn::ControlCommand).outcome, WriteOutcome::Damaged);
        QByteArray wrongFn = QByteArray::fromHex("011001620001");
        EXPECT_EQ(judgeWriteReply(mode, frame(mode, wrongFn), 1, fn::ControlCommand).outcome, WriteOutcome::Damaged);
        QByteArray refused = QByteArray::fromHex("01E803");
        const WriteResult r = judgeWriteReply(mode, frame(mode, refused), 1, fn::ControlCommand);
        EXPECT_EQ(r.outcome, WriteOutcome::Refused);
        EXPECT_EQ(r.exceptionCode, 3);
        EXPECT_EQ(judgeWriteReply(mode, QByteArray(), 1, fn::ControlCommand).outcome, WriteOutcome::NoAnswer);
    }
    EXPECT_EQ(judgeWriteReply(Protocol::Ascii, ":01E803", 1, fn::ControlCommand).outcome, WriteOutcome::NoAnswer);
}

} // namespace
