#pragma once
// The UPS events the user chooses to be warned about on the PC (alarm-settings tab), and where the
// choice is kept in ZAV.ini: section "UPSEvents", one key per event named after its check box,
// 1 ticked and 0 not (a missing key counts as ticked). The beeper switch is "Beeper"/"BeepOnOff",
// the item of ComboBoxBeeperOnOff (0 off, 1 on; missing = on).

#include <QHash>
#include <QString>
#include <QVector>
#include <array>

namespace zav {

class ProfileFile;

struct AlarmEvent {
    int tag;          // event number of the alarm handling
    const char* name; // check box and ZAV.ini key
    std::array<const char*, 3> caption;
};

inline constexpr char kUpsEventsSection[] = "UPSEvents";
inline constexpr char kBeeperSection[] = "Beeper";
inline constexpr char kBeepOnOffKey[] = "BeepOnOff";

// The 31 events in tag order.
const QVector<AlarmEvent>& alarmEvents();
QString alarmEventCaption(const AlarmEvent& event, int language);

// Ticks by box name from ZAV.ini (every event present, default ticked).
QHash<QString, bool> loadAlarmEvents(const ProfileFile& profile);
// Writes every event; false when ZAV.ini could not be written.
bool saveAlarmEvents(ProfileFile& profile, const QHash<QString, bool>& ticks);

int loadBeeperSwitch(const ProfileFile& profile); // item 0 off, 1 on
bool saveBeeperSwitch(ProfileFile& profile, int item);

} // namespace zav
