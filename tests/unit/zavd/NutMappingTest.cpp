// The variable mapping per model from the virtual UPS's own registers, the status flags from the
// status words, and the commands and settings writes as the pages would send them.

#include "VirtualUps.h"
#include "Scenario.h"
#include "settings/SettingRows.h"
#include "SettingsBank.h"
#include "SimSettings.h"
#include "settings/SettingStores.h"
#include "zavd/NutCommands.h"
#include "zavd/NutSettings.h"
#include "zavd/NutVariables.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using zav::test::simSettings;

namespace {

// Reads a block straight from the virtual UPS (function 0x03, 0x04 or 0x65) into a store.
void readInto(VirtualUps& ups, uint8_t function, int start, int count, RegisterStore& store) {
    QByteArray pdu;
    pdu.append(char(1)).append(char(function));
    pdu.append(char(start >> 8)).append(char(start & 0xFF)).append(char(count >> 8)).append(char(count & 0xFF));
    const QByteArray reply = ups.answer(pdu);
    ASSERT_EQ(reply.size(), 3 + 2 * count) << "function " << int(function) << " start " << start;
    for (int i = 0; i < count; ++i)
        store.set(start + i, uint16_t((uint8_t(reply[3 + 2 * i]) << 8) | uint8_t(reply[4 + 2 * i])));
}

LiveStores liveOf(VirtualUps& ups) {
    LiveStores live;
    readInto(ups, 0x03, 1, 80, live.LiveData);
    readInto(ups, 0x04, 81, 80, live.LiveStatus);
    readInto(ups, 0x04, 161, 80, live.LiveStatus);
    live.updateModulePresence();
    return live;
}

QHash<QString, QString> varsOf(const LiveStores& live, int model, bool fsd = false) {
    QHash<QString, QString> out;
    for (const NutVar& v : nutLiveVariables({&live, model, fsd}, "1.0")) {
        EXPECT_FALSE(out.contains(v.name)) << "twice: " << qPrintable(v.name);
        out[v.name] = v.value;
    }
    return out;
}

void advance(VirtualUps& ups, const char* event, qint64 ms) {
    ScenarioEvent e;
    QString error;
    ASSERT_TRUE(parseEvent(QString::fromLatin1(event), &e, &error)) << qPrintable(error);
    ups.apply(e);
    ups.advanceTo(ms);
}

double number(const QHash<QString, QString>& v, const char* name) {
    bool ok = false;
    const double d = v.value(name).toDouble(&ok);
    EXPECT_TRUE(ok) << name << " = '" << qPrintable(v.value(name)) << "'";
    return d;
}

} // namespace

TEST(NutMapping, EveryModelGivesPlausibleStandardVariables) {
    for (int model = 0; model <= 8; ++model) {
        SimConfig config;
        config.upsModel = model;
        VirtualUps ups(config);
        ups.advanceTo(5000);
        const LiveStores live = liveOf(ups);
        const QHash<QString, QString> v = varsOf(live, model);
        SCOPED_TRACE(model);
        EXPECT_EQ(v.value("ups.status"), "OL");
        EXPECT_EQ(v.value("device.mfr"), "ZAV");
        EXPECT_FALSE(v.value("device.model").isEmpty());
        EXPECT_NEAR(number(v, "output.frequency"), 50, 5);
        EXPECT_GT(number(v, "input.voltage"), 100);
        EXPECT_GT(number(v, "output.voltage"), 100);
        EXPECT_NEAR(number(v, "ups.load"), 45, 10);
        EXPECT_GT(number(v, "battery.voltage"), 10);
        EXPECT_GT(number(v, "battery.charge"), 50);
        EXPECT_LE(number(v, "battery.charge"), 100);
        EXPECT_GT(number(v, "ups.power"), 0);
        // A three-phase model says so and names each phase.
        if (v.value("output.phases") == "3") {
            EXPECT_TRUE(v.contains("output.L3-N.voltage"));
        } else {
            EXPECT_FALSE(v.contains("output.L1-N.voltage"));
        }
        for (const QString& value : v) EXPECT_FALSE(value.contains('\n'));
    }
}

TEST(NutMapping, StatusFollowsUtilityFailureAndLowBattery) {
    SimConfig config;
    config.upsModel = 7;
    VirtualUps ups(config);
    ups.advanceTo(2000);
    EXPECT_EQ(varsOf(liveOf(ups), 7).value("ups.status"), "OL");

    advance(ups, "0s utility-fail", 4000);
    QHash<QString, QString> v = varsOf(liveOf(ups), 7);
    EXPECT_TRUE(v.value("ups.status").startsWith("OB DISCHRG")) << qPrintable(v.value("ups.status"));
    EXPECT_TRUE(v.value("ups.status").contains("ALARM"));
    EXPECT_FALSE(v.value("ups.status").contains("LB"));
    EXPECT_FALSE(v.value("ups.alarm").isEmpty());

    advance(ups, "0s battery-low", 6000);
    v = varsOf(liveOf(ups), 7, true);
    EXPECT_TRUE(v.value("ups.status").contains("OB"));
    EXPECT_TRUE(v.value("ups.status").contains("LB"));
    EXPECT_TRUE(v.value("ups.status").startsWith("FSD OB")) << qPrintable(v.value("ups.status"));

    advance(ups, "0s utility-restore", 60000);
    v = varsOf(liveOf(ups), 7);
    EXPECT_TRUE(v.value("ups.status").startsWith("OL")) << qPrintable(v.value("ups.status"));
    EXPECT_FALSE(v.value("ups.status").contains("OB"));
}

TEST(NutMapping, StatusFlagsFromTheStatusWords) {
    // OL and OB follow the input line (88) alone: a battery test or a maintenance discharge with the
    // mains present is OL DISCHRG (CAL for the maintenance discharge), never OB.
    struct Case {
        uint16_t source, battery, inputFail, low, maintenance;
        const char* status;
    };
    const Case cases[] = {
        {1, 1, 0, 0, 0, "OL"},
        {1, 2, 0, 0, 0, "OL CHRG"},
        {2, 0, 0, 0, 0, "OL BYPASS"},
        {1, 3, 0, 0, 0, "OL DISCHRG"},
        {1, 3, 0, 1, 0, "OL LB DISCHRG"},
        {1, 3, 0, 0, 1, "OL DISCHRG CAL"},
        {1, 3, 1, 0, 0, "OB DISCHRG"},
        {1, 3, 1, 1, 0, "OB LB DISCHRG"},
        {0, 0, 0, 0, 0, "OFF"},
        {0, 0, 1, 0, 0, "OFF OB"},
    };
    for (const Case& c : cases) {
        LiveStores live;
        live.LiveStatus.set(83, 1); // battery connected: no "battery not connected" alarm
        live.LiveStatus.set(81, c.source);
        live.LiveStatus.set(82, c.battery);
        live.LiveStatus.set(88, c.inputFail);
        live.LiveStatus.set(107, c.low);
        live.LiveStatus.set(100, c.maintenance);
        QString status = nutStatus({&live, 7, false});
        status.remove(QLatin1String(" ALARM"));
        EXPECT_EQ(status, c.status) << c.status;
    }
}

// An overload alarm of the bypass or of a unit's output is NUT's OVER; other alarms are not.
TEST(NutMapping, OverloadAlarmsGiveOver) {
    const struct {
        int reg;
        bool over;
    } cases[] = {{92, true}, {93, true}, {126, true}, {127, true}, {126 + 12, true}, {122, false}, {96, false}};
    for (const auto& c : cases) {
        LiveStores live;
        live.LiveStatus.set(83, 1);
        live.LiveStatus.set(81, 1);
        live.LiveStatus.set(c.reg, 1);
        const QString status = nutStatus({&live, 1, false});
        EXPECT_EQ(status.contains("OVER"), c.over) << c.reg << ": " << status.toStdString();
    }
}

// Three-phase totals add the phases up; the load is the highest phase; phase names follow NUT
// (L1-N for voltages, L1 for currents and powers).
TEST(NutMapping, ThreePhaseTotalsAndPhaseNames) {
    LiveStores live;
    for (int p = 0; p < 3; ++p) {
        live.LiveData.set(25 + p, uint16_t(2300 + p));
        live.LiveData.set(28 + p, uint16_t(200 + p));
        live.LiveData.set(37 + p, uint16_t(152 + 4 * p - (p == 2 ? 13 : 0))); // 15.2, 15.6, 14.7 kVA
        live.LiveData.set(40 + p, uint16_t(140 + p));
        live.LiveData.set(46 + p, uint16_t(p == 1 ? 812 : 700)); // phase B carries most
    }
    const QHash<QString, QString> v = varsOf(live, 1);
    ASSERT_EQ(v.value("output.phases"), "3");
    EXPECT_EQ(v.value("ups.power"), "45500");
    EXPECT_EQ(v.value("ups.realpower"), "42300");
    EXPECT_EQ(v.value("ups.load"), "81.2");
    EXPECT_EQ(v.value("output.L2-N.voltage"), "230.1");
    EXPECT_EQ(v.value("output.L3.current"), "20.2");
    EXPECT_EQ(v.value("output.L2.power"), "15600");
    EXPECT_EQ(v.value("output.L1.realpower"), "14000");
    EXPECT_EQ(v.value("output.L2.power.percent"), "81.2");
    EXPECT_FALSE(v.contains("output.L1-N.current"));
    EXPECT_EQ(nutDescription("output.L2.current"), "Output current (A), phase L2");
}

TEST(NutMapping, PowerInVoltAmperesAndRuntimeInSeconds) {
    LiveStores live;
    live.LiveData.set(37, 46);   // 4.6 kVA
    live.LiveData.set(40, 41);   // 4.1 kW
    live.LiveData.set(55, 865);  // 86.5 minutes
    live.LiveData.set(52, 0xFF85); // -12.3 A
    live.LiveStatus.set(83, 1);
    QHash<QString, QString> v = varsOf(live, 7);
    EXPECT_EQ(v.value("ups.power"), "4600");
    EXPECT_EQ(v.value("ups.realpower"), "4100");
    EXPECT_EQ(v.value("battery.runtime"), "5190");
    EXPECT_EQ(v.value("battery.current"), "-12.3");
    v = varsOf(live, 8); // model 8 counts in thousandths of a kVA
    EXPECT_EQ(v.value("ups.power"), "46");
    live.LiveStatus.set(83, 0);
    live.LiveStatus.set(116, 3); // no temperature sensors
    v = varsOf(live, 7);
    EXPECT_FALSE(v.contains("battery.runtime"));
    EXPECT_FALSE(v.contains("battery.temperature"));
    EXPECT_FALSE(v.contains("ambient.temperature"));
}

TEST(NutCommands, StandardNamesGoToTheRemoteControlRegisters) {
    SimConfig config;
    config.upsModel = 7;
    VirtualUps ups(config);
    ups.advanceTo(2000);
    const LiveStores live = liveOf(ups);
    QStringList names;
    for (const NutDevice::Command& c : nutCommands(7)) names << c.name;
    for (const char* n : {"beeper.mute", "bypass.start", "test.battery.start", "test.battery.stop", "load.off.delay",
                          "zav.fault-clear"})
        EXPECT_TRUE(names.contains(n)) << n;
    EXPECT_FALSE(names.contains("zav.module.inverter-off")); // no modules on a tower

    const NutCommandPlan mute = planNutCommand("beeper.mute", "", 7, live);
    EXPECT_TRUE(mute.error.isEmpty());
    EXPECT_EQ(mute.reg, 353);
    EXPECT_EQ(mute.value, 0x00FF);
    const NutCommandPlan off = planNutCommand("load.off.delay", "120", 7, live);
    EXPECT_EQ(off.reg, 358);
    EXPECT_EQ(off.value, 120);
    EXPECT_TRUE(planNutCommand("load.off.delay", "0", 7, live).error.startsWith("INVALID-ARGUMENT"));
    EXPECT_TRUE(planNutCommand("load.off.delay", "x", 7, live).error.startsWith("INVALID-ARGUMENT"));
    EXPECT_TRUE(planNutCommand("beeper.mute", "5", 7, live).error.startsWith("INVALID-ARGUMENT"));
    EXPECT_TRUE(planNutCommand("load.off.delay", "60", 1, live).error.startsWith("CMD-NOT-SUPPORTED"));

}

TEST(NutCommands, BatteryTestNeedsAnIdleBattery) {
    LiveStores live;
    live.LiveStatus.set(83, 0); // no battery
    EXPECT_TRUE(planNutCommand("test.battery.start", "", 7, live).error.startsWith("INSTCMD-FAILED"));
    live.LiveStatus.set(83, 1);
    EXPECT_TRUE(planNutCommand("test.battery.start", "", 7, live).error.isEmpty());
}

TEST(NutCommands, ModuleCommandsTakeAPresentModule) {
    SimConfig config;
    config.upsModel = 0;
    config.modules = 2;
    VirtualUps ups(config);
    ups.advanceTo(2000);
    const LiveStores live = liveOf(ups);
    ASSERT_GT(live.modules.count, 0);
    const QString present = QString::number(live.modules.list.first());
    EXPECT_TRUE(planNutCommand("zav.module.inverter-off", present, 0, live).error.isEmpty());
    EXPECT_EQ(planNutCommand("zav.module.inverter-off", present, 0, live).reg, 356);
    EXPECT_TRUE(planNutCommand("zav.module.inverter-off", "29", 0, live).error.startsWith("INVALID-ARGUMENT"));
    EXPECT_TRUE(planNutCommand("zav.module.inverter-off", "all", 0, live).error.startsWith("INVALID-ARGUMENT"));
    EXPECT_TRUE(planNutCommand("zav.module.inverter-off", "", 0, live).error.startsWith("INVALID-ARGUMENT"));
}

// Standard names for the serial number and the UPS clock, read-only beside the settings that hold
// them, on every model that has those settings.
TEST(NutSettings, SerialAndClockUnderTheirStandardNames) {
    int clocks = 0, serials = 0;
    for (int model = 0; model <= 8; ++model) {
        const RegisterStore data = simSettings(model);
        QHash<QString, NutVar> vars;
        for (const NutVar& v : nutSettingVariables(data, model, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))))
            vars[v.name] = v;
        SCOPED_TRACE(model);
        if (vars.contains("zav.system.time")) {
            ++clocks;
            EXPECT_EQ(vars["ups.date"].value + " " + vars["ups.time"].value, vars["zav.system.time"].value);
            EXPECT_FALSE(vars["ups.time"].writable);
        }
        if (vars.contains("zav.ups.serial_number") && !vars["zav.ups.serial_number"].value.isEmpty()) {
            ++serials;
            EXPECT_EQ(vars["ups.serial"].value, vars["zav.ups.serial_number"].value);
            EXPECT_EQ(vars["device.serial"].value, vars["zav.ups.serial_number"].value);
            EXPECT_FALSE(vars["ups.serial"].writable);
        }
    }
    EXPECT_GT(clocks, 0);
    EXPECT_GT(serials, 0);
}

TEST(NutSettings, WritesCarryThePagesChecksAndEntries) {
    const RegisterStore data = simSettings(7);
    const QDateTime now(QDate(2026, 1, 2), QTime(3, 4, 5));

    QHash<QString, NutVar> vars;
    for (const NutVar& v : nutSettingVariables(data, 7, now)) vars[v.name] = v;
    ASSERT_TRUE(vars.contains("output.voltage.nominal"));
    ASSERT_TRUE(vars.contains("zav.battery.count"));
    EXPECT_TRUE(vars["zav.battery.count"].writable);
    // Every setting is described in words a user reads, never by an internal name or not at all.
    for (const NutVar& v : vars) {
        EXPECT_TRUE(v.description.contains(' ')) << v.name.toStdString() << ": " << v.description.toStdString();
        EXPECT_FALSE(v.description.contains(QRegularExpression("[A-Z][a-z]+[A-Z][a-z]"))) << v.name.toStdString() << ": " << v.description.toStdString();
    }
    // An enumeration names its base type: numbers, or strings as long as the longest item.
    EXPECT_EQ(vars["zav.battery.count"].type, "RW ENUM NUMBER");
    for (const NutVar& v : vars)
        if (v.type.startsWith("RW ENUM STRING:")) {
            bool ok = false;
            const int n = v.type.mid(15).toInt(&ok);
            ASSERT_TRUE(ok) << v.type.toStdString();
            for (const QString& e : v.enums) EXPECT_LE(e.toUtf8().size(), n) << v.name.toStdString();
        } else if (v.type.startsWith("RW ENUM")) {
            EXPECT_EQ(v.type, "RW ENUM NUMBER") << v.name.toStdString();
        }
    EXPECT_TRUE(std::any_of(vars.begin(), vars.end(), [](const NutVar& v) { return v.type.startsWith("RW ENUM STRING:"); }));
    EXPECT_FALSE(vars["zav.battery.count"].enums.isEmpty());
    EXPECT_FALSE(vars.contains("zav.battery.type")); // the type rebuilds the battery lists: zavctl only

    // A whole number with fixed limits offers them; a decimal one does not (NUT clients read range
    // limits as integers).
    EXPECT_EQ(vars["zav.battery.capacity"].type, "RW RANGE NUMBER");
    EXPECT_EQ(vars["zav.battery.capacity"].rangeMin, "1");
    EXPECT_EQ(vars["zav.battery.capacity"].rangeMax, "30000");
    EXPECT_TRUE(vars["zav.frequency.sync_window"].type.startsWith("RW STRING"));
    EXPECT_TRUE(vars["zav.frequency.sync_window"].rangeMin.isEmpty());

    const QString other = vars["zav.battery.count"].enums.last();
    NutWrite w = nutSettingWrite("zav.battery.count", other, data, 7, now);
    ASSERT_TRUE(w.error.isEmpty()) << qPrintable(w.error);
    ASSERT_EQ(w.entries.size(), 1);
    EXPECT_EQ(w.entries[0].value, other.toInt());

    w = nutSettingWrite("zav.battery.count", "7", data, 7, now);
    EXPECT_TRUE(w.error.startsWith("INVALID-VALUE")) << qPrintable(w.error);
    EXPECT_TRUE(w.entries.isEmpty());
    w = nutSettingWrite("nothing.here", "1", data, 7, now);
    EXPECT_EQ(w.error, "VAR-NOT-SUPPORTED");
    w = nutSettingWrite("zav.system.time", "2030-05-06 07:08:09", data, 7, now);
    if (vars.contains("zav.system.time")) {
        EXPECT_TRUE(w.error.isEmpty()) << qPrintable(w.error);
        EXPECT_FALSE(w.entries.isEmpty());
        EXPECT_TRUE(nutSettingWrite("zav.system.time", "yesterday", data, 7, now).error.startsWith("INVALID-VALUE"));
    }
}

// A split bank (models 0 to 4) is one battery to NUT clients: the strings' voltages add up, the
// current is the strings' mean; each string is published too. A single string is the battery.
TEST(NutMapping, SplitBatteryBankReadsAsOneBattery) {
    LiveStores live;
    live.LiveData.set(50, 2400);   // +240.0 V
    live.LiveData.set(51, 2385);   // -238.5 V string, a magnitude
    live.LiveData.set(52, 0xFF9C); // -10.0 A
    live.LiveData.set(53, 0xFF88); // -12.0 A
    QHash<QString, QString> v = varsOf(live, 1);
    EXPECT_EQ(v.value("battery.voltage"), "478.5");
    EXPECT_EQ(v.value("battery.current"), "-11.0");
    EXPECT_EQ(v.value("zav.battery.positive.voltage"), "240.0");
    EXPECT_EQ(v.value("zav.battery.negative.voltage"), "238.5");
    EXPECT_EQ(v.value("zav.battery.positive.current"), "-10.0");
    EXPECT_EQ(v.value("zav.battery.negative.current"), "-12.0");
    EXPECT_EQ(nutDescription("zav.battery.negative.voltage"), "Battery voltage, negative string (V)");

    v = varsOf(live, 7); // one string
    EXPECT_EQ(v.value("battery.voltage"), "240.0");
    EXPECT_EQ(v.value("battery.current"), "-10.0");
    EXPECT_FALSE(v.contains("zav.battery.negative.voltage"));
    EXPECT_FALSE(v.contains("zav.battery.positive.voltage"));

    // The virtual UPS's split bank: the total is both strings.
    SimConfig config;
    config.upsModel = 0;
    VirtualUps ups(config);
    ups.advanceTo(5000);
    const LiveStores sim = liveOf(ups);
    v = varsOf(sim, 0);
    EXPECT_NEAR(number(v, "battery.voltage"),
                number(v, "zav.battery.positive.voltage") + number(v, "zav.battery.negative.voltage"), 0.05);
    EXPECT_GT(number(v, "zav.battery.negative.voltage"), 10);
}

TEST(NutMapping, ChargerStatusFromTheBatteryState) {
    const struct {
        uint16_t state;
        const char* charger; // nullptr: not published
    } cases[] = {{0, "resting"}, {1, "floating"}, {2, "charging"}, {3, "discharging"}, {7, nullptr}};
    for (const auto& c : cases) {
        LiveStores live;
        live.LiveStatus.set(82, c.state);
        const QHash<QString, QString> v = varsOf(live, 7);
        if (c.charger) EXPECT_EQ(v.value("battery.charger.status"), c.charger) << c.state;
        else EXPECT_FALSE(v.contains("battery.charger.status")) << c.state;
    }
}

// Once the settings are read, the system codes tell one phase or three where the model leaves it
// to them (bit 1 of 329 and 330), with the phase variables to match.
TEST(NutMapping, PhasesFollowTheSystemCodes) {
    const struct {
        int model;
        uint16_t code1, code2;
        bool settingsRead;
        const char* inputPhases;
        const char* outputPhases;
    } cases[] = {
        {0, 0, 0, true, "3", "3"}, {0, 2, 0, true, "3", "1"}, {0, 0, 2, true, "1", "3"},
        {3, 2, 2, true, "1", "1"}, {6, 0, 0, true, "1", "1"}, {6, 2, 0, true, "3", "1"},
        {6, 2, 0, false, "1", "1"}, {1, 2, 2, true, "3", "3"}, {8, 2, 2, true, "1", "1"},
    };
    for (const auto& c : cases) {
        LiveStores live;
        RegisterStore settings = SettingStores{}.SettingData;
        settings.set(329, c.code1);
        settings.set(330, c.code2);
        QHash<QString, QString> v;
        for (const NutVar& var : nutLiveVariables({&live, c.model, false, c.settingsRead ? &settings : nullptr}, "1"))
            v[var.name] = var.value;
        const std::string where = "model " + std::to_string(c.model) + " codes " + std::to_string(c.code1) + "/" +
                                  std::to_string(c.code2);
        EXPECT_EQ(v.value("input.phases"), c.inputPhases) << where;
        EXPECT_EQ(v.value("output.phases"), c.outputPhases) << where;
        EXPECT_EQ(v.contains("input.L3-N.voltage"), QString(c.inputPhases) == "3") << where;
        EXPECT_EQ(v.contains("output.L3-N.voltage"), QString(c.outputPhases) == "3") << where;
    }
}

// Nominal power, battery count, capacity and chemistry under NUT's names, from the settings of the
// models that hold them; none on a model without the setting.
TEST(NutSettings, RatedPowerAndBatteryUnderTheirStandardNames) {
    const QDateTime now(QDate(2026, 1, 2), QTime(3, 4, 5));
    for (int model = 0; model <= 8; ++model) {
        const RegisterStore data = simSettings(model);
        QHash<QString, NutVar> vars;
        for (const NutVar& v : nutSettingVariables(data, model, now)) vars[v.name] = v;
        SCOPED_TRACE(model);
        const char* rated = model <= 2 ? "zav.rated.cabinet_kva" : "zav.rated.module_kva";
        if (model == 8) {
            EXPECT_FALSE(vars.contains("ups.power.nominal"));
        } else {
            ASSERT_TRUE(vars.contains(rated));
            EXPECT_EQ(vars["ups.power.nominal"].value.toInt(), vars[rated].value.toInt() * 1000);
            EXPECT_GT(vars["ups.power.nominal"].value.toInt(), 0);
            EXPECT_FALSE(vars["ups.power.nominal"].writable);
        }
        EXPECT_EQ(vars["battery.packs"].value, vars["zav.battery.count"].value);
        EXPECT_EQ(vars["battery.capacity"].value, vars["zav.battery.capacity"].value);
        EXPECT_GT(vars["battery.capacity"].value.toInt(), 0);
        EXPECT_EQ(vars["battery.type"].value, model == 0 ? "PbAc" : "");
        EXPECT_FALSE(vars.contains("ups.realpower.nominal"));
        EXPECT_FALSE(vars.contains("battery.voltage.nominal"));
    }
    RegisterStore lithium = simSettings(0);
    lithium.set(386, 1 + 8 * 20);
    QHash<QString, QString> v;
    for (const NutVar& var : nutSettingVariables(lithium, 0, now)) v[var.name] = var.value;
    EXPECT_EQ(v.value("battery.type"), "Li-ion");
    lithium.set(386, 5 + 8 * 20); // no type of the list
    v.clear();
    for (const NutVar& var : nutSettingVariables(lithium, 0, now)) v[var.name] = var.value;
    EXPECT_FALSE(v.contains("battery.type"));
}

// The maintenance discharge is NUT's runtime calibration, with the battery checks of its button;
// the UPS's timed switch-off is no load.off or shutdown.return (see docs/NUT.md).
TEST(NutCommands, CalibrationIsTheMaintenanceDischarge) {
    QStringList names;
    for (const NutDevice::Command& c : nutCommands(7)) names << c.name;
    EXPECT_TRUE(names.contains("calibrate.start"));
    EXPECT_TRUE(names.contains("calibrate.stop"));
    EXPECT_TRUE(names.contains("zav.battery-maintenance"));
    EXPECT_FALSE(names.contains("load.off"));
    EXPECT_FALSE(names.contains("shutdown.return"));
    EXPECT_EQ(names.removeDuplicates(), 0);

    LiveStores live;
    live.LiveStatus.set(83, 1);
    NutCommandPlan p = planNutCommand("calibrate.start", "", 7, live);
    EXPECT_TRUE(p.error.isEmpty()) << qPrintable(p.error);
    EXPECT_EQ(p.reg, 355);
    EXPECT_EQ(p.value, 0x00F0);
    p = planNutCommand("calibrate.stop", "", 7, live);
    EXPECT_TRUE(p.error.isEmpty()) << qPrintable(p.error);
    EXPECT_EQ(p.reg, 355);
    EXPECT_EQ(p.value, 0);
    live.LiveStatus.set(83, 0); // no battery: refused as on the page
    EXPECT_TRUE(planNutCommand("calibrate.start", "", 7, live).error.startsWith("INSTCMD-FAILED"));
    EXPECT_TRUE(planNutCommand("calibrate.start", "1", 7, live).error.startsWith("INVALID-ARGUMENT"));
}
