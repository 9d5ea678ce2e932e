#include "monitor/PowerState.h"

#include "monitor/BeeperEvents.h"

#include <algorithm>

namespace zav {

namespace {
constexpr int kSupplySource = 81; // 0 none, 1 inverter, 2 bypass
constexpr int kBatteryState = 82; // 0 idle, 1 float, 2 boost, 3 discharging
constexpr int kInputFail = 88;
constexpr int kMaintenanceRunning = 100;
constexpr int kBatteryLow = 107;
} // namespace

PowerState powerState(const RegisterStore& s) {
    PowerState p;
    p.outputOff = s[kSupplySource] == 0;
    p.onBattery = s[kInputFail] == 1;
    p.batteryLow = s[kBatteryLow] == 1;
    p.onBypass = s[kSupplySource] == 2;
    p.charging = s[kBatteryState] == 2;
    p.discharging = s[kBatteryState] == 3;
    p.calibrating = s[kMaintenanceRunning] == 1;
    return p;
}

QVector<PresentAlarm> presentAlarms(const LiveStores& live) {
    QVector<PresentAlarm> out;
    for (int e = 0; e < kFirstUnitEvent; ++e)
        if (alarmPresent(e, live.LiveStatus[alarmRegister(e, 0)])) out.append({e, 0});
    for (int unit = 1; unit <= kPowerUnitCount; ++unit)
        for (int e = kFirstUnitEvent; e < kAlarmEventCount; ++e) {
            const int reg = alarmRegister(e, unit);
            if (reg >= live.LiveStatus.first() && reg <= live.LiveStatus.last() && alarmPresent(e, live.LiveStatus[reg]))
                out.append({e, unit});
        }
    return out;
}

bool overloaded(const QVector<PresentAlarm>& alarms) {
    return std::any_of(alarms.begin(), alarms.end(),
                       [](const PresentAlarm& a) { return a.event == 8 || a.event == 9 || a.event == 26 || a.event == 27; });
}

} // namespace zav
