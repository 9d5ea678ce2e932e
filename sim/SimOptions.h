#pragma once
// Command line of zav-ups-sim.

#include "Faults.h"
#include "FirmwareOptions.h"
#include "Scenario.h"
#include "VirtualUps.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace zav::sim {

struct FaultOption {
    FaultKind kind;
    int every = 1;
};

// One UPS of several on the line (--unit ADDR:MODEL[:SCENARIO]).
struct UnitOption {
    int address = 1;
    int model = 1;
    bool ownScenario = false; // a scenario file of its own, else the common --scenario/--event
    Scenario scenario;
};

struct SimOptions {
    SimConfig config; // with --unit: what all units share (the address and model are each unit's)
    QVector<UnitOption> units; // empty: one UPS, config's address and model
    QString linkPath;
    Scenario scenario; // --scenario FILE and --event, merged in time order
    QVector<FaultOption> faults;
    int delayMs = 0;
    bool verbose = false;
    bool paced = false; // bytes cross the line at its baud rate
    QString statsPath;  // the line's byte counts, written on SIGUSR1 and at the end
    FirmwareOptions firmware; // bootloader pty and logo receiver
    bool help = false;
};

struct OptionsParse {
    SimOptions options;
    QString error;    // for the user, one line; empty when the arguments were good
    QString helpText; // the usage text
    bool ok() const { return error.isEmpty(); }
};

// arguments[0] is the program name, as in QCoreApplication::arguments().
OptionsParse parseSimOptions(const QStringList& arguments);

// The configuration of every UPS on the line, in the order given (one without --unit).
QVector<SimConfig> unitConfigs(const SimOptions& options);

// The faults, delay and scenario of the options, onto a freshly made UPS; `unit` indexes
// unitConfigs(). The firmware (bootloader and logo) belongs to the first unit.
void applyOptions(const SimOptions& options, VirtualUps& ups, int unit = 0);

} // namespace zav::sim
