#pragma once
// Restoring a snapshot. Port closed: the model from the model box, then the file by its extension
// into the stores (offline inspection). Port open: the settings of a workbook copied onto the
// connected UPS, through the same conversions and range checks as the Set buttons, so a file from
// another unit can never put a value on the wire that the pages would refuse.

#include "link/WriteJobs.h"
#include "settings/FieldDataWorkbook.h"

#include <QDateTime>

namespace zav {

// The kind a file is written as, by the name asked for (zavctl snapshot --out): ".xls"/".xlsx" a
// workbook, ".csv" text, anything else neither. Files are read by their content instead.
FieldFileKind fieldFileKind(const QString& path);

// The model box: item k (1-9) is UpsModel k-1, item 0 "Auto"; -1 nothing selected (an error).
struct ModelChoice {
    bool ok = false;
    bool automatic = false;
    int model = 0;
};
ModelChoice modelFromBox(int item);

// Offline load of a workbook or text file (told apart by content) into `into`; unchanged on a fatal
// message.
FieldImportResult loadFieldFile(const QString& path, FieldSnapshot& into);

// The settings transfer as planned before anything is sent.
struct TransferPlan {
    QString refusal;           // non-empty: nothing is written; the message for the user
    QStringList badRows;       // rows skipped by the number check (their registers stay as read)
    QStringList notCopied;     // registers that differ but no page writes (left as the UPS holds them)
    QVector<WriteEntry> entries; // 180 entries, 301..480, for the write sequence
    int changes = 0;           // entries that differ from the settings read
    bool ok() const { return refusal.isEmpty(); }
};

// `liveType` is live register 78; `settingData` the settings read from the connected UPS.
TransferPlan planSettingsTransfer(const FieldDataWorkbook::Transfer& file, uint16_t liveType,
                                  const RegisterStore& settingData, int model, int language, const QDateTime& pcNow);

// The S-code trigger mask (eight words, no control): copied by the transfer as plain words.
inline constexpr int kTriggerMaskFirst = 361, kTriggerMaskLast = 368;

// One register a transfer changes: what the UPS holds now and what the file brings.
struct SettingChange {
    uint16_t reg = 0;
    QString caption;
    uint16_t now = 0, next = 0;
    bool operator==(const SettingChange&) const = default;
};
// The entries of a plan that differ from the settings read, in register order, with the captions
// of the workbook's settings sheet (what the user confirms before anything is sent).
QVector<SettingChange> transferChanges(const QVector<WriteEntry>& entries, const RegisterStore& settingData, int model,
                                       int language);
// One change a line: "324 <caption>: 20 -> 30".
QString changesText(const QVector<SettingChange>& changes);

// The user's message for a finished plan or transfer (rows named one a line, at most a screenful).
QString namedRows(const QString& head, const QStringList& rows);

} // namespace zav
