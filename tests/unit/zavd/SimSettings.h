#pragma once
// The settings store as the virtual UPS of a model fills it, for the zavd tests that plan against it.

#include "VirtualUps.h"
#include "settings/SettingStores.h"

namespace zav::test {

inline RegisterStore simSettings(int model) {
    sim::SimConfig config;
    config.upsModel = model;
    sim::VirtualUps ups(config);
    RegisterStore data = SettingStores{}.SettingData;
    for (int reg = data.first(); reg <= data.last(); ++reg) data.set(reg, ups.settings().value(reg));
    return data;
}

} // namespace zav::test
