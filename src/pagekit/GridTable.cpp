#include "pagekit/GridTable.h"

#include <QHeaderView>
#include <QStyle>

namespace zav {

QTableWidget* makeStringGrid(const QString& objectName, int columns, int rows, QWidget* parent) {
    auto* grid = new QTableWidget(rows, columns, parent);
    grid->setObjectName(objectName);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    StringGridClear(grid);
    return grid;
}

void StringGridClear(QTableWidget* grid) {
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c)
            setGridCell(grid, c, r, QString());
}

void setGridCell(QTableWidget* grid, int column, int row, const QString& text) {
    if (column < 0 || row < 0 || column >= grid->columnCount() || row >= grid->rowCount()) return;
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grid->setItem(row, column, item);
    }
    if (item->text() != text) item->setText(text);
}

QString gridCell(const QTableWidget* grid, int column, int row) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

void showTextGrid(QTableWidget* grid, const TextGrid& texts) {
    grid->setColumnCount(texts.columns());
    grid->setRowCount(texts.rows());
    for (int r = 0; r < texts.rows(); ++r)
        for (int c = 0; c < texts.columns(); ++c)
            setGridCell(grid, c, r, texts.at(c, r));
}

void styleGridCells(QTableWidget* grid, const CellStyler& styler) {
    for (int r = 0; r < grid->rowCount(); ++r) {
        for (int c = 0; c < grid->columnCount(); ++c) {
            QTableWidgetItem* item = grid->item(r, c);
            if (!item) continue;
            const CellStyle style = styler(c, r, item->text());
            item->setBackground(style.filled ? QBrush(QColor(style.red, style.green, style.blue)) : QBrush());
            item->setTextAlignment(style.centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
        }
    }
}

void widenColumnsToText(QTableWidget* grid) {
    const QFontMetrics metrics(grid->font());
    // The view draws an item's text inside a margin on either side; count it as part of the text.
    const int margins = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
    for (int c = 0; c < grid->columnCount(); ++c) {
        int widest = 0;
        for (int r = 0; r < grid->rowCount(); ++r)
            widest = std::max(widest, metrics.horizontalAdvance(gridCell(grid, c, r)) + margins);
        if (widest > grid->columnWidth(c) - 5) grid->setColumnWidth(c, widest + 5);
    }
}

} // namespace zav
