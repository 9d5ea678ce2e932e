#pragma once
// How a record page shows its grid: which records the filter keeps and in which order the table
// lists them. The grid itself is never reordered: row n stays record n, an S-code record stays its
// nine rows, and a saved file keeps the download order whatever the table shows. A sort orders
// records, never single rows, and records without text stay at the end in their own order.

#include "foundation/TextGrid.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace zav {

// The rows above the first record (the history's title row) and the rows one record takes.
struct RecordLayout {
    int headRows = 0;
    int rowsPerRecord = 1;
};
inline constexpr RecordLayout kHistoryLayout{1, 1};
inline constexpr RecordLayout kSCodeLayout{0, 9};

// The first row of the record that row `row` belongs to (a head row is its own).
int recordFirstRow(RecordLayout layout, int row);
// A record holds something: its first row has a non-empty cell.
bool recordHasText(const TextGrid& grid, int firstRow);

// Which rows the table shows for a text filter: head rows always; with an empty filter every row;
// otherwise every row of each record whose rows contain the text (case ignored).
QVector<bool> recordsMatching(const TextGrid& grid, RecordLayout layout, const QString& filter);

// The nine lines of the S-code record that row `row` belongs to, or nothing when that record has
// no S-code title ("03 SCode 01# ...").
QStringList scodeRecordLines(const TextGrid& grid, int row);

enum class SortDirection { None, Ascending, Descending };
struct RecordSort {
    int key = -1; // the page's sort key; no key with None
    SortDirection direction = SortDirection::None;
    bool operator==(const RecordSort&) const = default;
};
// A title click: a new key sorts ascending, the same key again descending, a third time the
// download order.
RecordSort nextSort(RecordSort current, int key);

// The text a record is sorted by for key `key` (history: the cell of column `key`; S-code: key 0
// the record's number, key 1 its time stamp, both read from the title row).
QString historySortText(const TextGrid& grid, int firstRow, int key);
QString scodeSortText(const TextGrid& grid, int firstRow, int key);
inline constexpr int kSCodeSortKeys = 2;
using SortTextOf = QString (*)(const TextGrid& grid, int firstRow, int key);

// Two sort texts: as numbers when both are whole numbers, else as text with case ignored. Time
// stamps (calendar or zero-padded running hours) order correctly as text.
int compareSortTexts(const QString& a, const QString& b);

// The grid rows in the order the table lists them: head rows first, then the records with text
// in the sort's order (equal keys keep the download order), then the records without text.
QVector<int> recordRowOrder(const TextGrid& grid, RecordLayout layout, RecordSort sort, SortTextOf textOf);

} // namespace zav
