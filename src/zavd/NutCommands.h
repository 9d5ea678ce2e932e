#pragma once
// The remote-control commands as NUT instant commands: NUT's standard names where one means the
// same (beeper.mute, bypass.start, test.battery.start, ...), "zav.<name>" for the rest, module
// commands as "zav.module.<action>" with the module number (or "all") as parameter, and
// load.off.delay (the UPS switch-off of the PC protection) with its seconds.

#include "link/RegisterStore.h"
#include "zavd/NutProtocol.h"

#include <cstdint>

namespace zav {

struct LiveStores;

struct NutCommandPlan {
    uint16_t reg = 0;
    uint16_t value = 0;
    QString error; // NUT error name, a colon and the reason; empty when the command may go out
};

QVector<NutDevice::Command> nutCommands(int upsModel);
// The register write of INSTCMD name [parameter] with the remote-control page's own checks.
NutCommandPlan planNutCommand(const QString& name, const QString& parameter, int upsModel, const LiveStores& live);

} // namespace zav
