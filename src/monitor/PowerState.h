#pragma once
// The UPS's power state and its present alarms, read from the live status words. One reading for
// every consumer: the NUT status flags of zavd, the event journal and the notifications.

#include "monitor/LiveStores.h"

#include <QVector>

namespace zav {

struct PowerState {
    bool outputOff = false;   // status 81 (supply source) 0: nothing feeds the load
    bool onBattery = false;   // status 88 (utility failure) 1: the input line alone decides
    bool batteryLow = false;  // status 107
    bool onBypass = false;    // status 81 is 2
    bool charging = false;    // status 82 is 2 (boost)
    bool discharging = false; // status 82 is 3
    bool calibrating = false; // status 100: a maintenance discharge is under way
    bool operator==(const PowerState&) const = default;
};
PowerState powerState(const RegisterStore& liveStatus);

struct PresentAlarm {
    int event; // number in beeperEvents()
    int unit;  // 0 for the events of the whole UPS, else power unit 1 to 10
    bool operator==(const PresentAlarm&) const = default;
};
// The alarm events present now, whole-UPS events first, then each power unit's.
QVector<PresentAlarm> presentAlarms(const LiveStores& live);
// Overload alarms of the bypass (events 8, 9) and of any power unit's output (26, 27).
bool overloaded(const QVector<PresentAlarm>& alarms);

} // namespace zav
