#pragma once
// SettingDisplay and the page initialisation as plain functions: from the settings read, the model
// and the language to what every field of the settings pages shows. The pages only copy the result
// into their widgets (found by name), so all rules are tested without a window.

#include "link/RegisterStore.h"
#include "settings/SettingRows.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>
#include <optional>

namespace zav {

struct SettingsView {
    QHash<QString, QString> texts;     // line edits: Old fields and New edits
    QHash<QString, QStringList> items; // lists whose items are replaced
    QHash<QString, int> indexes;       // list selection, -1 = nothing selected
    QHash<QString, bool> checks;       // bit boxes
    QHash<QString, QString> captions;  // row labels and bit boxes
    QHash<QString, bool> enabled;      // enabled state set by a rule rather than by the layout
    QHash<QString, bool> greyed;       // fields drawn on the grey background
    std::optional<QDateTime> clock;    // both clock pickers
};

// The lists the pages hold right now, by list name. Lists the display does not rebuild are matched
// against what they hold (a hidden dry contact keeps the list it had); missing ones are computed.
using HeldLists = QHash<QString, QStringList>;

// SettingDisplay. `pcNow` is the PC clock, used by the pickers when the UPS clock is not valid.
SettingsView settingDisplay(const RegisterStore& SettingData, int model, int language, const QDateTime& pcNow,
                            const HeldLists& held = {});

// Page initialisation (run on every language or model change): captions, lists in the language
// (rebuilt ones with their preset item), clock pickers on the PC clock, the backup-time rule for the
// battery type the page shows (`batteryType` = item of ComboBoxBattType, -1 none).
SettingsView pageInitView(int model, int language, int batteryType, const RegisterStore& SettingData,
                          const QDateTime& pcNow);

// Selection rules, shared with the tests.
int indexOfNumber(const QStringList& items, int value);      // item whose number equals value
int indexOfScaled(const QStringList& items, int hundredths); // item whose text x 100 equals value

// Store side effects of the display and of the rated page initialisation.
void clearClockFlag(RegisterStore& SettingData);     // bit 15 of 425 is not part of the hours
void resetTextRegisters(RegisterStore& SettingData); // 427..439 to two blanks each

} // namespace zav
