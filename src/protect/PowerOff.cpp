#include "protect/PowerOff.h"

namespace zav {

void DryRunPowerOff::powerOff(std::function<void(const PowerOffResult&)> done) {
    ++calls_;
    const QString line = QStringLiteral("dry run: the PC would be powered off now (forced)");
    record_ << line;
    if (done) done({PowerOffOutcome::Started, line});
}

} // namespace zav
