#pragma once
// The record files: a whole grid as comma-separated lines, one a row (empty rows too), CR LF after
// every line. A cell that holds a space, a control character, a double quote or a comma is put in
// double quotes with its quotes doubled; the only cell of a one-column row is written as "" when
// empty. The bytes are GBK (plain ASCII for English texts), without a byte-order mark.

#include "foundation/TextGrid.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

namespace zav {

QString csvCell(const QString& cell);
QString csvLine(const TextGrid& grid, int row);
QByteArray gridCsvBytes(const TextGrid& grid);

// Text to GBK; a character GBK does not have becomes '?'.
QByteArray toGbk(const QString& text);

// The chosen file name with the extension ".csv": one that is not exactly ".csv" is replaced
// ("log.CSV" -> "log.csv", "log.txt" -> "log.csv"), a missing one added ("log" -> "log.csv").
QString csvFileName(const QString& chosen);

// "HisLog2026-12-10_13-05-09.csv" from the prefix and the PC's time.
QString defaultRecordFileName(const QString& prefix, const QDateTime& now);

// Writes the grid to `path`, replacing any file there. The file appears whole or not at all (it is
// written beside the target and renamed). Returns an empty string on success, else the message for
// the user: Cannot create file "<path>". <the system's reason>
QString saveGridCsv(const QString& path, const TextGrid& grid);

// The history table's text filter: which rows stay shown. The title row always does; with an empty
// filter every row does; otherwise a row whose cells contain the text (case ignored) and that holds
// a record. The grid itself (and so a saved file) keeps every row.
QVector<bool> rowsMatching(const TextGrid& grid, const QString& filter);

} // namespace zav
