#include "zavd/NutVariables.h"

#include "app/Branding.h"
#include "monitor/BeeperEvents.h"
#include "monitor/NumberFormats.h"
#include "monitor/MeasureViews.h"

namespace zav {

namespace {

// Status words the status flags come from.
constexpr int kSupplySource = 81; // 0 none, 1 inverter, 2 bypass
constexpr int kBatteryState = 82; // 0 idle, 1 float, 2 boost, 3 discharging
constexpr int kBatteryConnected = 83;
constexpr int kInputFail = 88;
constexpr int kBatteryLow = 107;
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
    {"ups.power", 37, Fmt::Power, "Current value of apparent power (VA)"},
    {"ups.realpower", 40, Fmt::Power, "Current value of real power (W)"},
    {"ups.load", 46, Fmt::Tenths, "Load on UPS (percent)"},
    {"battery.voltage", 50, Fmt::Tenths, "Battery voltage (V)"},
    {"battery.current", 52, Fmt::SignedTenths, "Battery current (A)"},
    {"battery.charge", 56, Fmt::Tenths, "Battery charge (percent)"},
};

// Phase variables of the three-phase layouts: NUT's L1/L2/L3 names beside the phase-A value.
struct PhaseRow {
    const char* prefix; // "input", "input.bypass", "output"
    const char* quantity;
    int reg;
    Fmt fmt;
    MeasureGrid grid;
};
constexpr PhaseRow kPhaseRows[] = {
    {"input", "voltage", 13, Fmt::Tenths, MeasureGrid::Main},
    {"input", "current", 16, Fmt::Tenths, MeasureGrid::Main},
    {"input.bypass", "voltage", 1, Fmt::Tenths, MeasureGrid::Bypass},
    {"output", "voltage", 25, Fmt::Tenths, MeasureGrid::Output},
    {"output", "current", 28, Fmt::Tenths, MeasureGrid::Output},
    {"output", "realpower", 40, Fmt::Power, MeasureGrid::Output},
};

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
    {"output.phases", "Output phases"},
};

} // namespace

QStringList nutAlarms(const LiveStores& live, int upsModel) {
    QStringList out;
    for (int e = 0; e < kFirstUnitEvent; ++e)
        if (alarmPresent(e, live.LiveStatus[alarmRegister(e, 0)]))
            out << alarmWarningText(e, 0, upsModel, 1).simplified();
    for (int unit = 1; unit <= kPowerUnitCount; ++unit)
        for (int e = kFirstUnitEvent; e < kAlarmEventCount; ++e) {
            const int reg = alarmRegister(e, unit);
            if (reg >= live.LiveStatus.first() && reg <= live.LiveStatus.last() && alarmPresent(e, live.LiveStatus[reg]))
                out << alarmWarningText(e, unit, upsModel, 1).simplified();
        }
    return out;
}

QString nutStatus(const NutStatusInputs& in) {
    const RegisterStore& s = in.live->LiveStatus;
    QStringList flags;
    const bool onBattery = s[kInputFail] == 1 || s[kBatteryState] == 3;
    if (s[kSupplySource] == 0) flags << "OFF";
    else if (!onBattery) flags << "OL";
    if (onBattery) flags << "OB";
    if (s[kBatteryLow] == 1) flags << "LB";
    if (s[kSupplySource] == 2) flags << "BYPASS";
    if (s[kBatteryState] == 2) flags << "CHRG";
    if (s[kBatteryState] == 3) flags << "DISCHRG";
    if (!nutAlarms(*in.live, in.upsModel).isEmpty()) flags << "ALARM";
    if (in.forcedShutdown) flags << "FSD";
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

    // The layout of the measurement pages decides one phase or three (system codes not used here:
    // the settings may not be read yet, so the single-phase reading of each model counts).
    const MeasureLayout layout{model, false, false};
    add("input.phases", threePhaseLayout(MeasureGrid::Main, layout) ? "3" : "1");
    add("output.phases", threePhaseLayout(MeasureGrid::Output, layout) ? "3" : "1");
    for (const LiveRow& r : kRows) add(r.name, format(live.LiveData[r.reg], r.fmt, model));
    for (const PhaseRow& r : kPhaseRows) {
        if (!threePhaseLayout(r.grid, layout)) continue;
        for (int p = 0; p < 3; ++p)
            add(QStringLiteral("%1.L%2-N.%3").arg(QLatin1String(r.prefix)).arg(p + 1).arg(QLatin1String(r.quantity)),
                format(live.LiveData[r.reg + p], r.fmt, model));
    }
    // Remaining minutes in tenths, only while a battery is connected; NUT counts seconds.
    if (live.LiveStatus[kBatteryConnected] != 0)
        add("battery.runtime", QString::number(int(live.LiveData[55] >= 0x8000 ? 0 : live.LiveData[55]) * 6));
    if (!(live.LiveStatus[kTemperatureMissing] & 1u)) add("battery.temperature", FormatTenths(live.LiveData[54]));
    if (!(live.LiveStatus[kTemperatureMissing] & 2u)) add("ambient.temperature", FormatTenths(live.LiveData[49]));
    return v;
}

QString nutDescription(const QString& name) {
    for (const LiveRow& r : kRows)
        if (name == QLatin1String(r.name)) return QLatin1String(r.description);
    for (const auto& d : kExtraDescriptions)
        if (name == QLatin1String(d[0])) return QLatin1String(d[1]);
    if (name.contains(QLatin1String(".L"))) return QStringLiteral("Phase value");
    return {};
}

} // namespace zav
