#pragma once
// The Set buttons of the settings pages as plain functions: from what the New controls hold to the
// (register, value) entries of the write sequence, with the conversions and range checks of each
// row. The pages read their widgets into a FormState; zavctl builds the same FormState from the
// settings read and the values typed on the command line, so both write exactly alike.

#include "link/RegisterStore.h"
#include "link/WriteJobs.h"
#include "settings/SettingRows.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QStringList>

namespace zav {

// The New controls of the settings pages as a Set sees them, by widget name.
struct FormState {
    QHash<QString, QString> texts;     // edits: their text; lists: the text of the selected item
    QHash<QString, int> indexes;       // lists: the selected item, -1 = nothing selected
    QHash<QString, bool> checks;       // bit boxes
    QHash<QString, QStringList> items; // lists: their items (filled by formFromDisplay)
    QSet<QString> disabled;            // New controls that are disabled (hidden rows, rules)
    QDateTime clock;                   // date and time pickers

    bool enabled(const char* name) const { return name && !disabled.contains(QLatin1String(name)); }
    QString text(const char* name) const { return texts.value(QLatin1String(name)); }
    int index(const char* name) const { return indexes.value(QLatin1String(name), -1); }
};

// The Set buttons.
enum class SetPage : uint8_t {
    Rated,       // ButtonRateSettingSend: GroupBoxRateSet, system codes, UPS information
    CfgCode,     // ButtonCfgCodeSet: registers 369 and 370
    System,      // ButtonSeverSend: GroupBoxSeverSet
    Battery,     // ButtonBattSetSend: GroupBoxBattSet
    DryContacts, // ButtonDryContactSet: registers 377..380
};
SetPage setPageOf(SettingGroup group);
const char* setButtonName(SetPage page);

enum class SetFailure : uint8_t {
    None,
    NoData,       // an entry field holds no number: "No data or wrong data!"
    NotAnInteger, // a rated-page number is not a number: the conversion message
    OutOfRange,   // a range check failed: "Check the value, please!"
    BadValue,     // a value the row cannot take at all (scripts only: text, bit of another model)
};

struct SetResult {
    QVector<WriteEntry> entries;
    SetFailure failure = SetFailure::None;
    const SettingRow* row = nullptr; // the row that failed
    QString text;                    // its text
    QString reason;                  // BadValue: what the control takes ("takes at most 2 characters")
    // A failed range check still leaves the page's values in SettingNew (nothing is sent).
    bool storeNew() const { return failure == SetFailure::None || failure == SetFailure::OutOfRange; }
    bool ok() const { return failure == SetFailure::None; }
};

// One Set. `only` (scripts) limits the entries and the checks to the registers of those rows; the
// checks that tie two rows together (unit ID and unit count) still see both.
SetResult buildSet(SetPage page, const FormState& form, int model, const RegisterStore& SettingData,
                   const QSet<const SettingRow*>& only = {});

// The allowed values of a row with a range check, for messages ("1 ~ 50"); empty when free.
struct Limits {
    bool bounded = false;
    int min = 0, max = 0; // in the field's units (tenths for 305, 306, 307)
};
Limits rowLimits(const SettingRow& row, int model, const RegisterStore& SettingData, const FormState& form);
// A limit as the user types it ("0.5" for 5 tenths).
QString limitText(const SettingRow& row, int value);

// The message of a failed Set: the common message row and, on a second line, the setting and
// what it accepts.
QString setFailureText(const SetResult& result, int model, int language, const RegisterStore& SettingData,
                       const FormState& form);

// Entries of a Set that the write sequence did not confirm (given up after their attempts, or never
// handled because the link was reset), and of those the ones whose register does not hold the
// value after the read-back.
QVector<WriteEntry> unconfirmedEntries(const QVector<WriteEntry>& queued,
                                       const QVector<WriteResult>& results);
QVector<WriteEntry> entriesNotHeld(const QVector<WriteEntry>& entries, const RegisterStore& SettingData);
// The rows behind entries (for packed words only the fields that differ from the UPS's word).
QVector<const SettingRow*> rowsOfEntries(const QVector<WriteEntry>& entries, int model,
                                         const RegisterStore& SettingData);
// The message naming the settings that were not written, by their captions.
QString notWrittenText(const QVector<WriteEntry>& entries, int model, int language,
                       const RegisterStore& SettingData);

// The result line beside a page's Set buttons: the Set has started, its read-back found every value
// in the UPS (or named the settings it did not take), or the link was reset before the read-back.
enum class SetStage : uint8_t { Started, ReadBack, LinkReset };
QString setResultLine(SetStage stage, int queued, const QVector<WriteEntry>& missing, int model, int language,
                      const RegisterStore& SettingData);

// EditOutVClick / EditOutVExit: the hint with the allowed output voltage, and the typed value
// clamped into it (a text that is not a number becomes register 304 as read).
QString outputVoltageHint(int language, const RegisterStore& SettingData);
QString clampOutputVoltage(const QString& text, const RegisterStore& SettingData);
// The hint of a New field while it has the focus (empty for fields without one).
QString fieldHint(const SettingRow& row, int model, int language, const RegisterStore& SettingData);
// LabelcfgCode: the test-mode note while ComboBoxRotationPrt shows "test mode".
QString rotationHint(int rotationIndex, int language);

// Text packing of registers 427.. and 432..: blanks, then the text, two characters a register, high
// byte first.
QVector<uint16_t> packText(const QString& text, int registers);

// The settings pages as the display fills them, as a FormState: what a page holds right after a
// download. Scripts change a few controls in it and run buildSet like a Set button.
FormState formFromDisplay(const RegisterStore& SettingData, int model, int language, const QDateTime& pcNow);

// A value typed for one setting outside the pages (zavctl set, NUT SET VAR), put into its control as
// a user would: an edit field with the field's own input rules, a list item matched by its text or
// by number ("2.3" is the item "2.30"), the clock as "yyyy-MM-dd hh:mm:ss" or "now" (= `now`).
// Empty on success, else why the control cannot hold it. Bit boxes and rows without a control are
// the caller's to handle (an error text is returned for them).
QString typeIntoControl(const SettingRow& row, const QString& value, FormState& form, const QDateTime& now);
// The rules of a row's edit field (characters, length, the serial number's 7 digits): empty when
// `value` passes, else what the field takes. Every writer runs them: typeIntoControl for a typed
// value, buildSet for every value it sends (so a workbook or text file cannot bypass them).
QString editRefusal(const SettingRow& row, const QString& value);
// The item of a list a typed value names, or -1.
int itemMatching(const QStringList& items, const QString& value);

} // namespace zav
