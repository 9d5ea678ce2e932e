#include "settings/AlarmSelection.h"

#include "settings/AlarmEvents.h"

namespace zav {

void AlarmSelection::load(const ProfileFile& profile) {
    ticks_ = loadAlarmEvents(profile);
    beeperOn_ = loadBeeperSwitch(profile) == 1;
}

bool AlarmSelection::saveEvents(ProfileFile& profile) const { return saveAlarmEvents(profile, ticks_); }

} // namespace zav
