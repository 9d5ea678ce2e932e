#pragma once
// The item lists of the settings drop-down lists, per model, language and battery type, and the
// item each list selects when the page rebuilds it.

#include <QStringList>
#include <QVector>
#include <cstdint>

namespace zav {

enum class ItemList : uint8_t {
    None,
    // system settings
    Mode,
    UnitCount,
    UnitId,
    Backlight,
    Redundant,
    BypVoltUp,
    BypVoltDn,
    BypFreq,
    Retransfer,
    EodStart,
    AgingCurrent,
    NoYes,
    Level4,
    PowerMods,
    SoftStart,
    TransfersPerHour,
    // battery settings
    BattType,
    BattCount,
    Float,
    Boost,
    Eod1,
    Eod2,
    ChargeLimit,
    LowVoltMult,
    BattChargeCurrent,
    // rated settings
    CabinetCapacity,
    ModuleCapacity,
    Voltage,
    Frequency,
    // configuration code 2
    Dormancy,
    Rotation,
    GenChargeLevel,
    // dry contacts
    InputDry,
    OutputDry,
};

struct ListContext {
    int model = 0;
    int language = 1;
    bool lithium = false;        // ComboBoxBattType shows item 1
    bool typeSelectable = false; // ComboBoxBattType is enabled (its row exists for the model)
};

QStringList itemTexts(ItemList list, const ListContext& context);

constexpr int kKeepIndex = -2;
// The item a list selects after the page rebuilt it, or kKeepIndex for lists that only follow the
// language and keep their selection. Dry-contact presets belong to the contacts (see the rows).
int rebuildIndex(ItemList list, const ListContext& context);

// System mode (register 301): the codes behind the items of ComboBoxMode for a model, and the text
// EditModeOld shows for a code (empty for an unknown code).
QVector<int> modeCodes(int model);
QString modeText(int code, int language);

// The battery lists follow the battery type: lithium lists only where the type can be chosen.
bool isBatteryList(ItemList list);

} // namespace zav
