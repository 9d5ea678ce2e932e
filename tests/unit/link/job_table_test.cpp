// The scheduler's job table, seen from the link alone: jobs it knows only through LinkJob.
#include "FakeSerialChannel.h"
#include "link/Scheduler.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

using namespace zav;
using namespace zav::test;

namespace {

// A job that sends one request per step until `steps` is spent, or throws on the step named.
class ScriptedJob : public LinkJob {
  public:
    explicit ScriptedJob(std::string label, int steps = 1) : label_(std::move(label)), steps_(steps) {}
    const char* name() const override { return label_.c_str(); }
    bool wantsLine() const override { return steps_ > 0; }
    bool serve(LinkIo& io) override {
        ++served;
        if (served == throwOnStep) throw std::runtime_error("reply table overflow");
        io.send(QByteArray(":0103000100017A\r\n"));
        return --steps_ == 0;
    }
    void reset() override { steps_ = 0; }
    void abandon(const QString& reason) override {
        abandonReason = reason;
        steps_ = 0;
    }
    void want(int steps) { steps_ = steps; }

    int served = 0;
    int throwOnStep = 0;
    QString abandonReason;

  private:
    std::string label_;
    int steps_;
};

// The owner's view: which jobs the scheduler reported as ended, in order.
class RecordingScheduler : public Scheduler {
  public:
    using Scheduler::Scheduler;
    std::vector<const LinkJob*> ended;

  protected:
    void jobEnded(LinkJob& job) override { ended.push_back(&job); }
};

QStringList warnings;
void keepWarnings(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtWarningMsg) warnings << text;
}

class JobTableTest : public ::testing::Test {
  protected:
    FakeSerialChannel channel;
    RecordingScheduler scheduler{channel};

    void SetUp() override {
        ConnectRequest r;
        r.modelItem = 2;
        r.baudItem = 3;
        r.portName = "/dev/ttyFAKE";
        ASSERT_EQ(scheduler.connectLink(r), ConnectResult::Connected);
    }
    // One free tick: the reply wait of the last request has run out (the jobs here judge no reply).
    void freeTick() {
        for (int i = 0; i < 400 && scheduler.replyWait() > 0; ++i)
            scheduler.tick();
        scheduler.tick();
    }
};

TEST_F(JobTableTest, TheLowestPriorityNumberThatWantsTheLineIsServed) {
    ScriptedJob live("live", 3), download("download", 1), command("command", 0);
    scheduler.setJob(6, &live);
    scheduler.setJob(5, &download);
    scheduler.setJob(3, &command);

    freeTick();
    EXPECT_EQ(download.served, 1) << "the command slot is empty of work, the download comes next";
    EXPECT_EQ(live.served, 0);

    command.want(1);
    freeTick();
    EXPECT_EQ(command.served, 1) << "a command started later still goes before the live poll";
    EXPECT_EQ(live.served, 0);

    freeTick();
    EXPECT_EQ(live.served, 1);
    EXPECT_EQ(scheduler.job(3), &command);

    scheduler.setJob(3, nullptr);
    command.want(1);
    freeTick();
    EXPECT_EQ(command.served, 1) << "an emptied slot is never served";
    EXPECT_EQ(scheduler.job(3), nullptr);
    EXPECT_EQ(scheduler.ended, (std::vector<const LinkJob*>{&download, &command}));
}

TEST_F(JobTableTest, AJobThatFailsIsEndedWithItsReasonLoggedAndReported) {
    ScriptedJob records("history download", 100), live("live", 100);
    records.throwOnStep = 2;
    scheduler.setJob(1, &records);
    scheduler.setJob(6, &live);
    scheduler.setActivity(ActHistory);
    QSignalSpy buttons(&scheduler, &Scheduler::buttonsRefreshDue);

    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepWarnings);
    freeTick();
    freeTick(); // the step that throws
    qInstallMessageHandler(previous);

    EXPECT_EQ(records.abandonReason, "reply table overflow");
    EXPECT_FALSE(records.wantsLine());
    EXPECT_EQ(scheduler.activity(), ActIdle);
    EXPECT_EQ(buttons.count(), 1);
    EXPECT_EQ(scheduler.ended, std::vector<const LinkJob*>{&records}) << "reported like any other end";
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains("history download")) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].contains("reply table overflow")) << warnings[0].toStdString();

    freeTick();
    EXPECT_EQ(records.served, 2) << "an abandoned job is not tried again";
    EXPECT_EQ(live.served, 1) << "the jobs below it go on";
}

TEST_F(JobTableTest, AResetStopsEveryJobWithoutReportingAnEnd) {
    ScriptedJob a("a", 5), b("b", 5);
    scheduler.setJob(1, &a);
    scheduler.setJob(2, &b);
    freeTick();
    scheduler.resetLinkState();
    EXPECT_FALSE(a.wantsLine());
    EXPECT_FALSE(b.wantsLine());
    EXPECT_TRUE(a.abandonReason.isEmpty());
    EXPECT_TRUE(scheduler.ended.empty());
}

} // namespace
