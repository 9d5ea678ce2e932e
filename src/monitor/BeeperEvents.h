#pragma once
// The alarm events the PC watches in the live status words, and one TimerBeeper tick as a plain
// function: which events are present, which of them have just started (a warning box each) and what
// the beeper is to play.

#include "foundation/LanguageText.h"
#include "monitor/LiveStores.h"
#include "monitor/ToneTypes.h"

#include <QVector>
#include <array>
#include <optional>

namespace zav {

enum AlarmClass { AlarmMinor = 1, AlarmSerious = 2 }; // chirp, continuous tone

struct BeeperEvent {
    int number;
    const char* checkBox; // also its key in ZAV.ini, section "UPSEvents"
    int alarmClass;
    int reg;      // for events 22 to 30: the register of power unit 1
    Texts3 texts; // of the warning box
};
constexpr int kAlarmEventCount = 31;
constexpr int kFirstUnitEvent = 22; // events 22 to 30 exist once per power unit
constexpr int kPowerUnitCount = 10;
constexpr int kPowerUnitStride = 12; // registers from one unit to the next
const std::array<BeeperEvent, kAlarmEventCount>& beeperEvents();

// The register of `event` for power unit `unit` (1 to 10; ignored for events 0 to 21).
int alarmRegister(int event, int unit);
// Event 0 (battery not connected) is present when its word is 0, every other event when it is 1.
bool alarmPresent(int event, uint16_t value);
// The box text: "n#" before the event text on models 0 and 1, after it on model 2, left out on the
// other models; unit 0 means no unit label.
QString alarmWarningText(int event, int unit, int upsModel, int language);

// The user's choices: the ticked event boxes and the beeper switch (ComboBoxBeeperOnOff item 1).
struct AlarmChoices {
    std::array<bool, kAlarmEventCount> ticked;
    bool beeperOn = true;
    AlarmChoices() { ticked.fill(true); }
};

struct AlarmWarning {
    int event;
    int unit; // 0 for events 0 to 21
    QString text;
    bool operator==(const AlarmWarning&) const = default;
};

struct AlarmTick {
    int flags = 0;                    // AlarmClass bits of the events present
    QVector<AlarmWarning> warnings;   // events that have just started, in table order
    std::optional<ToneCommand> sound; // what to queue on the beeper; none while the link is down
};

// One tick of TimerBeeper. Updates the remembered words (live.PreviousStatus) of the ticked events.
AlarmTick evaluateAlarms(LiveStores& live, bool linkOk, const AlarmChoices& choices, int upsModel,
                         int language, int beatMs = kDefaultBeatMs);

} // namespace zav
