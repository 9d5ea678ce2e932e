#pragma once
// The four live stores the poll cycle fills, the previous-value copy of the status words (for the
// alarm beeper's change detection) and the module presence derived from registers 119/120.

#include "link/RegisterStore.h"

#include <QVector>

namespace zav {

struct ModulePresence {
    uint32_t mask = 0;         // bit i set: module i + 1 present
    uint32_t previousMask = 0; // mask for which `list` was last built
    int count = 0;             // ModuleCount
    QVector<int> list;         // ModuleList, ascending
    int selected = 0;          // SelectedModule

    bool contains(int module) const { return list.contains(module); }
};

struct LiveStores {
    RegisterStore LiveData{1, 80};
    RegisterStore LiveStatus{81, 240};
    RegisterStore PreviousStatus{81, 240};
    RegisterStore ModuleStatus{3071, 3190};
    RegisterStore ModuleData{2000, 2152};
    ModulePresence modules;

    // ClearLiveStores: every store and the module presence to 0.
    void clear() {
        LiveData.clear();
        LiveStatus.clear();
        PreviousStatus.clear();
        ModuleStatus.clear();
        ModuleData.clear();
        modules = ModulePresence{};
    }

    // Stores a status block whose start is below 3000 and updates the module presence.
    // Returns true when the module list was rebuilt (the module selector refills its items).
    bool updateModulePresence();
};

} // namespace zav
