#include "records/RecordView.h"

#include <algorithm>

namespace zav {

int recordFirstRow(RecordLayout layout, int row) {
    if (row < layout.headRows) return row;
    return layout.headRows + (row - layout.headRows) / layout.rowsPerRecord * layout.rowsPerRecord;
}

bool recordHasText(const TextGrid& grid, int firstRow) {
    for (int c = 0; c < grid.columns(); ++c)
        if (!grid.at(c, firstRow).isEmpty()) return true;
    return false;
}

QVector<bool> recordsMatching(const TextGrid& grid, RecordLayout layout, const QString& filter) {
    const QString wanted = filter.trimmed();
    QVector<bool> shown(grid.rows(), wanted.isEmpty());
    for (int r = 0; r < layout.headRows && r < grid.rows(); ++r) shown[r] = true;
    if (wanted.isEmpty()) return shown;
    for (int first = layout.headRows; first < grid.rows(); first += layout.rowsPerRecord) {
        const int end = std::min(first + layout.rowsPerRecord, grid.rows());
        bool match = false;
        for (int r = first; r < end && !match; ++r)
            for (int c = 0; c < grid.columns() && !match; ++c)
                match = grid.at(c, r).contains(wanted, Qt::CaseInsensitive);
        for (int r = first; r < end; ++r) shown[r] = match;
    }
    return shown;
}

QStringList scodeRecordLines(const TextGrid& grid, int row) {
    if (row < 0 || row >= grid.rows()) return {};
    const int first = recordFirstRow(kSCodeLayout, row);
    const QString title = grid.at(0, first).toUpper();
    if (!title.contains(QLatin1String("SCODE")) || !title.contains('#')) return {};
    QStringList lines;
    for (int r = first; r < first + kSCodeLayout.rowsPerRecord && r < grid.rows(); ++r) lines << grid.at(0, r);
    return lines;
}

RecordSort nextSort(RecordSort current, int key) {
    if (current.key != key || current.direction == SortDirection::None) return {key, SortDirection::Ascending};
    if (current.direction == SortDirection::Ascending) return {key, SortDirection::Descending};
    return {};
}

QString historySortText(const TextGrid& grid, int firstRow, int key) {
    return grid.at(key, firstRow);
}

QString scodeSortText(const TextGrid& grid, int firstRow, int key) {
    // "03 SCode 01# 2014-06-09 17:05:00": the number, then after "# " the time stamp.
    const QString title = grid.at(0, firstRow).trimmed();
    if (key == 0) return title.section(' ', 0, 0);
    const int hash = title.indexOf('#');
    return hash < 0 ? QString() : title.mid(hash + 1).trimmed();
}

int compareSortTexts(const QString& a, const QString& b) {
    bool aNumber = false, bNumber = false;
    const qlonglong x = a.trimmed().toLongLong(&aNumber);
    const qlonglong y = b.trimmed().toLongLong(&bNumber);
    if (aNumber && bNumber) return x < y ? -1 : (x > y ? 1 : 0);
    return a.compare(b, Qt::CaseInsensitive);
}

QVector<int> recordRowOrder(const TextGrid& grid, RecordLayout layout, RecordSort sort, SortTextOf textOf) {
    QVector<int> order;
    order.reserve(grid.rows());
    for (int r = 0; r < layout.headRows && r < grid.rows(); ++r) order << r;
    QVector<int> filled, empty; // first rows of records
    for (int first = layout.headRows; first < grid.rows(); first += layout.rowsPerRecord)
        (recordHasText(grid, first) ? filled : empty) << first;
    if (sort.direction != SortDirection::None && textOf) {
        QVector<QString> keys(grid.rows());
        for (int first : filled) keys[first] = textOf(grid, first, sort.key);
        const bool down = sort.direction == SortDirection::Descending;
        std::stable_sort(filled.begin(), filled.end(), [&](int a, int b) {
            const int c = compareSortTexts(keys[a], keys[b]);
            return down ? c > 0 : c < 0;
        });
    }
    for (const QVector<int>* records : {&filled, &empty})
        for (int first : *records)
            for (int r = first; r < first + layout.rowsPerRecord && r < grid.rows(); ++r) order << r;
    return order;
}

} // namespace zav
