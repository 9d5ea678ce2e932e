#pragma once
// The UPS's settings registers 301-480: defaults of a model family, the checks the UPS makes before
// it stores a written value, and the clock registers 424-426, which read the running clock.

#include "UpsClock.h"
#include "UpsProfile.h"
#include "link/RegisterStore.h"

#include <cstdint>

namespace zav::sim {

// Modbus exception codes the UPS answers with.
enum class ModbusError : uint8_t {
    None = 0,
    IllegalFunction = 1,
    IllegalAddress = 2,
    IllegalValue = 3,
    DeviceFailure = 4, // the UPS cannot do it now (no bypass for a transfer, a test already running)
    Busy = 6,
};

constexpr int kFirstSetting = 301;
constexpr int kLastSetting = 480;

class SettingsBank {
  public:
    SettingsBank(const UpsProfile& profile, UpsClock& clock);

    uint16_t value(int reg) const;
    // Stores one register as function 0x10 does. Registers outside the settings, the control
    // command registers and values the UPS cannot take are refused and nothing changes. Models
    // that report the capacities 321-324 in VA take them written in kVA.
    ModbusError write(int reg, uint16_t value);
    // Sets a register without any check (start-up values, tests).
    void set(int reg, uint16_t value) { words_.set(reg, value); }

  private:
    ModbusError check(int reg, uint16_t value) const;
    void setText(int firstReg, int registers, const char* text);

    const UpsProfile& profile_;
    UpsClock& clock_;
    RegisterStore words_{kFirstSetting, kLastSetting};
};

} // namespace zav::sim
