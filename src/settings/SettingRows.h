#pragma once
// The settings rows: one row per setting of the rated and user-service pages. A row names its
// widgets, says where its value sits in the settings registers, how the value is shown, which
// drop-down list it uses and which models have it. The pages create, place and fill their widgets
// from these rows; the Set buttons build their write lists from the same rows, and scripts name the
// settings by each row's key.

#include "link/RegisterStore.h"
#include "settings/SettingItemLists.h"

#include <QString>
#include <QVector>
#include <array>
#include <cstdint>

namespace zav {

using Texts3 = std::array<const char*, 3>; // CN, EN, CHT

enum class SettingGroup : uint8_t {
    Rate,     // GroupBoxRateSet
    SysCode1, // TabSheetSysCode1: register 329 and its boxes
    SysCode4, // TabSheetSysCode4: register 330 and its boxes
    SysInfo,  // TabSheetSysCode5: UPS mode, UPS type, company name
    Server,   // GroupBoxSeverSet
    Batt,     // GroupBoxBattSet
    CfgCode1, // GroupBoxCfgCode1: register 369 and its boxes
    CfgCode2, // GroupBoxCfgCode2
    IPDry,    // GroupBoxIPDryContact
    OPDry,    // GroupBoxOPDryContact
};

enum class NewKind : uint8_t {
    None,
    Edit,     // a line edit
    Combo,    // a drop-down list
    Clock,    // date picker, time picker and the take-time button
    BitBoxes, // one check box per bit of the word
};

// How the value of a row is shown in its Old edit and preloaded into its New control.
enum class Show : uint8_t {
    Integer,           // decimal of the field; New edit the same
    Tenths,            // FormatTenths; New edit the same
    Hundredths,        // FormatHundredths
    Serial,            // 308 "%0.4d" then 309 "%0.3d"
    ListNumber,        // Old integer; the item whose number equals the value
    ListScaled,        // Old hundredths; the item whose text x 100 equals the value
    ChargeLimit,       // 317: ListNumber on models 0-4; on 5-8 Old tenths of value / 10, ListScaled
    ListIndex,         // Old integer; item index = value
    Packed,            // item index = field value when it is below the item count; Old = item text
    Mode,              // 301: item by model, Old the mode text
    UnitCount,         // 302: item value - 1, Old integer
    Backlight,         // 373: 0, 1, 3, 5, 10, 20, 30 select items 0..6, Old the item text or the number
    BattChargeCurrent, // 386 bits 3..7: 1..30 select items 0..29, 0 selects "0.20"
    Clock,             // 424..426
    Text,              // ASCII registers
    BitWord,           // Old integer, boxes ticked by bit
    UpsMode,           // 331 bits 9..0 in Old and New
};

enum class InputFilter : uint8_t { None, Digits, Decimal, Ascii };

// Captions that depend on the model or on the settings read.
enum class CaptionRule : uint8_t {
    Fixed,
    RatedModuleCapacity,
    RatedModuleUsed,
    Retransfer,
    ChargerAlarm,
    ChargeLimitUnit,
    Eod1,
    Eod2,
    DryContact,
};

// Range checks a Set makes before anything is queued. Fixed rows carry their limits; the others
// depend on other settings or on the model.
enum class RangeRule : uint8_t {
    None,
    Fixed,         // min..max
    OutputVoltage, // 304: register 327 as read +-10
    UnitId,        // 303: at most the unit count (302) - 1
    DeepDischarge, // 381: 10..60 on model 8, 1..300 on models 5-7, free on the others
    TempComp,      // 307: at most 50 (5.0 mV/degC) except on model 8
};

// Models 0..8 from a picture such as "xxx-----x" (column k is UpsModel k, x = the row exists).
constexpr uint16_t modelMask(const char (&picture)[10]) {
    uint16_t mask = 0;
    for (int m = 0; m < 9; ++m)
        if (picture[m] == 'x') mask = uint16_t(mask | (1u << m));
    return mask;
}

struct SettingRow {
    SettingGroup group;
    Texts3 caption;
    const char* label;
    const char* oldName;
    const char* newName; // New edit or list; the date picker for the clock; nullptr for bit words
    NewKind newKind;
    Show show;
    ItemList list;
    int reg;                                // first register
    uint16_t models;                        // bit m: UpsModel m has the row
    uint8_t regCount = 1;                   // registers of the value: 2 serial number, 3 clock, 5 and 8 texts
    uint8_t shift = 0;                      // field within the word: lowest bit
    uint8_t width = 16;                     // and its width; 16 = the whole word
    uint8_t maxLength = 0;                  // New edit: characters accepted (0 = no limit)
    InputFilter filter = InputFilter::None; // New edit: keys accepted
    CaptionRule captionRule = CaptionRule::Fixed;
    int8_t preset = -1;       // dry contacts: item selected after a rebuild on models 0-3
    int8_t presetModel6 = -1; // ... and on model 6
    // Write side
    const char* key = nullptr; // stable ASCII name for scripts ("output.voltage")
    const char* unit = "";     // unit of the shown value, for scripts
    uint8_t setOrder = 0;      // position of the row's entry in its page's write list
    RangeRule range = RangeRule::None;
    uint8_t checkRank = 0; // the page's checks run in this order; the first failure is reported
    int32_t min = 0, max = 0;
    int8_t hint = -1; // row of the common message table shown while the New field has the focus
};

// Every row, in each group's display order.
const QVector<SettingRow>& settingRows();
QVector<const SettingRow*> rowsOf(SettingGroup group);
const SettingRow* rowByOldName(const QString& oldName);
const SettingRow* rowByNewName(const QString& newName);
const SettingRow* rowByKey(const QString& key);

inline bool rowExists(const SettingRow& row, int model) {
    return model >= 0 && model <= 8 && ((row.models >> model) & 1u);
}
// The field of the row in its register.
uint16_t fieldValue(const SettingRow& row, const RegisterStore& SettingData);

// The caption of a row for the model and language; the EOD captions follow bit 9 of register 330
// as read.
QString rowCaption(const SettingRow& row, int model, int language, const RegisterStore& SettingData);

// Geometry of a group: where its first row goes and how its height follows the rows.
struct GroupGeometry {
    SettingGroup group;
    const char* name; // the group box (or tab) holding the rows
    int captionLeft, captionTop;
    int oldLeft, oldTop;
    int newLeft, newTop;
    int captionWidth, oldWidth, newWidth;
    int width;        // of the group box
    bool growsHeight; // height follows the visible rows
    int fixedHeight;  // height of groups that keep theirs
};
const GroupGeometry& groupGeometry(SettingGroup group);

constexpr int kRowPitch = 32;
constexpr int kMinGroupHeight = 245;
constexpr int kControlHeight = 21;

// Bit words with one check box per bit (registers 329, 330, 369).
enum class BitWord : uint8_t { SysCode1, SysCode4, CfgCode1 };
int bitWordRegister(BitWord word);
SettingGroup bitWordGroup(BitWord word);
QString bitBoxName(BitWord word, int bit);
// Caption of the box of `bit` for the model, and whether the model shows that box.
QString bitBoxCaption(BitWord word, int bit, int model);
bool bitBoxShown(BitWord word, int bit, int model);

// Group boxes and tabs the model shows as a whole.
bool cfgCode2GroupShown(int model); // GroupBoxCfgCode2: models 0-2
bool dryContactTabShown(int model); // the dry-contact tab: models 0-3 and 6

} // namespace zav
