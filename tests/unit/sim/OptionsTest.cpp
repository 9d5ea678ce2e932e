// The command line of zav-ups-sim.

#include "SimOptions.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;

namespace {

OptionsParse parse(QStringList args) {
    args.prepend("zav-ups-sim");
    return parseSimOptions(args);
}

TEST(SimOptions, DefaultsAndAFullLine) {
    const OptionsParse d = parse({});
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.options.config.upsModel, 1);
    EXPECT_EQ(d.options.config.address, 1);
    EXPECT_EQ(d.options.config.baud, 9600);
    EXPECT_EQ(d.options.config.protocol, Protocol::Ascii);
    EXPECT_EQ(d.options.config.modelCode, -1);
    EXPECT_FALSE(d.options.paced);
    EXPECT_TRUE(d.options.statsPath.isEmpty());

    const OptionsParse f = parse({"--model",      "6",
                                  "--proto",      "RTU",
                                  "--baud",       "14400",
                                  "--address",    "17",
                                  "--link",       "/tmp/ups",
                                  "--model-code", "0",
                                  "--fault",      "checksum:4",
                                  "--fault",      "truncate",
                                  "--delay",      "250",
                                  "--event",      "10s utility-fail",
                                  "--event",      "at 2s module 1 remove",
                                  "--modules",    "3",
                                  "--pace",
                                  "--stats",      "/tmp/line.txt"});
    ASSERT_TRUE(f.ok()) << f.error.toStdString();
    const SimOptions& o = f.options;
    EXPECT_EQ(o.config.upsModel, 6);
    EXPECT_EQ(o.config.protocol, Protocol::Rtu);
    EXPECT_EQ(o.config.baud, 14400);
    EXPECT_EQ(o.config.address, 17);
    EXPECT_EQ(o.config.modelCode, 0);
    EXPECT_EQ(o.config.modules, 3);
    EXPECT_EQ(o.linkPath, "/tmp/ups");
    EXPECT_TRUE(o.paced);
    EXPECT_EQ(o.statsPath, "/tmp/line.txt");
    ASSERT_EQ(o.faults.size(), 2);
    EXPECT_EQ(o.faults[0].kind, FaultKind::Checksum);
    EXPECT_EQ(o.faults[0].every, 4);
    EXPECT_EQ(o.delayMs, 250);
    ASSERT_EQ(o.scenario.events.size(), 2);
    EXPECT_EQ(o.scenario.events[0].kind, EventKind::ModuleRemove) << "time order";
}

TEST(SimOptions, BadArgumentsNameTheProblem) {
    struct Case {
        QStringList args;
        const char* error;
    };
    const Case cases[] = {
        {{"--model", "9"}, "--model must be 0 to 8"},
        {{"--model", "x"}, "--model must be 0 to 8"},
        {{"--address", "0"}, "--address must be 1 to 254"},
        {{"--address", "255"}, "--address must be 1 to 254"},
        {{"--proto", "tcp"}, "--proto must be ascii or rtu"},
        {{"--baud", "57600"}, "--baud must be one of 1200, 2400, 4800, 9600, 14400, 19200, 38400"},
        {{"--model-code", "-1"}, "--model-code must be 0 to 65535"},
        {{"--modules", "11", "--model", "4"}, "--modules must be 0 to 10 for model 4"},
        {{"--fault", "checksum:0"},
         "--fault 'checksum:0': expected checksum, byte-count, truncate, exception or garbage, optionally "
         ":n"},
        {{"--event", "10s explode"}, "--event '10s explode': unknown event 'explode'"},
        {{"--scenario", "/nonexistent/s.txt"},
         "cannot read the scenario /nonexistent/s.txt: No such file or directory"},
        {{"--frobnicate"}, "Unknown option 'frobnicate'."},
        {{"stray"}, "unexpected argument 'stray'"},
        {{"--unit", "0:5"}, "--unit '0:5': expected ADDRESS:MODEL[:SCENARIO], address 1-254, model 0-8"},
        {{"--unit", "2"}, "--unit '2': expected ADDRESS:MODEL[:SCENARIO], address 1-254, model 0-8"},
        {{"--unit", "2:9"}, "--unit '2:9': expected ADDRESS:MODEL[:SCENARIO], address 1-254, model 0-8"},
        {{"--unit", "2:5", "--unit", "2:7"}, "--unit: address 2 given twice"},
        {{"--unit", "2:5", "--address", "3"},
         "--unit gives each UPS its address and model: leave out --address and --model"},
        {{"--unit", "2:5:/nonexistent/s.txt"}, "cannot read the scenario /nonexistent/s.txt: No such file or directory"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parse(c.args).error, c.error) << c.args.join(' ').toStdString();
}

TEST(SimOptions, ScenarioFileErrorsCarryTheFileAndLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("at 1s utility-fail\nat 2s nonsense\n");
    f.close();
    EXPECT_EQ(parse({"--scenario", path}).error, path + ": line 2: unknown event 'nonsense'");
}

TEST(SimOptions, ApplyPutsFaultsAndEventsOnTheUps) {
    const OptionsParse p = parse({"--fault", "garbage:2", "--event", "1s utility-fail"});
    ASSERT_TRUE(p.ok());
    VirtualUps ups(p.options.config);
    applyOptions(p.options, ups);
    ASSERT_EQ(ups.faults().rules().size(), 1);
    EXPECT_EQ(ups.faults().rules()[0].every, 2);
    ups.advanceTo(1000);
    EXPECT_FALSE(ups.plant().utilityOk());
}

TEST(SimOptions, UnitsShareTheLineSettingsAndKeepTheirOwnScenario) {
    QTemporaryDir dir;
    const QString path = dir.filePath("unit2.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("at 1s utility-fail\n");
    f.close();
    const OptionsParse p = parse({"--unit", "1:7", "--unit", "2:5:" + path, "--unit", "9:0", "--baud", "38400",
                                  "--proto", "rtu", "--event", "2s battery-low", "--fault", "checksum:5"});
    ASSERT_TRUE(p.ok()) << p.error.toStdString();
    const QVector<SimConfig> configs = unitConfigs(p.options);
    ASSERT_EQ(configs.size(), 3);
    const int addresses[] = {1, 2, 9}, models[] = {7, 5, 0};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(configs[i].address, addresses[i]);
        EXPECT_EQ(configs[i].upsModel, models[i]);
        EXPECT_EQ(configs[i].baud, 38400);
        EXPECT_EQ(configs[i].protocol, Protocol::Rtu);
    }
    VirtualUps first(configs[0]), second(configs[1]);
    applyOptions(p.options, first, 0);
    applyOptions(p.options, second, 1);
    first.advanceTo(1500);
    second.advanceTo(1500);
    EXPECT_TRUE(first.plant().utilityOk()) << "the common events are not the unit's own";
    EXPECT_FALSE(second.plant().utilityOk());
    EXPECT_EQ(second.faults().rules().size(), 1) << "faults apply to every unit";

    const QVector<SimConfig> single = unitConfigs(parse({"--address", "4", "--model", "3"}).options);
    ASSERT_EQ(single.size(), 1);
    EXPECT_EQ(single[0].address, 4);
    EXPECT_EQ(single[0].upsModel, 3);
}

} // namespace
