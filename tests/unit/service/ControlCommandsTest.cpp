#include "monitor/LiveStores.h"
#include "service/ControlCommands.h"

#include <gtest/gtest.h>
#include <map>

using namespace zav;

namespace {

RegisterStore status(std::initializer_list<std::pair<int, uint16_t>> words) {
    RegisterStore s(81, 240);
    for (const auto& [reg, v] : words)
        s.set(reg, v);
    return s;
}

TEST(ControlCommands, MuteTwiceSilencesThenCancelsInEveryLanguage) {
    for (int lang : {0, 1, 2}) {
        const Toggle first = toggleMute(muteCaption(0, lang), lang);
        EXPECT_EQ(first.value, 255);
        EXPECT_EQ(first.caption, muteCaption(1, lang));
        const Toggle second = toggleMute(first.caption, lang);
        EXPECT_EQ(second.value, 0);
        EXPECT_EQ(second.caption, muteCaption(0, lang));
    }
    EXPECT_EQ(muteCaption(1, 1), "ESC Mute");
    EXPECT_EQ(muteCaption(0, 0), QString::fromUtf8("告警消音"));
}

TEST(ControlCommands, BypassToggleFollowsItsCaptionOrElseTheSupplySource) {
    const QString transfer = "Manual Transfer to Bypass", cancel = "Esc Manual Bypass";
    struct Case {
        QString caption;
        uint16_t source;
        uint16_t value;
        QString after;
    } cases[] = {
        {transfer, 2, 255, cancel},          // the caption decides, not the status
        {cancel, 1, 0, transfer},
        {QString::fromUtf8("手动切旁路"), 1, 255, cancel}, // a caption of another language:
        {QString::fromUtf8("手动切旁路"), 2, 0, transfer}, // the load on the bypass means cancel
    };
    for (const Case& c : cases) {
        const Toggle t = toggleBypass(c.caption, 1, c.source);
        EXPECT_EQ(t.value, c.value) << c.caption.toStdString() << " source " << c.source;
        EXPECT_EQ(t.caption, c.after);
    }
}

TEST(ControlCommands, BatteryConditions) {
    const ControlCommand* test = findCommand("battery-test");
    const ControlCommand* stop = findCommand("stop-test");
    ASSERT_TRUE(test && stop);
    EXPECT_EQ(test->reg, 355);
    EXPECT_EQ(test->value, 0x000F);
    EXPECT_EQ(stop->value, 0);
    struct Case {
        uint16_t s83, s98, s100;
        bool testAllowed, stopAllowed;
    } cases[] = {
        {0, 0, 0, false, false}, // no battery: nothing is sent
        {1, 0, 0, true, true},
        {1, 1, 0, false, true},  // a self-test runs: only the stop goes
        {1, 0, 1, false, true},  // a maintenance discharge runs
        {2, 0, 0, false, false},
    };
    for (const Case& c : cases) {
        const RegisterStore s = status({{83, c.s83}, {98, c.s98}, {100, c.s100}});
        EXPECT_EQ(conditionMet(test->condition, s), c.testAllowed) << c.s83 << c.s98 << c.s100;
        EXPECT_EQ(conditionMet(stop->condition, s), c.stopAllowed) << c.s83 << c.s98 << c.s100;
        EXPECT_EQ(conditionFailure(test->condition, s).isEmpty(), c.testAllowed);
    }
    for (const char* name : {"boost-charge", "float-charge", "battery-maintenance"})
        EXPECT_EQ(findCommand(name)->condition, CommandCondition::BatteryIdle) << name;
}

TEST(ControlCommands, AFailedBatteryConditionSaysWhichWordStandsInTheWay) {
    const ControlCommand& test = *findCommand("battery-test");
    const ControlCommand& stop = *findCommand("stop-test");
    struct Case {
        const ControlCommand* command;
        uint16_t s83, s98, s100;
        int language;
        const char* text; // empty: the condition holds
    } cases[] = {
        {&test, 0, 0, 0, 1, "\"Battery Self-Test\" was not sent: the battery is not connected."},
        {&test, 0, 1, 1, 1, "\"Battery Self-Test\" was not sent: the battery is not connected."},
        {&test, 1, 1, 0, 1, "\"Battery Self-Test\" was not sent: a battery self-test is running."},
        {&test, 1, 0, 1, 1,
         "\"Battery Self-Test\" was not sent: a battery maintenance discharge is running."},
        {&test, 1, 1, 0, 0, "“电池自检”未发送：电池自检正在进行。"},
        {&stop, 0, 0, 0, 2, "「終止測試」未發送：電池未連接。"},
        {&stop, 1, 1, 0, 1, ""},
        {&test, 1, 0, 0, 1, ""},
    };
    for (const Case& c : cases) {
        const RegisterStore s = status({{83, c.s83}, {98, c.s98}, {100, c.s100}});
        EXPECT_EQ(conditionRefusalText(*c.command, s, c.language), QString::fromUtf8(c.text))
            << c.command->name << " " << c.s83 << c.s98 << c.s100;
    }
    // The shell and zavd get the reason in English.
    EXPECT_EQ(conditionFailure(test.condition, status({{83, 1}, {100, 1}})), "a battery maintenance discharge is running");
}

// Which commands the page asks about before sending: everything that erases data in the UPS, moves
// the load to another source or stops a stage that feeds it.
TEST(ControlCommands, DestructiveCommandsAsk) {
    const std::map<QString, bool> asks = {
        {"fault-clear", true},        {"mute", false},          {"mute-off", false},
        {"battery-history-clear", true}, {"dust-filter-time-clear", true}, {"history-clear", true},
        {"bypass", true},             {"bypass-off", true},     {"bypass-fan-time-clear", true},
        {"clear-all", true},          {"boost-charge", false},  {"float-charge", false},
        {"battery-test", true},       {"battery-maintenance", true}, {"stop-test", false},
    };
    ASSERT_EQ(asks.size(), controlCommands().size());
    for (const ControlCommand& c : controlCommands()) {
        ASSERT_TRUE(asks.count(c.name)) << c.name;
        EXPECT_EQ(commandAsks(c), asks.at(c.name)) << c.name;
        for (int lang : {0, 1, 2}) {
            const QString q = commandQuestion(c, lang);
            EXPECT_EQ(!q.isEmpty(), asks.at(c.name)) << c.name << " " << lang;
            if (q.isEmpty()) continue;
            // The question names the command and says what it does, in the language of the page.
            EXPECT_TRUE(q.contains(QString::fromUtf8(c.caption[lang]))) << c.name << " " << lang;
            ASSERT_NE(c.effect[lang], nullptr) << c.name;
            EXPECT_TRUE(q.contains(QString::fromUtf8(c.effect[lang]))) << c.name << " " << lang;
        }
    }
    // Every clear button asks; the toggle halves are found by register and value.
    for (const ControlCommand& c : controlCommands())
        if (c.clear) {
            EXPECT_TRUE(commandAsks(c)) << c.name;
        }
    EXPECT_EQ(findCommand(354, 0x00FF), findCommand("bypass"));
    EXPECT_EQ(findCommand(354, 0), findCommand("bypass-off"));
    EXPECT_EQ(findCommand(352, 0x00FF), findCommand("history-clear"));
    EXPECT_EQ(findCommand(354, 7), nullptr);
    EXPECT_EQ(commandQuestion(*findCommand("history-clear"), 1),
              "\"History Clear\"\n\nThe UPS erases its whole history log; this cannot be undone.\n\nCarry it out?");
    EXPECT_EQ(commandQuestion(*findCommand("history-clear"), 0),
              QString::fromUtf8("“历史清除”\n\nUPS将删除全部历史记录，删除后无法恢复。\n\n确定执行吗？"));
}

TEST(ControlCommands, ModuleQuestionsNameTheModuleAndTheAction) {
    struct Case {
        int module;
        const char* action;
        int language;
        const char* head; // the line naming module and action; empty: no question
    } cases[] = {
        {1, "rectifier-off", 1, "\"Module 1: Rectifier OFF\""},
        {3, "inverter-off", 0, "“模块 3：关逆变”"},
        {2, "rectifier-on", 1, ""},
        {2, "inverter-on", 1, ""},
        {kAllModules, "module-history-clear", 1, "\"All modules: Reset All History Data\""},
        {kAllModules, "fan-time-reset", 2, "「全部模塊：風扇執行時間清除」"},
        {4, "rectifier-calibration-clear", 1, "\"Module 4: Reset Rectifier Adjusted Value\""},
        {5, "capacitor-time-reset", 1, "\"Module 5: Reset DC Bus Capacitor Running Time\""},
        {6, "fault-waveform-clear", 1, "\"Module 6: Reset Fault Latch Waveform\""},
        {7, "inverter-calibration-clear", 1, "\"Module 7: Reset Invertor Adjusted Value\""},
    };
    for (const Case& c : cases) {
        const int index = moduleActionIndex(c.action);
        ASSERT_GE(index, 0) << c.action;
        const QString q = moduleCommandQuestion(moduleCommandValue(c.module, index), c.language);
        const QString head = QString::fromUtf8(c.head);
        EXPECT_EQ(q.section('\n', 0, 0), head) << c.action;
        EXPECT_EQ(moduleAction(index).risk != CommandRisk::Harmless, !head.isEmpty()) << c.action;
        if (!q.isEmpty()) {
            EXPECT_TRUE(q.contains(QString::fromUtf8(moduleAction(index).effect[c.language])));
        }
    }
    EXPECT_EQ(moduleCommandQuestion(moduleCommandValue(1, 0), 1),
              "\"Module 1: Rectifier OFF\"\n\nThe module's rectifier stops; its share of the load is then carried "
              "by the battery or the other modules.\n\nCarry it out?");
}

TEST(ControlCommands, ModuleCommandValues) {
    struct Case {
        const char* module;
        const char* action;
        int value; // -1: nothing is sent
    } cases[] = {
        {"3", "Invertor ON", 3 * 256 + 3},
        {"1", "Rectifier OFF", 256},
        {"All", "Reset Fan Running Timer", 32516},
        {"All", "Reset All History Data", 32639},
        {"2", "Reset All History Data", 2 * 256 + 127},
        {"", "Rectifier OFF", -1}, // empty module box: no module to address
    };
    for (const Case& c : cases) {
        const auto v = moduleCommandFromBoxes(c.module, c.action, 1);
        EXPECT_EQ(v ? int(*v) : -1, c.value) << c.module << " " << c.action;
    }
    EXPECT_EQ(moduleCommandValue(kAllModules, moduleActionIndex("fan-time-reset")), 32516);
}

TEST(ControlCommands, ModuleBoxByModelAndPresence) {
    ModulePresence none;
    ModulePresence two;
    two.count = 2;
    two.list = {2, 5};
    const RegisterStore units12 = status({{121, 1}, {133, 1}});
    const RegisterStore unit1 = status({{121, 1}});
    struct Case {
        int model;
        const ModulePresence* modules;
        const RegisterStore* status;
        int remembered;
        QStringList items;
        int selected;
    } cases[] = {
        {1, &none, &units12, 0, {"1", "2", "All"}, 0},
        {1, &none, &unit1, 0, {"1"}, 0},       // one unit: no "All"
        {0, &two, &units12, 5, {"2", "5", "All"}, 1}, // the module list wins over the unit words
        {0, &two, &unit1, kAllModules, {"2", "5", "All"}, 2},
        {1, &two, &unit1, 7, {"2", "5", "All"}, 0},  // a module that went away: the first item
        {3, &none, &unit1, 0, {"1"}, 0},
        {4, &two, &units12, 0, {"1"}, 0},
        {5, &two, &units12, 0, {}, -1},
        {8, &none, &units12, 0, {}, -1},
    };
    for (const Case& c : cases) {
        const BoxItems box = moduleIdBox(c.model, *c.modules, *c.status, c.remembered, 1);
        EXPECT_EQ(box.items, c.items) << "model " << c.model;
        EXPECT_EQ(box.selected, c.selected) << "model " << c.model;
    }
}

TEST(ControlCommands, ActionBoxOffersSixActionsForAllModules) {
    const BoxItems all = moduleActionBox(true, "Invertor ON", 1);
    ASSERT_EQ(all.items.size(), 6);
    EXPECT_EQ(all.items.first(), "Reset Fan Running Timer");
    EXPECT_EQ(all.items.last(), "Reset All History Data");
    EXPECT_EQ(all.selected, 0); // the remembered action is not offered any more
    const BoxItems one = moduleActionBox(false, "Reset DC Bus Capacitor Running Time", 1);
    EXPECT_EQ(one.items.size(), 10);
    EXPECT_EQ(one.selected, 5);
    EXPECT_EQ(moduleActionBox(false, "", 0).items.first(), QString::fromUtf8("关整流"));
}

TEST(ControlCommands, WhichModelsHaveWhichCommands) {
    const ControlCommand* clear = findCommand("clear-all");
    const ControlCommand* mute = findCommand("mute");
    ASSERT_TRUE(clear && mute);
    EXPECT_TRUE(modelHasCommand(*clear, 7));
    EXPECT_FALSE(modelHasCommand(*clear, 8));
    EXPECT_TRUE(modelHasCommand(*mute, 8));
    for (int m = 0; m <= 8; ++m)
        EXPECT_EQ(modelHasModuleCommands(m), m <= 1) << m;
    int clears = 0;
    for (const ControlCommand& c : controlCommands()) {
        clears += c.clear;
        EXPECT_EQ(findCommand(c.name), &c) << c.name; // shell names are unique
    }
    EXPECT_EQ(clears, 6);
}

TEST(ControlCommands, ResultTextsSayWhatHappened) {
    WriteResult r{354, 255, WriteOutcome::Refused, 4};
    EXPECT_EQ(writeResultText(r, "Manual Transfer to Bypass", 1),
              "The UPS refused \"Manual Transfer to Bypass\" (exception 4: the UPS cannot do it now).");
    r.outcome = WriteOutcome::NoAnswer;
    EXPECT_EQ(writeResultText(r, "Mute", 1), "No answer from the UPS to \"Mute\".");
    r.outcome = WriteOutcome::Accepted;
    EXPECT_TRUE(writeResultText(r, "Mute", 0).contains(QString::fromUtf8("已接受")));
    r = {351, 255, WriteOutcome::Refused, 99};
    EXPECT_TRUE(writeResultText(r, "x", 1).contains("exception 99: unknown exception"));
    // Every outcome has its text, in every language (the table is indexed by the outcome).
    r = {351, 255, WriteOutcome::Abandoned, 0};
    EXPECT_EQ(writeResultText(r, "Mute", 1), "\"Mute\" was stopped before the UPS confirmed it (the log says why).");
    for (int language : {0, 2})
        EXPECT_TRUE(writeResultText(r, "Mute", language).contains("Mute"));
}

} // namespace
