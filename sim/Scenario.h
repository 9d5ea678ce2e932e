#pragma once
// Scenarios: timed events for the virtual UPS, one a line, for example
//   at 10s utility-fail
//   at 40s battery-low
//   at 60s utility-restore
//   at 5s module 3 remove
//   at 20s silent 5s
//   at 30s fault checksum every 3 for 10s
// Blank lines and lines starting with '#' are skipped. Times and durations take ms, s, m or h
// (a bare number is seconds). The command line takes the same events without "at".

#include "Faults.h"

#include <QString>
#include <QVector>

namespace zav::sim {

enum class EventKind {
    UtilityFail,
    UtilityRestore,
    BypassFail,
    BypassRestore,
    BatteryLow,      // capacity drops to 15 %
    BatteryCapacity, // number = percent
    BatteryDisconnect,
    BatteryConnect,
    Load, // number = percent
    ModuleRemove,
    ModuleInsert,
    ModuleFault, // number = module, item = fault row item 1..33
    ModuleClear, // all fault flags of the module
    Epo,
    EpoClear,
    SwitchOn,
    Silent, // duration
    Fault,  // fault, every, duration
    Delay,  // delayMs, duration
    FaultsClear,
    Baud,      // number = rate
    ModelCode, // number = register 78
};

struct ScenarioEvent {
    qint64 atMs = 0;
    EventKind kind = EventKind::UtilityFail;
    int number = 0;
    int item = 0;
    FaultKind fault = FaultKind::Checksum;
    int every = 1;
    int delayMs = 0;
    qint64 durationMs = kForever;
    QString text; // the line as written, for the log
};

struct Scenario {
    QVector<ScenarioEvent> events; // in time order (stable for equal times)
};

struct ScenarioParse {
    Scenario scenario;
    QString error; // "line 3: ..." ; empty when the text was good
    bool ok() const { return error.isEmpty(); }
};

// A whole scenario file.
ScenarioParse parseScenario(const QString& text);
// One event: "10s utility-fail" (or "at 10s utility-fail").
bool parseEvent(const QString& line, ScenarioEvent* out, QString* error);
// "500ms", "10s", "1.5s", "2m", "1h", "10" (seconds); -1 when not a duration.
qint64 parseDuration(const QString& text);

} // namespace zav::sim
