#pragma once
// The physical side of the virtual UPS: utility and bypass supply, the power units (modules of a
// modular cabinet, or the single power unit of a tower), the load, the battery and its tests, and the
// control commands. It computes every live register from that state on demand. Time is given from
// outside (advanceTo), so the model runs the same in tests and on a pseudo-terminal.

#include "SettingsBank.h"
#include "UpsProfile.h"
#include "link/RegisterStore.h"

#include <QtGlobal>
#include <array>
#include <cstdint>

namespace zav::sim {

constexpr int kMaxUnits = 30;

struct PowerUnit {
    bool present = false;
    bool rectifierOn = true;
    bool inverterOn = true;
    std::array<uint16_t, 4> faults{}; // module status words; row item j is bit (j - 1)
    double runSeconds = 0;            // fan and capacitor running time since their last reset
    double capacitorSeconds = 0;

    bool fault(int item) const { return (faults[size_t((item - 1) / 16)] >> ((item - 1) % 16)) & 1; }
};

enum class BatteryMode { NotWorking = 0, Float = 1, Boost = 2, Discharge = 3 };
enum class TestStatus { None = 0, Ok = 1, Fail = 2, Running = 3 }; // status words 99 and 101

// Where the plant reports what a real UPS writes into its history log.
class PlantListener {
  public:
    virtual ~PlantListener() = default;
    virtual void historyEvent(int code, int action, int unit) = 0;
    virtual void clearLogs(bool history, bool scodes) = 0;
};

// Fault row items of the module status words that have a history event of their own.
int historyCodeForFaultItem(int item);

class UpsPlant {
  public:
    static constexpr qint64 kSelfTestMs = 10'000;
    static constexpr qint64 kMaintenanceMs = 30'000;
    static constexpr double kLowCapacity = 20.0; // percent: "battery voltage low" below this

    UpsPlant(const UpsProfile& profile, const SettingsBank& settings, PlantListener& listener);

    void advanceTo(qint64 ms);
    qint64 now() const { return nowMs_; }

    // Conditions set by scenarios and tests.
    void setUtility(bool ok);
    void setBypass(bool ok);
    void setLoadPercent(double percent);
    void setCapacity(double percent);
    void setBatteryConnected(bool connected);
    void setEpo(bool active);
    bool setUnitPresent(int unit, bool present); // false: no such slot
    bool setUnitFault(int unit, int item, bool on);
    void switchOn(); // restart after a switch-off or an end of discharge
    // A switch-off (register 358) that falls due while the mains are present: the output comes back
    // on by itself after this delay, as UPSes commonly restart once their shutdown delay has run out
    // with the mains there. Switched off on battery, it comes back when the mains return.
    void setRestoreDelay(qint64 ms) { restoreDelayMs_ = ms; }
    void setModelCode(int code) { modelCode_ = code; }

    // A control command (function 0x68); None when carried out.
    ModbusError command(uint16_t reg, uint16_t value);

    // Register blocks, computed from the state at the current time.
    RegisterStore measurements() const;          // 1-80
    RegisterStore status() const;                // 81-240
    RegisterStore moduleStatus() const;          // 3071-3190
    RegisterStore moduleData(int module) const;  // 2000-2152
    std::array<uint16_t, 32> scodeWords() const; // S0, S1, A0-A5

    // State, for tests and the program's log.
    int supplySource() const; // status 81: 0 none, 1 inverter, 2 bypass
    BatteryMode batteryMode() const;
    double capacity() const { return capacity_; }
    double loadPercent() const { return loadPercent_; }
    bool muted() const { return muted_; }
    bool utilityOk() const { return utilityOk_; }
    bool bypassOk() const { return bypassOk_; }
    bool switchedOff() const { return switchedOff_; }
    qint64 switchOffAt() const { return switchOffAtMs_; } // -1 none pending
    qint64 restoreAt() const { return restoreAtMs_; }     // -1 none due
    const PowerUnit& unit(int number) const { return units_[size_t(number - 1)]; }
    uint32_t moduleMask() const;
    int unitsPresent() const;
    uint32_t runningSeconds() const { return runningBaseSeconds_ + uint32_t(nowMs_ / 1000); }
    // Gain the UPS applies to a calibrated channel (1 until a true value was written to it).
    double calibrationGain(int calibrationRegister) const;

  private:
    void step(qint64 dtMs);
    void evaluate(); // derives flags and logs the edges
    bool rectifierRunning() const;
    bool inverterAvailable() const;
    bool batteryLow() const;
    double unitVa() const;
    double loadVa() const;
    int unitsWithInverterOn() const;
    int unitsWithRectifierOn() const;
    double outputActiveW() const;
    double batteryStringVolts() const;
    double batteryCurrentA() const; // per string; negative while discharging
    double runtimeMinutes() const;  // at the present load, full battery
    double wobble(double periodS, double amplitude, int channel) const;
    ModbusError moduleCommand(int module, int action);
    ModbusError batteryCommand(uint16_t value);
    void log(int code, int action, int unit = 0) { listener_.historyEvent(code, action, unit); }
    void takeCalibrations();                                  // true values written since the last step
    double measuredPhysical(int calibrationRegister) const; // what the channel measures before its gain
    uint16_t calibrated(int calibrationRegister, double volts) const; // tenths of a volt, gain applied
    void resetCalibrations(int first, int last);

    const UpsProfile& profile_;
    const SettingsBank& settings_;
    PlantListener& listener_;
    std::array<PowerUnit, kMaxUnits> units_{};

    qint64 nowMs_ = 0;
    uint32_t runningBaseSeconds_ = 3'600'000; // about 41 days of running time before the start
    int modelCode_;
    bool utilityOk_ = true;
    bool bypassOk_ = true;
    bool batteryConnected_ = true;
    bool epo_ = false;
    bool muted_ = false;
    bool manualBypass_ = false;
    bool manualBoost_ = false;
    bool autoBoost_ = false;
    bool eod_ = false;
    bool switchedOff_ = false;
    qint64 switchOffAtMs_ = -1;
    qint64 restoreAtMs_ = -1;
    qint64 restoreDelayMs_ = 10'000;
    double loadPercent_ = 45.0;
    double capacity_ = 100.0;
    // Calibration: a true value written to register 336..349 or 401..406 sets that channel's gain so
    // that the channel reads the true value from then on. Index: register - kFirstCalibration.
    static constexpr int kFirstCalibration = 336;
    static constexpr int kLastCalibration = 406;
    std::array<double, kLastCalibration - kFirstCalibration + 1> gain_{};
    std::array<uint16_t, kLastCalibration - kFirstCalibration + 1> seenCalibration_{};
    TestStatus selfTest_ = TestStatus::None;
    TestStatus maintenance_ = TestStatus::None;
    qint64 testEndMs_ = 0;

    // Last evaluated values, for edge detection.
    int lastSource_ = 1;
    BatteryMode lastBattery_ = BatteryMode::Float;
    bool lastLow_ = false;
    bool lastOverload_ = false;
    bool lastOnLess_ = false;
};

} // namespace zav::sim
