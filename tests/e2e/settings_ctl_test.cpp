// zavctl get / set against the virtual UPS: the program itself on the simulator's pseudo-terminal.
// What it prints, its exit status, and what the UPS holds afterwards.

#include "SimHarness.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

const QString kZavctl = QStringLiteral(ZAV_BINARY_DIR "/zavctl");
constexpr int kWaitMs = 60'000;

struct CtlRun {
    int code = -1;
    QString out, err;
};

class SettingsCtl : public ::testing::Test {
  protected:
    std::unique_ptr<SimHarness> harness;
    QString skipReason;
    QStringList link;

    bool start(int model, Protocol protocol) {
        if (!QFileInfo(kZavctl).isExecutable()) {
            skipReason = "zavctl is not built";
            return false;
        }
        SimConfig config;
        config.upsModel = model;
        config.protocol = protocol;
        harness = std::make_unique<SimHarness>(config);
        if (!harness->startSimulator(&skipReason)) return false;
        link = {"--port",  harness->simulator().devicePath(),
                "--proto", protocol == Protocol::Rtu ? "rtu" : "ascii",
                "--baud",  "9600"};
        return true;
    }
    CtlRun zavctl(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        p.setProcessEnvironment(env);
        p.start(kZavctl, args + link);
        CtlRun r;
        if (!p.waitForFinished(kWaitMs)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.code = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    uint16_t ups(int reg) {
        return harness->fromUps<uint16_t>([reg](VirtualUps& u) { return u.settings().value(reg); });
    }
};

} // namespace

TEST_F(SettingsCtl, GetAndSetAscii) {
    if (!start(1, Protocol::Ascii)) GTEST_SKIP() << skipReason.toStdString();
    CtlRun r = zavctl({"get", "output.frequency", "battery.float_voltage", "system.mode", "--csv"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              "name,value,unit\noutput.frequency,50,Hz\nbattery.float_voltage,2.25,V\nsystem.mode,Single,\n");

    r = zavctl(
        {"set", "output.frequency=60", "frequency.slew_rate=1.5", "bypass.voltage_upper_limit=+20", "--csv"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(ups(328), 60);
    EXPECT_EQ(ups(305), 15);
    EXPECT_EQ(ups(375) & 7, 2);
    EXPECT_TRUE(r.out.contains("output.frequency,60,Hz\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("frequency.slew_rate,1.5,Hz/s\n")) << r.out.toStdString();

    // Every kind of refusal ends before anything is written.
    struct Case {
        QStringList args;
        const char* message;
    };
    const Case refusals[] = {
        {{"set", "frequency.slew_rate=0.05"}, "Check the value, please! Frequency Slew Rate: 0.1 ~ 5.0 Hz/s"},
        {{"set", "output.voltage=235"}, "allowed values: 100, 110, 115, 120, 127, 200, 208, 220, 230, 240"},
        {{"set", "system.unit_id=2", "system.units=2"}, "system.unit_id: Check the value, please!"},
        {{"set", "battery.deep_discharge_time=30"},
         "UPS model 1 has no setting 'battery.deep_discharge_time'"},
        {{"set", "no.such=1"}, "unknown setting 'no.such'"},
        {{"set", "system.code1=128"}, "bit 7 is not available on UPS model 1"},
    };
    const uint16_t before302 = ups(302), before305 = ups(305);
    for (const Case& c : refusals) {
        r = zavctl(c.args);
        EXPECT_EQ(r.code, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
    EXPECT_EQ(ups(302), before302);
    EXPECT_EQ(ups(305), before305);
}

TEST_F(SettingsCtl, KvaModelsAndRefusedWritesRtu) {
    if (!start(5, Protocol::Rtu)) GTEST_SKIP() << skipReason.toStdString();
    CtlRun r = zavctl({"set", "rated.module_kva=12", "ups.type=ABC"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(ups(323), 12000); // taken in kVA, held in VA
    EXPECT_EQ(ups(427), 0x4142);
    EXPECT_TRUE(r.out.contains("{\"name\":\"rated.module_kva\",\"value\":\"12\",\"unit\":\"kVA\"}"))
        << r.out.toStdString();

    // 99 kVA does not fit the UPS's VA register: it refuses, the rest is written, the exit says so.
    r = zavctl({"set", "rated.module_used_kva=99", "output.frequency=60"});
    EXPECT_EQ(r.code, 5);
    EXPECT_TRUE(r.err.contains("not written: rated.module_used_kva (register 324 = 99): refused by the UPS"))
        << r.err.toStdString();
    EXPECT_EQ(ups(328), 60);
    EXPECT_NE(ups(324), 99000 & 0xFFFF);
}
