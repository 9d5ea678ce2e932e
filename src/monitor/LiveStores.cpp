#include "monitor/LiveStores.h"

namespace zav {

bool LiveStores::updateModulePresence() {
    // Bits 14 and 15 of register 119 are not module bits; they are cleared in the store.
    LiveStatus.set(119, LiveStatus[119] & 0x3FFF);
    const uint32_t high = LiveStatus[119], low = LiveStatus[120];
    if (high == 0 && low == 0) {
        modules.mask = 0;
        modules.count = 0;
        modules.previousMask = 0;
        return false;
    }
    modules.mask = high << 16 | low;
    bool rebuilt = false;
    if (modules.mask != modules.previousMask) {
        modules.previousMask = modules.mask;
        modules.list.clear();
        for (int bit = 0; bit < 30; ++bit)
            if (modules.mask & (1u << bit)) modules.list.append(bit + 1);
        modules.count = int(modules.list.size());
        rebuilt = true;
    }
    if (modules.selected == 0 || !modules.contains(modules.selected))
        modules.selected = modules.list.isEmpty() ? 0 : modules.list.first();
    return rebuilt;
}

} // namespace zav
