#pragma once
// Restoring a snapshot. Port closed: the model from the model box, then the file by its extension
// into the stores (offline inspection). Port open: the settings of a workbook copied onto the
// connected UPS, through the same conversions and range checks as the Set buttons, so a file from
// another unit can never put a value on the wire that the pages would refuse.

#include "link/WriteJobs.h"
#include "settings/FieldDataWorkbook.h"

#include <QDateTime>

namespace zav {

enum class FieldFileKind { Workbook, Text, Other };
// ".xls"/".xlsx" (exact) a workbook, ".csv" text, anything else neither.
FieldFileKind fieldFileKind(const QString& path);

// The model box: item k (1-9) is UpsModel k-1, item 0 "Auto"; -1 nothing selected (an error).
struct ModelChoice {
    bool ok = false;
    bool automatic = false;
    int model = 0;
};
ModelChoice modelFromBox(int item);

// Offline load of a workbook or text file into `into`; unchanged on a fatal message.
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

// The user's message for a finished plan or transfer (rows named one a line, at most a screenful).
QString namedRows(const QString& head, const QStringList& rows);

} // namespace zav
