// zavd with several UPSes on one bus: the virtual UPS answers at addresses 1 and 2 of one pty and
// nobody at address 3. Each NUT name says only what its own UPS does: two answer, one is stale,
// and a utility failure on one of them shows on that name alone, for upsc and for upsmon.

#include "SimulatorThread.h"
#include "ZavdProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

SimConfig unit(int address, int model) {
    SimConfig c;
    c.address = address;
    c.upsModel = model;
    c.baud = 9600;
    return c;
}

bool waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, kZavdWaitMs);
}

class ZavdBus : public ::testing::Test {
  protected:
    SimulatorThread line{QVector<SimConfig>{unit(1, 7), unit(2, 5)}};
    QTemporaryDir dir;
    ZavdProcess zavd;

    void SetUp() override {
        QString error;
        ASSERT_TRUE(line.start(&error)) << error.toStdString();
        ASSERT_TRUE(dir.isValid());
    }

    void startZavd() {
        QString why;
        ASSERT_TRUE(zavd.start(dir.filePath("zavd.conf"),
                               "[Link]\nPort=" + line.devicePath().toUtf8() + "\nBaud=9600\n"
                               "[Server]\nUpsNames=rack1 rack2 spare\nUsers=mon\n"
                               "[Ups rack1]\nAddress=1\nModel=7\nDescription=Rack 1\n"
                               "[Ups rack2]\nAddress=2\nModel=5\nDescription=Rack 2\n"
                               "[Ups spare]\nAddress=3\nModel=7\n"
                               "[User mon]\nPassword=pw\nUpsmon=primary\n",
                               &why))
            << why.toStdString();
        ASSERT_TRUE(zavd.waitLog("rack1: UPS answers")) << zavd.logText();
        ASSERT_TRUE(zavd.waitLog("rack2: UPS answers")) << zavd.logText();
        for (const char* name : {"rack1", "rack2"})
            ASSERT_TRUE(waitFor([&] { return zavd.client("GET VAR " + QByteArray(name) + " ups.status").startsWith("VAR"); }))
                << name;
    }

    void utilityFailOnAddress2() {
        ScenarioEvent e;
        QString error;
        ASSERT_TRUE(parseEvent("0s utility-fail", &e, &error)) << error.toStdString();
        line.withUnit(1, [&](VirtualUps& u) { u.apply(e); });
    }
};

TEST_F(ZavdBus, EachNameSaysWhatItsOwnUpsDoes) {
    if (!QFileInfo("/usr/bin/upsc").isExecutable()) GTEST_SKIP() << "nut-client is not installed (scripts/setup.sh)";
    startZavd();
    EXPECT_EQ(zavd.talk("LIST UPS", 5), (QByteArrayList{"BEGIN LIST UPS", "UPS rack1 \"Rack 1\"", "UPS rack2 \"Rack 2\"",
                                                    "UPS spare \"ZAV UPS\"", "END LIST UPS"}));
    QByteArray out;
    ASSERT_EQ(runTool("upsc", {zavd.target("rack1")}, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("\nups.status: OL\n")) << out.toStdString();
    const QByteArray rack1 = out;
    ASSERT_EQ(runTool("upsc", {zavd.target("rack2")}, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("\nups.status: OL\n")) << out.toStdString();
    // Two UPSes, two sets of values: the models differ, so do their nominal powers and phases.
    EXPECT_NE(rack1, out);
    EXPECT_NE(runTool("upsc", {zavd.target("spare"), "ups.status"}, &out), 0);
    EXPECT_TRUE(out.contains("Data stale")) << out.toStdString();
    EXPECT_FALSE(zavd.log().contains("spare: UPS answers")) << zavd.logText();

    utilityFailOnAddress2();
    EXPECT_TRUE(waitFor([&] { return zavd.client("GET VAR rack2 ups.status").contains("OB"); }));
    EXPECT_TRUE(zavd.client("GET VAR rack1 ups.status").startsWith("VAR rack1 ups.status \"OL"));
    EXPECT_EQ(zavd.client("GET VAR spare ups.status"), "ERR DATA-STALE");
    // The UPSes that answer keep answering: the empty address costs only its own waits.
    EXPECT_FALSE(zavd.log().contains("rack1: UPS does not answer")) << zavd.logText();
    EXPECT_FALSE(zavd.log().contains("rack2: UPS does not answer")) << zavd.logText();
}

// upsmon on this machine watches two names; only the UPS that lost its mains goes on battery.
TEST_F(ZavdBus, UpsmonWatchesTwoNamesOnOneBus) {
    if (!QFileInfo("/lib/nut/upsmon").isExecutable()) GTEST_SKIP() << "nut-client is not installed (scripts/setup.sh)";
    startZavd();
    Upsmon upsmon;
    ASSERT_TRUE(upsmon.start(dir, {zavd.target("rack1"), zavd.target("rack2")}));
    EXPECT_TRUE(upsmon.says("Logged into UPS " + zavd.target("rack1").toUtf8())) << upsmon.said.toStdString();
    EXPECT_TRUE(upsmon.says("Logged into UPS " + zavd.target("rack2").toUtf8())) << upsmon.said.toStdString();
    EXPECT_EQ(zavd.client("GET NUMLOGINS rack1"), "NUMLOGINS rack1 1");
    EXPECT_EQ(zavd.client("GET NUMLOGINS rack2"), "NUMLOGINS rack2 1");

    utilityFailOnAddress2();
    EXPECT_TRUE(upsmon.says("UPS " + zavd.target("rack2").toUtf8() + " on battery")) << upsmon.said.toStdString();
    upsmon.process.waitForReadyRead(2000);
    upsmon.said += upsmon.process.readAll();
    EXPECT_FALSE(upsmon.said.contains("UPS " + zavd.target("rack1").toUtf8() + " on battery")) << upsmon.said.toStdString();
    EXPECT_FALSE(QFile::exists(upsmon.flag));
}

} // namespace
