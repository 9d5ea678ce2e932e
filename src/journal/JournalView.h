#pragma once
// What the journal page shows, decided without a widget: the query its filter stands for, the
// table rows and status line for the events found, the page's texts in the three languages, and
// the CSV export of everything the filter selects.

#include "journal/EventJournal.h"

#include <QStringList>
#include <QVector>

namespace zav {

enum class JournalRange : int { Hour, Day, Week, Month, All, Custom };
inline constexpr int kJournalRangeCount = 6;

struct JournalFilter {
    int kindItem = 0; // 0 every kind, k the kind eventKinds()[k - 1]
    JournalRange range = JournalRange::Week;
    QDateTime from, to; // the custom range
    QString search;
};

// Rows the page shows at most: the newest; the status line says when there are more.
inline constexpr int kJournalPageRows = 2000;

JournalQuery journalQuery(const JournalFilter& filter, const QDateTime& now);
QStringList journalKindItems(int language);  // the kind box: "All kinds", then each kind
QStringList journalRangeItems(int language); // the range box, in JournalRange's order

struct JournalTable {
    QStringList headers;          // time, kind, event
    QVector<QStringList> rows;    // newest first
    QString status;               // how many, or why there is no journal
};
// `found` comes from a query with limit kJournalPageRows + 1, so one more than shown means "more".
JournalTable journalTable(const QVector<UpsEvent>& found, int language, const QString& error);

// The page's captions by key: "title", "kind", "range", "from", "to", "search", "refresh",
// "export", "exported", "exportFailed", "noJournal".
QString journalPageText(const char* key, int language);

// Writes every event the query selects (no row limit) as UTF-8 CSV with a byte-order mark; the
// file appears whole or not at all. Empty on success, else why not.
QString exportJournalCsv(const EventJournal& journal, JournalQuery query, const QString& path);

} // namespace zav
