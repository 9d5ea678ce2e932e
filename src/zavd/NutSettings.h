#pragma once
// The UPS settings as NUT's writable variables (SET VAR): the rows `zavctl set` takes by name, with
// the same conversions, range checks and write entries (settings/SettingWrites). Edits take their
// text, lists one of their items (LIST ENUM names them), the clock 'yyyy-MM-dd hh:mm:ss' or 'now'.
// Bit words and the battery type (which rebuilds the battery lists) are left to zavctl.

#include "link/RegisterStore.h"
#include "link/WriteJobs.h"
#include "zavd/NutVariables.h"

#include <QDateTime>

namespace zav {

struct SettingRow;

// The NUT name of a settings row: NUT's nominal names for the rated values, "zav.<key>" for the rest.
QString nutSettingName(const SettingRow& row);
const SettingRow* settingRowForNut(const QString& nutName);

// The writable variables of a model with the values the pages show.
QVector<NutVar> nutSettingVariables(const RegisterStore& SettingData, int model, const QDateTime& pcNow);

struct NutWrite {
    QVector<WriteEntry> entries;
    QString error; // NUT error name, a colon and the reason; empty when the entries are good
};
// SET VAR name value as the page's Set would build it; nothing is sent here.
NutWrite nutSettingWrite(const QString& nutName, const QString& value, const RegisterStore& SettingData, int model,
                         const QDateTime& pcNow);

} // namespace zav
