#pragma once
// The journal as text: UTF-8 CSV (the page's export and `zavctl journal --format csv`) and JSON,
// and the times the filters accept.

#include "journal/UpsEvent.h"

#include <QByteArray>
#include <QVector>
#include <optional>

namespace zav {

// Times in the local time of the PC with its offset, to the millisecond: "2026-12-11T08:15:02.250+01:00".
QString journalTimeText(const QDateTime& time);

// Header "time,ups,event,kind,text,details", one line per event, CR LF after every line; a cell
// with a comma, a quote, a line break or leading/trailing blanks is quoted with its quotes doubled.
// With `byteOrderMark` the bytes start with EF BB BF, so spreadsheets read the Chinese texts as UTF-8.
QByteArray journalCsv(const QVector<UpsEvent>& events, bool byteOrderMark);
// A JSON array of objects with the same fields.
QByteArray journalJson(const QVector<UpsEvent>& events);

// A time given to a filter: ISO 8601 ("2026-12-11", "2026-12-11 08:00", "2026-12-11T08:00:00Z";
// local time unless a zone is given), or a span back from `now`: "30m", "2h", "7d" (s, m, h, d, w).
std::optional<QDateTime> parseJournalTime(const QString& text, const QDateTime& now);

} // namespace zav
