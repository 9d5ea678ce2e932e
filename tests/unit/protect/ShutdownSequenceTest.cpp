// The shutdown sequence with a fake process runner and the dry-run power-off: what is started, in
// which order, how the time limits end the waits, and what the user is told.

#include "protect/ShutdownSequence.h"

#include <gtest/gtest.h>

using namespace zav;

namespace {

struct FakeRunner : ProcessRunner {
    QStringList missing; // programs that cannot be started
    QStringList started; // program and arguments, one line per start
    int next = 0;
    int start(const QString& program, const QStringList& arguments, QString* error) override {
        if (missing.contains(program)) {
            *error = QStringLiteral("No such file or directory");
            return 0;
        }
        started << (QStringList{program} + arguments).join(u' ');
        return ++next;
    }
    void end(int run, int code = 0) { finished(run, code, true); }
};

struct RefusingPowerOff : PowerOff {
    void powerOff(std::function<void(const PowerOffResult&)> done) override {
        done({PowerOffOutcome::Refused, QStringLiteral("Access denied")});
    }
    QString name() const override { return QStringLiteral("refusing"); }
};

class Sequence : public ::testing::Test {
protected:
    FakeRunner runner;
    DryRunPowerOff dryRun;
    ShutdownSequence seq{runner, dryRun};
    QStringList log;
    QList<ShutdownSequence::Notice> told;

    void SetUp() override {
        runner.finished = [this](int run, int code, bool normal) { seq.processEnded(run, code, normal); };
        seq.log = [this](const QString& line) { log << line; };
        seq.tellUser = [this](ShutdownSequence::Notice n, const QString&) { told << n; };
    }
    static SequenceSetup setup(bool program, bool closeApps, const QString& line = "backup --now",
                               int programWait = 120, int companionWait = 60) {
        SequenceSetup s;
        s.runProgram = program;
        s.programLine = line;
        s.programWaitSeconds = programWait;
        s.closeApps = closeApps;
        s.companionProgram = "/opt/zav/zav-closeapp";
        s.companionArguments = {"--record", "/tmp/CLOSEAPP.INI"};
        s.companionWaitSeconds = companionWait;
        return s;
    }
    void seconds(int n) {
        for (int i = 0; i < n; ++i) seq.secondTick();
    }
};

TEST_F(Sequence, NothingToRunPowersOffAtOnce) {
    seq.start(setup(false, false));
    EXPECT_TRUE(runner.started.isEmpty());
    EXPECT_EQ(dryRun.calls(), 1);
    EXPECT_EQ(seq.step(), ShutdownSequence::Step::Done);
    EXPECT_EQ(told, QList{ShutdownSequence::Notice::DryRun});
}

TEST_F(Sequence, ProgramThenCompanionThenPowerOffInOrder) {
    seq.start(setup(true, true, R"(backup "/home/me/my docs" --now)"));
    ASSERT_EQ(runner.started, QStringList{"backup /home/me/my docs --now"});
    seconds(50);
    runner.end(1);
    ASSERT_EQ(runner.started.size(), 2);
    EXPECT_EQ(runner.started[1], "/opt/zav/zav-closeapp --record /tmp/CLOSEAPP.INI");
    EXPECT_EQ(dryRun.calls(), 0);
    runner.end(2);
    EXPECT_EQ(dryRun.calls(), 1);
    EXPECT_TRUE(told == QList{ShutdownSequence::Notice::DryRun});
}

TEST_F(Sequence, MissingOrEmptyProgramIsReportedAndTheSequenceGoesOn) {
    for (const QString& line : {QString("backup"), QString("   ")}) {
        FakeRunner r;
        r.missing = {"backup"};
        DryRunPowerOff off;
        ShutdownSequence s{r, off};
        QList<ShutdownSequence::Notice> notices;
        s.tellUser = [&](ShutdownSequence::Notice n, const QString&) { notices << n; };
        s.start(setup(true, false, line));
        EXPECT_EQ(off.calls(), 1) << line.toStdString();
        ASSERT_FALSE(notices.isEmpty());
        EXPECT_EQ(notices.first(), ShutdownSequence::Notice::ProgramMissing);
    }
}

TEST_F(Sequence, ProgramOverItsLimitIsLeftRunning) {
    seq.start(setup(true, false, "backup", 120));
    seconds(119);
    EXPECT_EQ(dryRun.calls(), 0);
    seconds(1);
    EXPECT_EQ(dryRun.calls(), 1);
    EXPECT_TRUE(log.join('\n').contains("left running"));
    runner.end(1); // it ends later: nothing happens twice
    EXPECT_EQ(dryRun.calls(), 1);
}

TEST_F(Sequence, LateEndOfTheProgramDoesNotCutTheCompanionShort) {
    seq.start(setup(true, true, "backup", 10, 60));
    seconds(10); // program over its limit: the companion starts
    ASSERT_EQ(runner.started.size(), 2);
    runner.end(1); // the program ends now
    EXPECT_EQ(dryRun.calls(), 0);
    EXPECT_EQ(seq.step(), ShutdownSequence::Step::CloseApps);
}

TEST_F(Sequence, HangingCompanionIsBounded) {
    seq.start(setup(false, true, "", 120, 60));
    ASSERT_EQ(runner.started.size(), 1);
    seconds(59);
    EXPECT_EQ(dryRun.calls(), 0);
    seconds(1);
    EXPECT_EQ(dryRun.calls(), 1);
    EXPECT_TRUE(log.join('\n').contains("companion still running"));
}

TEST_F(Sequence, MissingCompanionStillPowersOff) {
    runner.missing = {"/opt/zav/zav-closeapp"};
    seq.start(setup(false, true));
    EXPECT_EQ(dryRun.calls(), 1);
}

TEST_F(Sequence, ZeroProgramWaitGoesOnAtOnce) {
    seq.start(setup(true, false, "backup", 0));
    EXPECT_EQ(dryRun.calls(), 1);
}

TEST_F(Sequence, RefusedPowerOffIsSaidLoudlyNeverPretended) {
    RefusingPowerOff refusing;
    ShutdownSequence s{runner, refusing};
    QList<ShutdownSequence::Notice> notices;
    QStringList lines;
    s.tellUser = [&](ShutdownSequence::Notice n, const QString&) { notices << n; };
    s.log = [&](const QString& l) { lines << l; };
    s.start(setup(false, false));
    EXPECT_EQ(notices, QList{ShutdownSequence::Notice::PowerOffRefused});
    EXPECT_EQ(s.result().outcome, PowerOffOutcome::Refused);
    EXPECT_TRUE(lines.last().contains("REFUSED"));
    EXPECT_FALSE(lines.join('\n').contains("accepted"));
}

TEST_F(Sequence, RunsOnlyOnce) {
    seq.start(setup(false, false));
    seq.start(setup(false, false));
    EXPECT_EQ(dryRun.calls(), 1);
}

} // namespace
