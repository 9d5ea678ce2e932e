#include "UpsPlant.h"

#include "Records.h"

#include <algorithm>
#include <cmath>

namespace zav::sim {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kLoadPf = 0.90;     // output power factor of the simulated load
constexpr double kEfficiency = 0.95; // rectifier + inverter
constexpr double kInputPf = 0.99;
constexpr double kNominalV = 220.0;                   // phase voltage of utility and bypass
constexpr double kPhaseShare[3] = {1.00, 1.03, 0.97}; // a slightly unbalanced load

uint16_t word(double v) {
    return uint16_t(std::clamp(std::lround(v), 0L, 65535L));
}
uint16_t signedWord(double v) {
    return uint16_t(int16_t(std::clamp(std::lround(v), -32768L, 32767L)));
}

// Fault row item -> first history code of the same fault.
constexpr int kFaultItemCodes[34] = {0,   47,  49,  51,  53,  55,  57,  59,  69,  74,  81,  97,
                                     99,  101, 103, 105, 107, 109, 111, 113, 115, 117, 119, 121,
                                     123, 125, 128, 130, 132, 144, 146, 87,  179, 194};
} // namespace

int historyCodeForFaultItem(int item) {
    return (item >= 1 && item <= 33) ? kFaultItemCodes[item] : -1;
}

UpsPlant::UpsPlant(const UpsProfile& profile, const SettingsBank& settings, PlantListener& listener)
    : profile_(profile), settings_(settings), listener_(listener), modelCode_(profile.modelCode) {
    for (int u = 1; u <= std::min(profile.defaultModules, kMaxUnits); ++u)
        units_[size_t(u - 1)].present = true;
    for (int u = 0; u < kMaxUnits; ++u) {
        units_[size_t(u)].runSeconds = 3600.0 * (8000 + 37 * u);
        units_[size_t(u)].capacitorSeconds = 3600.0 * (8000 + 37 * u);
    }
    lastSource_ = supplySource();
    lastBattery_ = batteryMode();
    gain_.fill(1.0);
    for (int reg = kFirstCalibration; reg <= kLastCalibration; ++reg)
        seenCalibration_[size_t(reg - kFirstCalibration)] = settings_.value(reg);
}

// ---- time ----

void UpsPlant::advanceTo(qint64 ms) {
    while (nowMs_ < ms) {
        const qint64 dt = std::min<qint64>(ms - nowMs_, 1000);
        nowMs_ += dt;
        step(dt);
    }
}

void UpsPlant::step(qint64 dtMs) {
    takeCalibrations();
    const double s = double(dtMs) / 1000.0;
    if (switchOffAtMs_ >= 0 && nowMs_ >= switchOffAtMs_) {
        switchOffAtMs_ = -1;
        switchedOff_ = true;
        if (utilityOk_) restoreAtMs_ = nowMs_ + restoreDelayMs_;
    }
    if (restoreAtMs_ >= 0 && nowMs_ >= restoreAtMs_) {
        restoreAtMs_ = -1;
        switchedOff_ = false;
    }
    if ((selfTest_ == TestStatus::Running || maintenance_ == TestStatus::Running) && nowMs_ >= testEndMs_) {
        if (selfTest_ == TestStatus::Running) {
            selfTest_ = capacity_ >= 30.0 ? TestStatus::Ok : TestStatus::Fail;
            log(selfTest_ == TestStatus::Ok ? event::BatteryTestOk : event::BatteryTestFail, ActionSet);
        } else {
            maintenance_ = TestStatus::Ok;
            log(event::BatteryMaintenanceOk, ActionSet);
            autoBoost_ = true; // recharge what the maintenance discharge took
        }
    }

    const BatteryMode mode = batteryMode();
    if (mode == BatteryMode::Discharge) {
        capacity_ -= s * 100.0 / (60.0 * runtimeMinutes());
        if (capacity_ <= 0) {
            capacity_ = 0;
            eod_ = true;
        }
    } else if (mode == BatteryMode::Float || mode == BatteryMode::Boost) {
        capacity_ = std::min(100.0, capacity_ + s * (mode == BatteryMode::Boost ? 1.0 / 20 : 1.0 / 60));
        if (capacity_ >= 100.0 && autoBoost_) autoBoost_ = false;
    }
    for (PowerUnit& u : units_) {
        if (!u.present) continue;
        u.runSeconds += s;
        u.capacitorSeconds += s;
    }
    evaluate();
}

// ---- derived state ----

double UpsPlant::unitVa() const {
    return double(profile_.ratedVa) / std::max(1, profile_.defaultModules);
}

int UpsPlant::unitsWithInverterOn() const {
    return int(std::count_if(units_.begin(), units_.end(),
                             [](const PowerUnit& u) { return u.present && u.inverterOn && !u.fault(2); }));
}

int UpsPlant::unitsWithRectifierOn() const {
    return int(std::count_if(units_.begin(), units_.end(),
                             [](const PowerUnit& u) { return u.present && u.rectifierOn && !u.fault(1); }));
}

int UpsPlant::unitsPresent() const {
    return int(std::count_if(units_.begin(), units_.end(), [](const PowerUnit& u) { return u.present; }));
}

uint32_t UpsPlant::moduleMask() const {
    if (!isModular(profile_)) return 0;
    uint32_t mask = 0;
    for (int i = 0; i < kMaxUnits; ++i)
        if (units_[size_t(i)].present) mask |= 1u << i;
    return mask;
}

bool UpsPlant::rectifierRunning() const {
    return utilityOk_ && !epo_ && unitsWithRectifierOn() > 0;
}

bool UpsPlant::inverterAvailable() const {
    if (epo_ || switchedOff_ || eod_ || unitsWithInverterOn() == 0) return false;
    return rectifierRunning() || (batteryConnected_ && capacity_ > 0);
}

double UpsPlant::loadVa() const {
    return loadPercent_ / 100.0 * profile_.ratedVa;
}

int UpsPlant::supplySource() const {
    if (epo_ || switchedOff_) return 0;
    if (manualBypass_ && bypassOk_) return 2;
    // Inverters that cannot carry the load hand it to the bypass.
    const bool carries = loadVa() <= 1.25 * unitsWithInverterOn() * unitVa();
    if (inverterAvailable() && carries) return 1;
    return bypassOk_ ? 2 : 0;
}

BatteryMode UpsPlant::batteryMode() const {
    if (!batteryConnected_ || eod_) return BatteryMode::NotWorking;
    const bool testing = selfTest_ == TestStatus::Running || maintenance_ == TestStatus::Running;
    if (supplySource() == 1 && (!rectifierRunning() || testing)) return BatteryMode::Discharge;
    if (!rectifierRunning()) return BatteryMode::NotWorking;
    return (manualBoost_ || autoBoost_) ? BatteryMode::Boost : BatteryMode::Float;
}

bool UpsPlant::batteryLow() const {
    return batteryConnected_ && batteryMode() == BatteryMode::Discharge && capacity_ < kLowCapacity;
}

void UpsPlant::evaluate() {
    const int source = supplySource();
    if (source != lastSource_) {
        static constexpr int codes[3] = {event::NoLoad, event::LoadOnUps, event::LoadOnBypass};
        log(codes[source], ActionSet);
        lastSource_ = source;
    }
    const BatteryMode mode = batteryMode();
    if (mode != lastBattery_) {
        if (lastBattery_ == BatteryMode::Discharge) log(event::BatteryDischarge, ActionClear);
        if (mode == BatteryMode::Discharge) log(event::BatteryDischarge, ActionSet);
        if (mode == BatteryMode::Float) log(event::BatteryFloat, ActionSet);
        if (mode == BatteryMode::Boost) log(event::BatteryBoost, ActionSet);
        if (mode == BatteryMode::NotWorking && eod_) log(event::BatteryEod, ActionSet);
        lastBattery_ = mode;
    }
    const bool low = batteryLow();
    if (low != lastLow_) log(event::BatteryVoltLow, low ? ActionSet : ActionClear);
    lastLow_ = low;
    const bool overload = source != 0 && loadPercent_ > 100.0;
    if (overload != lastOverload_) log(event::OutputOverload, overload ? ActionSet : ActionClear);
    lastOverload_ = overload;
    const bool onLess = loadVa() > unitsWithInverterOn() * unitVa();
    if (onLess != lastOnLess_) log(event::ModuleOnLess, onLess ? ActionSet : ActionClear);
    lastOnLess_ = onLess;
}

double UpsPlant::runtimeMinutes() const {
    // Stored energy of the strings (12 V blocks) over the load, with some margin for ageing.
    const double wh = 12.0 * profile_.blocksPerString * profile_.batteryStrings * profile_.batteryAh * 0.8;
    const double w = std::max(outputActiveW(), 0.03 * profile_.ratedVa) / kEfficiency;
    return std::max(1.0, wh / w * 60.0);
}

double UpsPlant::outputActiveW() const {
    return supplySource() == 0 ? 0.0 : loadVa() * kLoadPf;
}

double UpsPlant::batteryStringVolts() const {
    if (!batteryConnected_) return 0;
    const double floatV = settings_.value(313) / 100.0;
    const double boostV = settings_.value(314) / 100.0;
    const double eodV = settings_.value(316) / 100.0;
    double cell;
    switch (batteryMode()) {
    case BatteryMode::Float:
        cell = floatV;
        break;
    case BatteryMode::Boost:
        cell = boostV;
        break;
    case BatteryMode::Discharge:
        cell = eodV + (2.10 - eodV) * capacity_ / 100.0 - 0.05 * std::min(loadPercent_, 150.0) / 100.0;
        break;
    default:
        cell = 1.95 + 0.17 * capacity_ / 100.0;
        break; // resting
    }
    return cell * 6 * profile_.blocksPerString;
}

double UpsPlant::batteryCurrentA() const {
    const double v = batteryStringVolts();
    if (v <= 0) return 0;
    const double ah = profile_.batteryAh;
    switch (batteryMode()) {
    case BatteryMode::Discharge:
        return -(outputActiveW() / kEfficiency) / (profile_.batteryStrings * v);
    case BatteryMode::Boost:
        return 0.1 * ah * (1.0 - capacity_ / 100.0) + 0.01 * ah;
    case BatteryMode::Float:
        return 0.005 * ah;
    default:
        return 0;
    }
}

double UpsPlant::wobble(double periodS, double amplitude, int channel) const {
    // Smooth and deterministic: the same time gives the same value, whatever the step sizes.
    const double t = double(nowMs_) / 1000.0;
    return amplitude * std::sin(2 * kPi * t / periodS + 0.7 * channel);
}

// ---- inputs ----

void UpsPlant::setUtility(bool ok) {
    if (ok == utilityOk_) return;
    utilityOk_ = ok;
    log(event::UtilityAbnormal, ok ? ActionClear : ActionSet);
    if (!ok) restoreAtMs_ = -1; // switched off, it now waits for the mains
    if (ok) {
        // Mains back: leave the end of discharge and a switch-off, recharge what was taken.
        eod_ = false;
        switchedOff_ = false;
        if (capacity_ < 95.0) autoBoost_ = true;
    }
    evaluate();
}

void UpsPlant::setBypass(bool ok) {
    if (ok == bypassOk_) return;
    bypassOk_ = ok;
    log(event::BypassVoltAbnormal, ok ? ActionClear : ActionSet);
    if (!ok && manualBypass_) manualBypass_ = false;
    evaluate();
}

void UpsPlant::setLoadPercent(double percent) {
    loadPercent_ = std::clamp(percent, 0.0, 200.0);
    evaluate();
}

void UpsPlant::setCapacity(double percent) {
    capacity_ = std::clamp(percent, 0.0, 100.0);
    if (capacity_ <= 0 && batteryMode() == BatteryMode::Discharge) eod_ = true;
    evaluate();
}

void UpsPlant::setBatteryConnected(bool connected) {
    if (connected == batteryConnected_) return;
    batteryConnected_ = connected;
    log(connected ? event::BatteryConnected : event::BatteryNotConnected, ActionSet);
    evaluate();
}

void UpsPlant::setEpo(bool active) {
    if (active == epo_) return;
    epo_ = active;
    log(event::Epo, active ? ActionSet : ActionClear);
    evaluate();
}

bool UpsPlant::setUnitPresent(int number, bool present) {
    const int slotCount = isModular(profile_) ? profile_.moduleSlots : 10;
    if (number < 1 || number > slotCount) return false;
    PowerUnit& u = units_[size_t(number - 1)];
    if (u.present == present) return true;
    u = PowerUnit{};
    u.present = present;
    log(present ? event::ModuleInserted : event::ModuleExit, ActionSet, number);
    evaluate();
    return true;
}

bool UpsPlant::setUnitFault(int number, int item, bool on) {
    if (number < 1 || number > kMaxUnits || item < 1 || item > 33) return false;
    PowerUnit& u = units_[size_t(number - 1)];
    if (!u.present) return false;
    uint16_t& w = u.faults[size_t((item - 1) / 16)];
    const uint16_t bit = uint16_t(1u << ((item - 1) % 16));
    if (bool(w & bit) == on) return true;
    w = on ? uint16_t(w | bit) : uint16_t(w & ~bit);
    log(historyCodeForFaultItem(item), on ? ActionSet : ActionClear, number);
    evaluate();
    return true;
}

void UpsPlant::switchOn() {
    switchedOff_ = false;
    switchOffAtMs_ = -1;
    restoreAtMs_ = -1;
    if (utilityOk_) eod_ = false;
    evaluate();
}

// ---- commands ----

ModbusError UpsPlant::command(uint16_t reg, uint16_t value) {
    switch (reg) {
    case 351: // fault clear: latched module faults go, present conditions come back by themselves
        if (value != 0x00FF) return ModbusError::IllegalValue;
        for (PowerUnit& u : units_)
            u.faults = {};
        log(event::FaultClear, ActionSet);
        break;
    case 352:
        switch (value) {
        case 0x00FF:
            listener_.clearLogs(true, false);
            log(event::LogClear, ActionSet);
            break;
        case 0xFFFF:
            listener_.clearLogs(true, true);
            log(event::LogClear, ActionSet);
            break;
        case 0xFF00:
            log(event::BatteryHistoryReset, ActionSet);
            break;
        case 0x0011:
            log(event::BypassFanTimeReset, ActionSet);
            break;
        case 0x0033:
            log(event::DustFilterExpired, ActionClear);
            break;
        default:
            return ModbusError::IllegalValue;
        }
        break;
    case 353: // alarm silence: no status word shows it
        if (value != 0x00FF && value != 0) return ModbusError::IllegalValue;
        muted_ = value == 0x00FF;
        break;
    case 354:
        if (value == 0x00FF) {
            if (!bypassOk_) return ModbusError::DeviceFailure;
            if (!manualBypass_) log(event::ManualTransferBypass, ActionSet);
            manualBypass_ = true;
        } else if (value == 0) {
            if (manualBypass_) log(event::EscManualBypass, ActionSet);
            manualBypass_ = false;
        } else {
            return ModbusError::IllegalValue;
        }
        break;
    case 355: {
        const ModbusError e = batteryCommand(value);
        if (e != ModbusError::None) return e;
        break;
    }
    case 356: {
        const ModbusError e = moduleCommand(value >> 8, value & 0xFF);
        if (e != ModbusError::None) return e;
        break;
    }
    case 357:
        break; // start of a logo upload: the picture exchange itself is not simulated
    case 358:
        switchOffAtMs_ = value == 0 ? -1 : nowMs_ + qint64(value) * 1000;
        break;
    default:
        return ModbusError::IllegalAddress;
    }
    evaluate();
    return ModbusError::None;
}

ModbusError UpsPlant::batteryCommand(uint16_t value) {
    const bool testing = selfTest_ == TestStatus::Running || maintenance_ == TestStatus::Running;
    switch (value) {
    case 0x000F:
    case 0x00F0: {
        // A test needs the battery, the mains and the inverter feeding the load.
        if (testing || !batteryConnected_ || !rectifierRunning() || supplySource() != 1)
            return ModbusError::DeviceFailure;
        testEndMs_ = nowMs_ + (value == 0x000F ? kSelfTestMs : kMaintenanceMs);
        if (value == 0x000F) {
            selfTest_ = TestStatus::Running;
            log(event::BatteryTest, ActionSet);
        } else {
            maintenance_ = TestStatus::Running;
            log(event::BatteryMaintenance, ActionSet);
        }
        return ModbusError::None;
    }
    case 0x0F00:
        if (!batteryConnected_) return ModbusError::DeviceFailure;
        manualBoost_ = true;
        log(event::ManualBoost, ActionSet);
        return ModbusError::None;
    case 0xF000:
        manualBoost_ = false;
        autoBoost_ = false;
        log(event::ManualFloat, ActionSet);
        return ModbusError::None;
    case 0x0000:
        if (selfTest_ == TestStatus::Running) selfTest_ = TestStatus::None;
        if (maintenance_ == TestStatus::Running) maintenance_ = TestStatus::None;
        log(event::StopTest, ActionSet);
        return ModbusError::None;
    default:
        return ModbusError::IllegalValue;
    }
}

ModbusError UpsPlant::moduleCommand(int module, int action) {
    if (action > 8 && action != 127) return ModbusError::IllegalValue;
    int first = module, last = module;
    if (module == 127) {
        first = 1;
        last = kMaxUnits;
    } else if (module < 1 || module > kMaxUnits || !units_[size_t(module - 1)].present) {
        return ModbusError::IllegalValue;
    }
    for (int n = first; n <= last; ++n) {
        PowerUnit& u = units_[size_t(n - 1)];
        if (!u.present) continue;
        switch (action) {
        case 0:
            u.rectifierOn = false;
            break;
        case 1:
            u.rectifierOn = true;
            break;
        case 2:
            if (u.inverterOn) log(event::ManualShutdown, ActionSet, n);
            u.inverterOn = false;
            u.faults[0] |= 1u << 8; // row item 9, "Manual Shutdown"
            break;
        case 3:
            if (!u.inverterOn) log(event::ManualShutdown, ActionClear, n);
            u.inverterOn = true;
            u.faults[0] &= uint16_t(~(1u << 8));
            break;
        case 4:
            u.runSeconds = 0;
            log(event::FanTimeReset, ActionSet, n);
            break;
        case 5:
            u.capacitorSeconds = 0;
            log(event::CapacitorTimeReset, ActionSet, n);
            break;
        case 127:
            u.runSeconds = 0;
            u.capacitorSeconds = 0;
            break;
        default:
            break; // the latched fault waveform is not simulated
        }
    }
    // One set of calibrated channels stands for the modules: a calibration clear drops it.
    if (action == 7) resetCalibrations(345, 349); // rectifier side: input and battery
    if (action == 8) resetCalibrations(336, 344); // inverter side: inverter and bypass
    return ModbusError::None;
}

// ---- calibration ----

namespace {
// The measurement register a calibration register corrects; 0 for the inverter DC offsets, which
// no register shows.
int calibratedRegister(int reg) {
    if (reg >= 336 && reg <= 341) return 72 + (reg - 336); // module inverter and bypass voltages
    if (reg >= 345 && reg <= 347) return 13 + (reg - 345); // input voltages
    if (reg == 348 || reg == 349) return 50 + (reg - 348); // battery strings
    if (reg >= 401 && reg <= 403) return 25 + (reg - 401); // cabinet output voltages
    if (reg >= 404 && reg <= 406) return 1 + (reg - 404);  // cabinet bypass voltages
    return 0;
}
} // namespace

double UpsPlant::calibrationGain(int reg) const {
    if (reg < kFirstCalibration || reg > kLastCalibration) return 1.0;
    return gain_[size_t(reg - kFirstCalibration)];
}

uint16_t UpsPlant::calibrated(int reg, double volts) const {
    return word(volts * calibrationGain(reg) * 10);
}

double UpsPlant::measuredPhysical(int reg) const {
    const int shown = calibratedRegister(reg);
    if (shown == 0) return 0;
    return measurements()[shown] / 10.0 / calibrationGain(reg);
}

void UpsPlant::takeCalibrations() {
    // The settings bank stores a written true value; the UPS then sets the channel's gain so that
    // it reads that value from now on. A channel that measures nothing cannot be corrected.
    for (int reg = kFirstCalibration; reg <= kLastCalibration; ++reg) {
        uint16_t& seen = seenCalibration_[size_t(reg - kFirstCalibration)];
        const uint16_t written = settings_.value(reg);
        if (written == seen) continue;
        seen = written;
        const double physical = measuredPhysical(reg);
        if (physical > 1.0) gain_[size_t(reg - kFirstCalibration)] = written / 10.0 / physical;
    }
}

void UpsPlant::resetCalibrations(int first, int last) {
    for (int reg = first; reg <= last; ++reg)
        gain_[size_t(reg - kFirstCalibration)] = 1.0;
}

// ---- registers ----

RegisterStore UpsPlant::measurements() const {
    RegisterStore r(1, 80);
    const int outPh = profile_.outputPhases, inPh = profile_.inputPhases;
    const int source = supplySource();
    const double bypassF = bypassOk_ ? 50.0 + wobble(41, 0.03, 1) : 0.0;
    double bypassV[3] = {}, outV[3] = {};
    for (int ph = 0; ph < outPh; ++ph) {
        bypassV[ph] = bypassOk_ ? kNominalV + 0.6 * ph + wobble(37 + ph, 1.5, ph) : 0.0;
        outV[ph] = source == 1   ? settings_.value(304) + wobble(53, 0.3, ph + 3)
                   : source == 2 ? bypassV[ph]
                                 : 0.0;
    }
    const double outF = source == 1 ? (bypassOk_ ? bypassF : 50.0) : source == 2 ? bypassF : 0.0;
    const double load = loadPercent_ + wobble(29, 0.8, 7);
    const double phaseVa = load / 100.0 * profile_.ratedVa / outPh;
    const double pf = kLoadPf + wobble(67, 0.005, 8);
    for (int ph = 0; ph < outPh; ++ph) {
        const double s = source == 0 ? 0.0 : phaseVa * kPhaseShare[ph];
        const double current = outV[ph] > 1 ? s / outV[ph] : 0.0;
        r.set(25 + ph, calibrated(401 + ph, outV[ph]));
        r.set(28 + ph, word(current * 10));
        r.set(31 + ph, word(outF * 100));
        r.set(34 + ph, word(source == 0 ? 0 : pf * 100));
        r.set(37 + ph, word(s / 1000.0 * profile_.powerDivisor));
        r.set(40 + ph, word(s * pf / 1000.0 * profile_.powerDivisor));
        r.set(43 + ph, word(s * std::sqrt(1 - pf * pf) / 1000.0 * profile_.powerDivisor));
        r.set(46 + ph, word(s / (double(profile_.ratedVa) / outPh) * 1000));
        r.set(1 + ph, calibrated(404 + ph, bypassV[ph]));
        r.set(4 + ph, word(source == 2 ? current * 10 : 0));
        r.set(7 + ph, word(bypassF * 100));
        r.set(10 + ph, word(source == 2 ? pf * 100 : 0));
    }
    // Mains input: what the inverter draws plus what the charger puts into the battery.
    const bool rect = rectifierRunning();
    const double battW = std::max(0.0, batteryCurrentA()) * batteryStringVolts() * profile_.batteryStrings;
    const bool inverterOnMains = source == 1 && batteryMode() != BatteryMode::Discharge;
    const double inputW = rect ? (inverterOnMains ? outputActiveW() / kEfficiency : 0.0) + battW : 0.0;
    for (int ph = 0; ph < inPh; ++ph) {
        const double v = utilityOk_ ? kNominalV - 0.8 * ph + wobble(43 + ph, 1.8, ph + 9) : 0.0;
        r.set(13 + ph, calibrated(345 + ph, v));
        r.set(16 + ph, word(rect ? inputW / inPh / (v * kInputPf) * 10 : 0));
        r.set(19 + ph, word(utilityOk_ ? (50.0 + wobble(47, 0.02, 2)) * 100 : 0));
        r.set(22 + ph, word(rect ? kInputPf * 100 : 0));
    }
    r.set(49, word((25.0 + wobble(300, 0.6, 11)) * 10));
    const double stringV = batteryStringVolts();
    const double current = batteryCurrentA();
    r.set(50, calibrated(348, stringV));
    r.set(52, signedWord(current * 10));
    if (profile_.batteryStrings == 2) {
        r.set(51, calibrated(349, stringV - 0.4));
        r.set(53, signedWord(current * 10 * 0.98));
    }
    r.set(54, word((25.5 + wobble(600, 0.4, 12) + (batteryMode() == BatteryMode::Boost ? 1.5 : 0)) * 10));
    r.set(55, word(std::min(9999.0, runtimeMinutes() * capacity_ / 100.0 * 10)));
    r.set(56, word(capacity_ * 10));
    r.set(68, 2); // monitor firmware 02 . 105 . 012
    r.set(69, 105);
    r.set(70, 12);
    for (int u = 1; u <= kMaxUnits; ++u) {
        if (!units_[size_t(u - 1)].present) continue;
        // Models 0 and 3 say which rows may be calibrated now (bit 0 inverter, 1 bypass, 2 input,
        // 3 battery); the others give the unit whose voltages the calibration page shows.
        const int rows = (source == 1 ? 1 : 0) | (bypassOk_ ? 2 : 0) | (utilityOk_ ? 4 : 0) |
                         (batteryConnected_ ? 8 : 0);
        const bool rowFlags = profile_.upsModel == 0 || profile_.upsModel == 3;
        r.set(71, uint16_t(rowFlags ? rows : u));
        for (int ph = 0; ph < outPh; ++ph) {
            r.set(72 + ph, calibrated(336 + ph, source == 1 ? settings_.value(304) : 0));
            r.set(75 + ph, calibrated(339 + ph, bypassV[ph]));
        }
        break;
    }
    r.set(78, uint16_t(modelCode_));
    r.set(80, 502);
    return r;
}

RegisterStore UpsPlant::status() const {
    RegisterStore r(81, 240);
    const int source = supplySource();
    r.set(81, uint16_t(source));
    r.set(82, uint16_t(batteryMode()));
    r.set(83, batteryConnected_ ? 1 : 0);
    r.set(85, epo_ ? 1 : 0);
    r.set(86, lastOnLess_ ? 1 : 0);
    r.set(88, utilityOk_ ? 0 : 1);
    r.set(90, bypassOk_ ? 0 : 1);
    r.set(92, source == 2 && loadPercent_ > 100.0 ? 1 : 0);
    r.set(97, eod_ ? 1 : 0);
    r.set(98, selfTest_ == TestStatus::Running ? 1 : 0);
    r.set(99, uint16_t(selfTest_));
    r.set(100, maintenance_ == TestStatus::Running ? 1 : 0);
    r.set(101, uint16_t(maintenance_));
    r.set(105, eod_ ? 1 : 0);
    r.set(106, manualBypass_ && source == 2 ? 1 : 0);
    r.set(107, batteryLow() ? 1 : 0);
    r.set(109, rectifierRunning() ? 1 : 0);
    const int redundant = settings_.value(374);
    r.set(112,
          isModular(profile_) && redundant > 0 && loadVa() > (unitsWithInverterOn() - redundant) * unitVa()
              ? 1
              : 0);
    const uint32_t mask = moduleMask();
    r.set(119, uint16_t(mask >> 16));
    r.set(120, uint16_t(mask & 0xFFFF));
    // Power units 1 to 10: present, then fault flags of row items 1 to 9.
    for (int u = 1; u <= 10; ++u) {
        const PowerUnit& unit = units_[size_t(u - 1)];
        const int base = 121 + 12 * (u - 1);
        r.set(base, unit.present ? 1 : 0);
        if (!unit.present) continue;
        for (int k = 1; k <= 9; ++k)
            r.set(base + k, unit.fault(k) ? 1 : 0);
        r.set(base + 5, unit.fault(5) || (loadPercent_ > 100.0 && source == 1) ? 1 : 0);
    }
    return r;
}

RegisterStore UpsPlant::moduleStatus() const {
    RegisterStore r(3071, 3190);
    if (!isModular(profile_)) return r;
    for (int m = 1; m <= kMaxUnits; ++m) {
        const PowerUnit& u = units_[size_t(m - 1)];
        if (!u.present) continue;
        const int base = 3071 + 4 * (m - 1);
        for (int w = 0; w < 4; ++w)
            r.set(base + w, u.faults[size_t(w)]);
        if (loadPercent_ > 100.0 && supplySource() == 1) r.set(base, uint16_t(u.faults[0] | 1u << 4));
    }
    return r;
}

RegisterStore UpsPlant::moduleData(int module) const {
    RegisterStore r(2000, 2152);
    r.set(2000, uint16_t(module));
    if (module < 1 || module > kMaxUnits || !units_[size_t(module - 1)].present) return r;
    const PowerUnit& u = units_[size_t(module - 1)];
    const RegisterStore m = measurements();
    const int source = supplySource();
    const int rects = std::max(1, unitsWithRectifierOn());
    const int invs = std::max(1, unitsWithInverterOn());
    const bool rectOn = u.rectifierOn && rectifierRunning();
    const bool invOn = u.inverterOn && source == 1;
    const int phases = 3; // a power module always has three legs
    for (int ph = 0; ph < phases; ++ph) {
        const int inPh = std::min(ph, profile_.inputPhases - 1);
        const int outPh = std::min(ph, profile_.outputPhases - 1);
        r.set(2001 + ph, m[13 + inPh]);
        r.set(2004 + ph, rectOn ? uint16_t(m[16 + inPh] / rects) : 0);
        r.set(2007 + ph, m[19 + inPh]);
        r.set(2010 + ph, rectOn ? m[22 + inPh] : 0);
        r.set(2023 + ph, invOn ? m[25 + outPh] : 0);
        r.set(2026 + ph, invOn ? uint16_t(m[28 + outPh] / invs) : 0);
        r.set(2029 + ph, m[31 + outPh]);
        r.set(2032 + ph, invOn ? m[34 + outPh] : 0);
        r.set(2035 + ph, m[25 + outPh]);
        r.set(2038 + ph, m[1 + outPh]);
        r.set(2041 + ph, invOn ? uint16_t(m[37 + outPh] / invs) : 0);
        r.set(2044 + ph, invOn ? uint16_t(m[40 + outPh] / invs) : 0);
        r.set(2047 + ph, invOn ? uint16_t(m[43 + outPh] / invs) : 0);
        r.set(2050 + ph, invOn ? m[46 + outPh] : 0);
        r.set(2053 + ph, m[37 + outPh]); // the parallel system: the whole cabinet
        r.set(2056 + ph, m[40 + outPh]);
        r.set(2059 + ph, m[43 + outPh]);
        r.set(2062 + ph, m[46 + outPh]);
    }
    const bool busUp = rectOn || (batteryConnected_ && capacity_ > 0);
    r.set(2013, busUp ? word(3800 + wobble(19, 6, 13)) : 0);
    r.set(2014, busUp ? word(3800 + wobble(19, 6, 14)) : 0);
    r.set(2015, m[50]);
    r.set(2016, profile_.batteryStrings == 2 ? m[51] : m[50]);
    const int16_t battI = int16_t(m[52]);
    const bool charging = rectOn && battI > 0;
    r.set(2017, charging ? m[50] : 0);
    r.set(2018, charging ? (profile_.batteryStrings == 2 ? m[51] : m[50]) : 0);
    r.set(2019, charging ? uint16_t(battI / rects) : 0);
    r.set(2020, charging ? uint16_t(battI / rects) : 0);
    r.set(2021, battI < 0 ? uint16_t(-battI / invs) : 0);
    r.set(2022, battI < 0 ? uint16_t(-battI / invs) : 0);
    r.set(2073, word(u.runSeconds / 3600));
    r.set(2074, word(u.capacitorSeconds / 3600));
    r.set(2078, uint16_t((utilityOk_ ? 1 : 0) | (batteryConnected_ ? 2 : 0)));
    r.set(2085, u.inverterOn ? 1 : 0);
    r.set(2086, inverterAvailable() ? 1 : 0);
    const double load = loadPercent_ / 100.0;
    r.set(2097, word((24.0 + wobble(500, 0.5, 15)) * 10));
    r.set(2098, word((24.0 + 15 * load + wobble(500, 0.5, 16)) * 10));
    for (int k = 0; k < 3; ++k) {
        r.set(2099 + k, word((rectOn ? 35.0 + 25 * load : 26.0) * 10 + k * 4));
        r.set(2102 + k, word((invOn ? 38.0 + 30 * load : 26.0) * 10 + k * 4));
    }
    r.set(2108, word((30.0 + 10 * load) * 10));
    const uint16_t ids[8] = {0x5245, 1, 2, 17, 0x4956, 1, 2, 9}; // "RE" and "IV", series, versions
    for (int k = 0; k < 8; ++k)
        r.set(2145 + k, ids[k]);
    return r;
}

std::array<uint16_t, 32> UpsPlant::scodeWords() const {
    std::array<uint16_t, 32> w{};
    const int source = supplySource();
    const bool rect = rectifierRunning();
    static constexpr int kSourceDigit[3] = {0, 1, 2};
    setSCodeDigit(w, 0, 0, kSourceDigit[source]);
    setSCodeDigit(w, 0, 1, rect ? 2 : 0);
    setSCodeDigit(w, 0, 2, inverterAvailable() ? 2 : 0);
    setSCodeDigit(w, 0, 3, bypassOk_ ? 1 : 0);
    static constexpr int kBatteryDigit[4] = {8, 2, 1, 4}; // not working, float, boost, discharging
    setSCodeDigit(w, 0, 4, batteryConnected_ ? kBatteryDigit[int(batteryMode())] : 0);
    for (int d = 5; d <= 7; ++d)
        setSCodeDigit(w, 0, d, 1); // input, bypass and output breakers closed
    for (int d = 9; d <= 12; ++d)
        setSCodeDigit(w, 0, d, batteryConnected_ ? 1 : 0);
    setSCodeDigit(w, 0, 14, source == 1 ? 2 : inverterAvailable() ? 1 : 0);
    setSCodeDigit(w, 1, 1, lastOnLess_ ? 1 : 0);
    setSCodeDigit(w, 1, 6, epo_ ? 1 : 0);
    setSCodeDigit(w, 1, 7, 1);
    setSCodeDigit(w, 2, 1, utilityOk_ ? 0 : 1);
    setSCodeDigit(w, 2, 4, bypassOk_ ? 0 : 1);
    const bool low = batteryLow();
    setSCodeDigit(w, 2, 5, low ? 1 : 0);
    setSCodeDigit(w, 2, 6, low && profile_.batteryStrings == 2 ? 1 : 0);
    for (int d = 9; d < 9 + profile_.inputPhases; ++d)
        setSCodeDigit(w, 2, d, utilityOk_ ? 0 : 1);
    setSCodeDigit(w, 5, 0, low ? 1 : 0);
    setSCodeDigit(w, 5, 1, low && profile_.batteryStrings == 2 ? 1 : 0);
    setSCodeDigit(w, 5, 2, eod_ ? 1 : 0);
    setSCodeDigit(w, 5, 6, bypassOk_ ? 0 : 1);
    setSCodeDigit(w, 6, 10, loadPercent_ > 100.0 ? 1 : 0);
    static constexpr int kTestDigit[4] = {0, 1, 2, 0};
    setSCodeDigit(w, 7, 2, kTestDigit[int(selfTest_)]);
    setSCodeDigit(w, 7, 3, kTestDigit[int(maintenance_)]);
    return w;
}

} // namespace zav::sim
