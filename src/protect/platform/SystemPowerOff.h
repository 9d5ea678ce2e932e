#pragma once
// The real power-off of this PC. Only the zav program links this file: no test binary can reach it.

#include "protect/PowerOff.h"

#include <memory>

namespace zav {

// systemd-logind's PowerOff over the system D-Bus; when logind cannot be reached, `systemctl
// poweroff` ignoring inhibitors. A refusal (no right to power off) is reported as Refused with the
// system's answer, never as Started.
class SystemPowerOff : public PowerOff {
  public:
    void powerOff(std::function<void(const PowerOffResult&)> done) override;
    QString name() const override { return QStringLiteral("systemd-logind"); }

  private:
    void viaSystemctl(const QString& why, std::function<void(const PowerOffResult&)> done);
};

} // namespace zav
