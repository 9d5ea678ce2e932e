// The PC protection against the virtual UPS of model 7 over a pseudo-terminal: the policy reads
// what the UPS reports through the real link, the switch-off command reaches the UPS with its delay,
// and the dry-run power-off is called once, at the second the countdown runs out. TimerShutdown's
// slot is called second by second; the link itself runs on its 50 ms timer.

#include "SimHarness.h"
#include "foundation/ProfileFile.h"
#include "pagekit/ZavPage.h"
#include "protect/widgets/FormCountDown.h"
#include "protect/widgets/ProtectionController.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

constexpr int kWaitMs = 30'000;
constexpr int kBaud9600Item = 3;
constexpr int kModel7Item = 8;
constexpr int kInputFail = 88;

class ProtectOnSim : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<SimHarness> harness;
    std::unique_ptr<ProfileFile> profile;
    AppContext context;
    QWidget window;
    ProtectionController* protection = nullptr;

    // Starts the UPS and the link with these "ShutEvents" settings; false when no pty could be made.
    bool start(const QByteArray& shutEvents, QString* why) {
        QFile ini(dir.filePath("ZAV.ini"));
        if (!ini.open(QIODevice::WriteOnly)) return false;
        ini.write("[ShutEvents]\n" + shutEvents);
        ini.close();
        profile = std::make_unique<ProfileFile>(ini.fileName());
        SimConfig config;
        config.upsModel = 7;
        harness = std::make_unique<SimHarness>(config);
        if (!harness->startSimulator(why)) return false;
        context.scheduler = &harness->scheduler();
        context.profile = profile.get();
        ProtectionOptions o;
        o.closeRecordPath = dir.filePath("CLOSEAPP.INI");
        protection = new ProtectionController(context, &window, o);
        protection->timerShutdown()->stop(); // the test gives the seconds
        return true;
    }
    void connectAndWaitForMains() {
        ASSERT_EQ(harness->connect(kModel7Item, kBaud9600Item, Protocol::Ascii), ConnectResult::Connected);
        UpsSession& s = harness->scheduler();
        ASSERT_TRUE(QTest::qWaitFor([&] { return s.linkOk() && s.upsModel() == 7 && s.live().LiveData[1] != 0; },
                                    kWaitMs));
    }
    void setUtility(bool ok) {
        harness->simulator().withUps([ok](VirtualUps& ups) { ups.plant().setUtility(ok); });
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return harness->scheduler().live().LiveStatus[kInputFail] == (ok ? 0 : 1); }, kWaitMs));
    }
    int powerOffs() const { return protection->dryRun()->calls(); }
    qint64 upsSwitchOffIn() {
        return harness->fromUps<qint64>([](VirtualUps& ups) {
            return ups.plant().switchOffAt() < 0 ? -1 : ups.plant().switchOffAt() - ups.plant().now();
        });
    }
};

#define START_OR_SKIP(settings)                                                                         \
    do {                                                                                                \
        QString why;                                                                                    \
        if (!start(settings, &why)) GTEST_SKIP() << "no pseudo-terminal: " << why.toStdString();        \
    } while (0)

TEST_F(ProtectOnSim, UtilityFailurePowersOffOnceAtTheRightSecondAfterTheUpsCommand) {
    START_OR_SKIP("CheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=1\n"
                  "CheckBoxUtilityFailUpsShutDelay=1\nSEUtilityFailUpsShutDelay=20\n");
    connectAndWaitForMains();
    setUtility(false);

    protection->timerShutdownTimer(); // second 1: the countdown of 60 s starts
    EXPECT_TRUE(protection->formCountDown()->isVisible());
    // The switch-off command reaches the UPS with 1 minute and 20 seconds.
    ASSERT_TRUE(QTest::qWaitFor([&] { return upsSwitchOffIn() >= 0; }, kWaitMs));
    const qint64 left = upsSwitchOffIn();
    EXPECT_LE(left, 80'000);
    EXPECT_GT(left, 70'000);

    for (int second = 2; second <= 60; ++second) {
        protection->timerShutdownTimer();
        ASSERT_EQ(powerOffs(), 0) << "second " << second;
    }
    protection->timerShutdownTimer(); // second 61: no time left
    EXPECT_EQ(powerOffs(), 1);
    for (int second = 62; second <= 200; ++second) protection->timerShutdownTimer();
    EXPECT_EQ(powerOffs(), 1);
}

TEST_F(ProtectOnSim, UpsSwitchesItsOutputOffAfterTheDelay) {
    START_OR_SKIP("CheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=0\n"
                  "CheckBoxUtilityFailUpsShutDelay=1\nSEUtilityFailUpsShutDelay=5\n");
    connectAndWaitForMains();
    setUtility(false);
    protection->timerShutdownTimer(); // a 0-minute countdown: the PC goes at once
    EXPECT_EQ(powerOffs(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return upsSwitchOffIn() >= 0; }, kWaitMs));
    EXPECT_FALSE(harness->fromUps<bool>([](VirtualUps& ups) { return ups.plant().switchedOff(); }));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return harness->fromUps<bool>([](VirtualUps& ups) { return ups.plant().switchedOff(); }); }, kWaitMs));
}

TEST_F(ProtectOnSim, MainsBackInTimeOrACablePulledLeaveThePcAlone) {
    START_OR_SKIP("CheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=1\n");
    connectAndWaitForMains();
    setUtility(false);
    for (int second = 1; second <= 30; ++second) protection->timerShutdownTimer();
    setUtility(true);
    protection->timerShutdownTimer();
    EXPECT_FALSE(protection->formCountDown()->isVisible());
    for (int second = 0; second < 200; ++second) protection->timerShutdownTimer();
    EXPECT_EQ(powerOffs(), 0);

    // A new failure, then the UPS falls silent: the countdown freezes and nothing is started.
    setUtility(false);
    protection->timerShutdownTimer();
    harness->simulator().withUps([](VirtualUps& ups) { ups.faults().setSilent(true); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !harness->scheduler().linkOk(); }, kWaitMs));
    for (int second = 0; second < 300; ++second) protection->timerShutdownTimer();
    EXPECT_EQ(powerOffs(), 0);
    EXPECT_EQ(protection->formCountDown()->secondsText(), "60");
}

} // namespace
