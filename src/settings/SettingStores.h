#pragma once
// Settings registers 301-480: what was read from the UPS and what is to be written.

#include "link/RegisterStore.h"

namespace zav {

struct SettingStores {
    RegisterStore SettingData{301, 480}; // values last read from the UPS
    RegisterStore SettingNew{301, 480};  // values queued for writing
};

} // namespace zav
