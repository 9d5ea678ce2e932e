// `zavctl command` against the virtual UPS over a pseudo-terminal: the command is carried out, and
// the exit status tells a refusal, an unknown module and a silent UPS apart from success.

#include "SimulatorThread.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;

namespace {

constexpr int kWaitMs = 30'000;
const QString kZavctl = QStringLiteral(ZAV_BINARY_DIR "/zavctl");

SimConfig config(int model) {
    SimConfig c;
    c.upsModel = model;
    c.protocol = Protocol::Rtu;
    c.baud = 9600;
    return c;
}

class ZavctlCommand : public ::testing::Test {
  protected:
    SimulatorThread ups{config(1)};
    void SetUp() override {
        QString error;
        ASSERT_TRUE(ups.start(&error)) << error.toStdString();
    }
    int run(const QStringList& args, QByteArray* out = nullptr, QByteArray* err = nullptr,
            const QString& subcommand = "command") {
        QProcess p;
        p.start(kZavctl, QStringList{subcommand} + args +
                             QStringList{"--port", ups.devicePath(), "--baud", "9600", "--proto", "rtu",
                                         "--model", "1", "--timeout", "10"});
        EXPECT_TRUE(p.waitForFinished(kWaitMs));
        if (out) *out = p.readAllStandardOutput();
        if (err) *err = p.readAllStandardError();
        return p.exitCode();
    }
};

TEST_F(ZavctlCommand, SendsListsAndReportsRefusals) {
    QByteArray out, err;
    EXPECT_EQ(run({"bypass"}, &out, &err), 0) << err.toStdString();
    EXPECT_TRUE(out.contains("\"outcome\":\"accepted\"")) << out.toStdString();
    bool onBypass = false;
    ups.withUps([&](VirtualUps& u) { onBypass = u.plant().supplySource() == 2; });
    EXPECT_TRUE(onBypass);

    // A battery test with the load on the bypass: the UPS refuses it.
    EXPECT_EQ(run({"battery-test"}, &out, &err), 5);
    EXPECT_TRUE(err.contains("refused \"battery-test\" (exception 4")) << err.toStdString();

    EXPECT_EQ(run({"--list"}, &out, &err), 0) << err.toStdString();
    EXPECT_TRUE(out.contains("\nclear-all,352,65535,")) << out.toStdString();
    EXPECT_TRUE(out.contains("\nfan-time-reset,356,,")) << out.toStdString();

    EXPECT_EQ(run({"inverter-on", "--module", "9"}, &out, &err), 5);
    EXPECT_TRUE(err.contains("module '9' is not present")) << err.toStdString();
    EXPECT_EQ(run({"no-such-command"}, &out, &err), 1);
}

TEST_F(ZavctlCommand, NoAnswerIsNotSuccess) {
    ScenarioEvent silent;
    QString error;
    ASSERT_TRUE(parseEvent("0s silent 60s", &silent, &error)) << error.toStdString();
    ups.withUps([&](VirtualUps& u) { u.apply(silent); });
    QByteArray err;
    EXPECT_EQ(run({"mute"}, nullptr, &err), 3) << err.toStdString();
}

TEST_F(ZavctlCommand, CalibrateMovesTheReadingAndRefusesRowsTheModelLacks) {
    QByteArray out, err;
    EXPECT_EQ(run({"404", "231.5"}, &out, &err, "calibrate"), 0) << err.toStdString();
    const int after = out.indexOf("\"after\":");
    ASSERT_GE(after, 0) << out.toStdString();
    EXPECT_NEAR(out.mid(after + 8).chopped(2).toDouble(), 231.5, 2.5) << out.toStdString();
    // Model 1 has no input-voltage row, and 99 V is out of range: nothing is written.
    EXPECT_EQ(run({"345", "230"}, &out, &err, "calibrate"), 5);
    EXPECT_TRUE(err.contains("cannot be calibrated")) << err.toStdString();
    EXPECT_EQ(run({"404", "99"}, &out, &err, "calibrate"), 1);
    EXPECT_TRUE(err.contains("Check the value, please!")) << err.toStdString();
}

} // namespace
