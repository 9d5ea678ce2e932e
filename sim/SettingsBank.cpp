#include "SettingsBank.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace zav::sim {

namespace {
struct Range {
    int first, last; // registers
    int min, max;    // accepted values (unsigned, or signed when min < 0)
};

// Values the UPS refuses: outside these ranges a write gets an exception and is not stored.
constexpr Range kRanges[] = {
    {302, 302, 1, 9},                          // units in the system
    {303, 303, 0, 8},                          // unit ID
    {305, 305, 1, 50},                         // frequency slew rate, 0.1 Hz/s
    {306, 306, 5, 50},                         // synchronisation window, 0.1 Hz
    {307, 307, 0, 50},                         // temperature compensation, 0.1 mV/degC
    {308, 308, 0, 9999},                       // serial number, first part
    {309, 309, 0, 999},                        // serial number, second part
    {312, 312, 1, 30000},                      // battery Ah
    {313, 316, 100, 300},                      // cell voltages, 0.01 V
    {318, 318, 1, 48},                         // boost time limit, h
    {319, 320, 720, 30000},                    // auto boost and auto discharge periods, h
    {336, 341, 1000, 3000},                    // calibration voltages, 0.1 V
    {342, 344, -300, 300},                     // calibration offsets, 0.01 V (signed)
    {345, 349, 1000, 3000},  {374, 374, 0, 9}, // redundant modules
    {401, 406, 1000, 3000},                    // cabinet calibration
    {407, 410, 0, 4000},                       // transformer calibration
    {421, 423, 1000, 60000},                   // maintenance periods, h
    {440, 440, 0, 60},                         // logo show time, s
};

bool inRange(const Range& r, uint16_t value) {
    const int v = r.min < 0 ? int(int16_t(value)) : int(value);
    return v >= r.min && v <= r.max;
}

bool oneOf(uint16_t v, std::initializer_list<int> allowed) {
    return std::find(allowed.begin(), allowed.end(), int(v)) != allowed.end();
}
} // namespace

SettingsBank::SettingsBank(const UpsProfile& p, UpsClock& clock) : profile_(p), clock_(clock) {
    const int moduleVa = p.defaultModules > 0 ? p.ratedVa / p.defaultModules : p.ratedVa;
    const int capacityScale = p.capacitiesInVa ? 1 : 1000; // VA or kVA
    const struct {
        int reg;
        int value;
    } defaults[] = {
        {301, 1}, // single
        {302, 1},
        {303, 0},
        {304, 220},
        {305, 5},
        {306, 20},
        {307, 30},
        {308, 2417},
        {309, 86},
        {311, p.blocksPerString * p.batteryStrings},
        {312, p.batteryAh},
        {313, 225},
        {314, 235},
        {315, 165},
        {316, 175},
        {317, p.capacitiesInVa ? 1000 : 10}, // hundredths of a percent on the small towers
        {318, 12},
        {319, 4320},
        {320, 2160},
        {321, p.ratedVa / capacityScale},
        {322, p.ratedVa / capacityScale},
        {323, moduleVa / capacityScale},
        {324, moduleVa / capacityScale},
        {325, 220}, // the phase voltage, also on three-phase input
        {326, 50},
        {327, 220},
        {328, 50},
        {329, p.systemCode1},
        {330, p.systemCode4},
        {331, 0},
        {332, 105},
        {333, 300},
        {334, 0},
        {369, 0},
        {370, 0},
        {373, 0},
        {374, isModular(p) ? 1 : 0},
        {375, 0},
        {376, 0},
        {377, 0x0201},
        {378, 0x0403},
        {379, 0x0201},
        {380, 0x0403},
        {381, 30},
        {382, 24},
        {383, 5},
        {384, 180}, // days
        {385, 45 << 8 | 40}, // ambient 45 degC : battery 40 degC
        {386, 20 << 3},      // lead-acid, charge limit 0.20 C
        {387, 30},
        {388, 0},
        {389, 0},
        {421, 40000},
        {422, 40000},
        {423, 40000},
        {440, 5},
        {441, isModular(p) ? p.defaultModules : 0},
        {442, 90},
    };
    for (const auto& d : defaults)
        words_.set(d.reg, uint16_t(d.value));
    for (int reg = 361; reg <= 368; ++reg)
        words_.set(reg, 0xFFFF); // S-code on every change
    for (int reg = 336; reg <= 341; ++reg)
        words_.set(reg, 2200); // calibration references
    for (int reg = 345; reg <= 349; ++reg)
        words_.set(reg, 2200);
    for (int reg = 401; reg <= 406; ++reg)
        words_.set(reg, 2200);
    setText(427, 5, p.typeText);
    setText(432, 8, "ZAV POWER");
}

void SettingsBank::setText(int firstReg, int registers, const char* text) {
    const int len = int(std::strlen(text));
    for (int i = 0; i < registers; ++i) {
        const int a = 2 * i < len ? uint8_t(text[2 * i]) : ' ';
        const int b = 2 * i + 1 < len ? uint8_t(text[2 * i + 1]) : ' ';
        words_.set(firstReg + i, uint16_t(a << 8 | b));
    }
}

uint16_t SettingsBank::value(int reg) const {
    if (reg >= 424 && reg <= 426) return clock_.registerWord(reg);
    return words_.value(reg);
}

ModbusError SettingsBank::check(int reg, uint16_t v) const {
    if (reg < kFirstSetting || reg > kLastSetting) return ModbusError::IllegalAddress;
    if (reg >= 351 && reg <= 358) return ModbusError::IllegalAddress; // commands go through 0x68
    for (const Range& r : kRanges)
        if (reg >= r.first && reg <= r.last)
            return inRange(r, v) ? ModbusError::None : ModbusError::IllegalValue;
    switch (reg) {
    case 301: {
        const bool ok = profile_.upsModel == 8 ? oneOf(v, {1, 4})
                        : (profile_.upsModel == 5 || profile_.upsModel == 7)
                            ? oneOf(v, {1, 2, 4})
                            : oneOf(v, {1, 2, 4, 6, 8, 10, 16});
        return ok ? ModbusError::None : ModbusError::IllegalValue;
    }
    case 304: { // within the rated output voltage +-10 V
        const int rated = words_.value(327);
        return (int(v) >= rated - 10 && int(v) <= rated + 10) ? ModbusError::None : ModbusError::IllegalValue;
    }
    case 373:
        return oneOf(v, {0, 1, 3, 5, 10, 20, 30}) ? ModbusError::None : ModbusError::IllegalValue;
    case 385: { // alarm points, degC, one per byte
        const int low = v & 0xFF, high = v >> 8;
        return (low >= 25 && low <= 70 && high >= 25 && high <= 70) ? ModbusError::None
                                                                    : ModbusError::IllegalValue;
    }
    default:
        return ModbusError::None;
    }
}

ModbusError SettingsBank::write(int reg, uint16_t v) {
    if (reg >= 424 && reg <= 426) {
        return clock_.writeRegister(reg, v) ? ModbusError::None : ModbusError::IllegalValue;
    }
    if (profile_.capacitiesInVa && reg >= 321 && reg <= 324) {
        // These models report the capacities in VA but take a written capacity in kVA.
        if (uint32_t(v) * 1000u > 0xFFFFu) return ModbusError::IllegalValue;
        v = uint16_t(v * 1000u);
    }
    const ModbusError e = check(reg, v);
    if (e == ModbusError::None) words_.set(reg, v);
    return e;
}

} // namespace zav::sim
