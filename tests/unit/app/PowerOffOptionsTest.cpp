// Which runs may power the PC off: only a plain `zav`; the demo always runs dry.

#include "app/CommandLine.h"

#include <gtest/gtest.h>

using namespace zav;

TEST(PowerOffOptions, DemoAndDryRunNeverPowerOff) {
    struct Row {
        QStringList args;
        bool dryRun;
    };
    const Row rows[] = {
        {{"zav"}, false},
        {{"zav", "--connect"}, false},
        {{"zav", "--dry-run-poweroff"}, true},
        {{"zav", "--demo"}, true},
        {{"zav", "--demo", "--dry-run-poweroff"}, true},
    };
    for (const Row& r : rows) {
        const CommandLineOptions o = parseCommandLine(r.args);
        EXPECT_TRUE(o.error.isEmpty()) << r.args.join(' ').toStdString();
        EXPECT_EQ(o.dryRunPowerOff, r.dryRun) << r.args.join(' ').toStdString();
    }
}

TEST(PowerOffOptions, SimulatorOptionsOnlyWithTheDemo) {
    CommandLineOptions o = parseCommandLine({"zav", "--demo", "--sim-args", R"(--model 7 --event "20s utility-fail")"});
    EXPECT_TRUE(o.error.isEmpty());
    EXPECT_EQ(o.simArguments, (QStringList{"--model", "7", "--event", "20s utility-fail"}));
    o = parseCommandLine({"zav", "--sim-args", "--model 7"});
    EXPECT_FALSE(o.error.isEmpty());
}
