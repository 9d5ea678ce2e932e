#include "zavd/NutVariables.h"

#include "foundation/Branding.h"
#include "monitor/BeeperEvents.h"
#include "foundation/NumberFormats.h"
#include "monitor/MeasureViews.h"
#include "monitor/PowerState.h"
#include "monitor/UpsSummary.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace zav {

namespace {

// Status words the status flags come from.
constexpr int kBatteryState = 82; // 0 idle, 1 float, 2 boost, 3 discharging
constexpr int kBatteryConnected = 83;
constexpr int kSelfTestStatus = 99;      // 0 none, 1 passed, 2 failed, 3 running
constexpr int kTemperatureMissing = 116; // bit 0 battery, bit 1 ambient

enum class Fmt { Tenths, Hundredths, SignedTenths, Power };

struct LiveRow {
    const char* name;
    int reg;
    Fmt fmt;
    const char* description;
};

// Registers 1..12 bypass, 13..24 main input, 25..48 output, 49..56 battery (phase A first; B and C
// follow each phase-A register).
constexpr LiveRow kRows[] = {
    {"input.voltage", 13, Fmt::Tenths, "Input voltage (V)"},
    {"input.current", 16, Fmt::Tenths, "Input current (A)"},
    {"input.frequency", 19, Fmt::Hundredths, "Input line frequency (Hz)"},
    {"input.bypass.voltage", 1, Fmt::Tenths, "Bypass input voltage (V)"},
    {"input.bypass.current", 4, Fmt::Tenths, "Bypass input current (A)"},
    {"input.bypass.frequency", 7, Fmt::Hundredths, "Bypass input frequency (Hz)"},
    {"output.voltage", 25, Fmt::Tenths, "Output voltage (V)"},
    {"output.current", 28, Fmt::Tenths, "Output current (A)"},
    {"output.frequency", 31, Fmt::Hundredths, "Output frequency (Hz)"},
    {"output.powerfactor", 34, Fmt::Hundredths, "Output power factor"},
    {"battery.charge", 56, Fmt::Tenths, "Battery charge (percent)"},
};

// The battery bank: one string (registers 50, 52), or a split bank of a positive string (50, 52)
// and a negative one (51, 53) around the neutral.
constexpr int kBatteryVoltage = 50, kBatteryCurrent = 52, kNegativeOffset = 1;

// Phase variables of the three-phase layouts under NUT's names: L1-N for voltages (phase to
// neutral), L1 for currents and powers; phase B and C follow each phase-A register.
struct PhaseRow {
    const char* pattern; // %1 is the phase number
    int reg;
    Fmt fmt;
    MeasureGrid grid;
};
constexpr PhaseRow kPhaseRows[] = {
    {"input.L%1-N.voltage", 13, Fmt::Tenths, MeasureGrid::Main},
    {"input.L%1.current", 16, Fmt::Tenths, MeasureGrid::Main},
    {"input.bypass.L%1-N.voltage", 1, Fmt::Tenths, MeasureGrid::Bypass},
    {"output.L%1-N.voltage", 25, Fmt::Tenths, MeasureGrid::Output},
    {"output.L%1.current", 28, Fmt::Tenths, MeasureGrid::Output},
    {"output.L%1.power", 37, Fmt::Power, MeasureGrid::Output},
    {"output.L%1.realpower", 40, Fmt::Power, MeasureGrid::Output},
    {"output.L%1.power.percent", 46, Fmt::Tenths, MeasureGrid::Output},
};

// Output totals: the powers add up over the phases, the load is the highest phase's.
constexpr int kApparentPower = 37, kRealPower = 40;

QString format(uint16_t word, Fmt fmt, int model) {
    switch (fmt) {
    case Fmt::Tenths: return FormatTenths(word);
    case Fmt::Hundredths: return FormatHundredths(word);
    case Fmt::SignedTenths: return FormatSignedTenths(word);
    case Fmt::Power: {
        // The power words are kVA/kW in tenths (thousandths on model 8); NUT counts VA and W.
        const long long units = word >= 0x8000 ? 0 : word;
        return QString::number(model == 8 ? units : units * 100);
    }
    }
    return {};
}

const char* const kExtraDescriptions[][2] = {
    {"ups.status", "UPS status"},
    {"ups.alarm", "UPS alarms"},
    {"ups.mfr", "UPS manufacturer"},
    {"ups.model", "UPS model"},
    {"ups.firmware", "UPS firmware"},
    {"device.mfr", "Device manufacturer"},
    {"device.model", "Device model"},
    {"device.type", "Device type"},
    {"driver.name", "Driver name"},
    {"driver.version", "Driver version"},
    {"battery.runtime", "Battery runtime (seconds)"},
    {"battery.temperature", "Battery temperature (degrees C)"},
    {"ambient.temperature", "Ambient temperature (degrees C)"},
    {"input.phases", "Input phases"},
    {"ups.power", "Current value of apparent power (VA)"},
    {"ups.realpower", "Current value of real power (W)"},
    {"ups.load", "Load on UPS (percent, the highest phase)"},
    {"ups.test.result", "Results of last self test"},
    {"output.phases", "Output phases"},
    {"battery.voltage", "Battery voltage (V)"},
    {"battery.current", "Battery current (A)"},
    {"battery.charger.status", "Battery charger status"},
    {"zav.battery.positive.voltage", "Battery voltage, positive string (V)"},
    {"zav.battery.negative.voltage", "Battery voltage, negative string (V)"},
    {"zav.battery.positive.current", "Battery current, positive string (A)"},
    {"zav.battery.negative.current", "Battery current, negative string (A)"},
};

// Battery state word 82 in NUT's charger words.
const char* const kChargerStatus[] = {"resting", "floating", "charging", "discharging"};

// battery.voltage and battery.current of the whole bank. A split bank adds up its two strings'
// voltages (the bank's voltage from end to end, as NUT clients read it) and gives the mean of the
// two strings' currents (what flows through the bank at that voltage; the difference flows in the
// neutral); each string is published on its own under zav.battery.positive/negative.
void addBattery(QVector<NutVar>& v, const LiveStores& live, bool split) {
    const auto add = [&](const char* name, const QString& value) {
        v.append({QLatin1String(name), value, nutDescription(QLatin1String(name)), false, QStringLiteral("NUMBER"), {}, {}, {}});
    };
    const uint16_t posV = live.LiveData[kBatteryVoltage], posI = live.LiveData[kBatteryCurrent];
    if (!split) {
        add("battery.voltage", FormatTenths(posV));
        add("battery.current", FormatSignedTenths(posI));
        return;
    }
    const uint16_t negV = live.LiveData[kBatteryVoltage + kNegativeOffset];
    const uint16_t negI = live.LiveData[kBatteryCurrent + kNegativeOffset];
    // Negative words of the voltages count as 0, as the pages show them.
    const auto volts = [](uint16_t w) { return w >= 0x8000 ? 0 : int(w); };
    add("battery.voltage", FormatTenths(uint16_t(std::min(volts(posV) + volts(negV), 0x7FFF))));
    // Tenths of amperes, signed; the mean keeps one decimal rounded toward zero as the strings' values.
    const int meanTenths = (int(int16_t(posI)) + int(int16_t(negI))) / 2;
    add("battery.current", FormatSignedTenths(uint16_t(int16_t(meanTenths))));
    add("zav.battery.positive.voltage", FormatTenths(posV));
    add("zav.battery.negative.voltage", FormatTenths(negV));
    add("zav.battery.positive.current", FormatSignedTenths(posI));
    add("zav.battery.negative.current", FormatSignedTenths(negI));
}

} // namespace

QStringList nutAlarms(const LiveStores& live, int upsModel) {
    QStringList out;
    for (const PresentAlarm& a : presentAlarms(live)) out << alarmWarningText(a.event, a.unit, upsModel, 1).simplified();
    return out;
}

QString nutStatus(const NutStatusInputs& in) {
    const PowerState p = powerState(in.live->LiveStatus);
    QStringList flags;
    // A forced shutdown comes first, as upsd puts it before the driver's flags.
    if (in.forcedShutdown) flags << "FSD";
    // OL and OB describe the input line alone: a battery test or a maintenance discharge with the
    // mains present discharges the battery, yet the UPS is on line (upsmon must not shut down).
    if (p.outputOff) flags << "OFF";
    else if (!p.onBattery) flags << "OL";
    if (p.onBattery) flags << "OB";
    if (p.batteryLow) flags << "LB";
    if (p.onBypass) flags << "BYPASS";
    if (p.charging) flags << "CHRG";
    if (p.discharging) flags << "DISCHRG";
    if (p.calibrating) flags << "CAL";
    if (overloaded(presentAlarms(*in.live))) flags << "OVER";
    if (!nutAlarms(*in.live, in.upsModel).isEmpty()) flags << "ALARM";
    return flags.join(' ');
}

QVector<NutVar> nutLiveVariables(const NutStatusInputs& in, const QString& version) {
    const LiveStores& live = *in.live;
    const int model = in.upsModel;
    QVector<NutVar> v;
    const auto add = [&](const QString& name, const QString& value, const QString& type = QStringLiteral("NUMBER")) {
        v.append({name, value, nutDescription(name), false, type, {}, {}, {}});
    };
    const QStringList models = brandingModelItems();
    const QString modelName = model >= 0 && model + 1 < models.size() ? models[model + 1] : QStringLiteral("unknown");
    add("device.mfr", "ZAV", "STRING:32");
    add("device.model", modelName, "STRING:64");
    add("device.type", "ups", "STRING:8");
    add("driver.name", "zavd", "STRING:16");
    add("driver.version", version, "STRING:16");
    add("ups.mfr", "ZAV", "STRING:32");
    add("ups.model", modelName, "STRING:64");
    add("ups.firmware", monitorVersionText(live).remove(' '), "STRING:32");
    add("ups.status", nutStatus(in), "STRING:64");
    if (const QStringList alarms = nutAlarms(live, model); !alarms.isEmpty())
        add("ups.alarm", alarms.join(QStringLiteral("; ")), "STRING:256");

    // The layout of the measurement pages decides one phase or three, with the system codes once
    // the settings are read (before that, each model's reading with both codes 0, as the pages).
    const MeasureLayout layout = in.settings ? measureLayout(model, *in.settings) : MeasureLayout{model, false, false};
    add("input.phases", threePhaseLayout(MeasureGrid::Main, layout) ? "3" : "1");
    add("output.phases", threePhaseLayout(MeasureGrid::Output, layout) ? "3" : "1");
    for (const LiveRow& r : kRows) add(r.name, format(live.LiveData[r.reg], r.fmt, model));
    const int outputPhases = threePhaseLayout(MeasureGrid::Output, layout) ? 3 : 1;
    const auto word = [&](int reg) { return live.LiveData[reg] >= 0x8000 ? 0 : int(live.LiveData[reg]); };
    int apparent = 0, real = 0;
    for (int p = 0; p < outputPhases; ++p) {
        apparent += word(kApparentPower + p);
        real += word(kRealPower + p);
    }
    add("ups.power", format(uint16_t(std::min(apparent, 0x7FFF)), Fmt::Power, model));
    add("ups.realpower", format(uint16_t(std::min(real, 0x7FFF)), Fmt::Power, model));
    // The same load and runtime as the window's status strip; a phase without a reading counts 0.
    add("ups.load", FormatTenths(uint16_t(std::lround(highestLoadPercent(live, layout).value_or(0.0) * 10))));
    for (const PhaseRow& r : kPhaseRows) {
        if (!threePhaseLayout(r.grid, layout)) continue;
        for (int p = 0; p < 3; ++p)
            add(QString::fromLatin1(r.pattern).arg(p + 1), format(live.LiveData[r.reg + p], r.fmt, model));
    }
    addBattery(v, live, threePhaseLayout(MeasureGrid::Battery, layout));
    if (const uint16_t b = live.LiveStatus[kBatteryState]; b <= 3) add("battery.charger.status", kChargerStatus[b], "STRING:16");
    static const char* const kTestResults[] = {"No test initiated", "Done and passed", "Done and error", "In progress"};
    if (const int t = live.LiveStatus[kSelfTestStatus]; t >= 0 && t <= 3) add("ups.test.result", kTestResults[t], "STRING:32");
    // Only while a battery is connected; NUT counts seconds.
    if (live.LiveStatus[kBatteryConnected] != 0)
        add("battery.runtime", QString::number(std::lround(runtimeMinutesLeft(live).value_or(0.0) * 60)));
    if (!(live.LiveStatus[kTemperatureMissing] & 1u)) add("battery.temperature", FormatTenths(live.LiveData[54]));
    if (!(live.LiveStatus[kTemperatureMissing] & 2u)) add("ambient.temperature", FormatTenths(live.LiveData[49]));
    return v;
}

QString nutDescription(const QString& name) {
    for (const LiveRow& r : kRows)
        if (name == QLatin1String(r.name)) return QLatin1String(r.description);
    for (const auto& d : kExtraDescriptions)
        if (name == QLatin1String(d[0])) return QLatin1String(d[1]);
    // Phase values: the quantity after the phase, e.g. "output.L2.current" -> "Output current, phase L2".
    static const QRegularExpression phase(QStringLiteral("^(input\\.bypass|input|output)\\.L([123])(-N)?\\.(.+)$"));
    if (const QRegularExpressionMatch m = phase.match(name); m.hasMatch()) {
        const QString base = m.captured(1) + '.' + m.captured(4);
        QString what = nutDescription(base);
        if (what.isEmpty() && m.captured(4) == QLatin1String("power")) what = QStringLiteral("Output apparent power (VA)");
        if (what.isEmpty() && m.captured(4) == QLatin1String("realpower")) what = QStringLiteral("Output real power (W)");
        if (what.isEmpty() && m.captured(4) == QLatin1String("power.percent")) what = QStringLiteral("Output load (percent)");
        return QStringLiteral("%1, phase L%2").arg(what.isEmpty() ? base : what, m.captured(2));
    }
    return {};
}

} // namespace zav
