#pragma once
// Small helpers for the monitor grids: a QTableWidget used as a plain string grid (no headers, no
// editing; every cell, titles included, is an item addressed by column and row) and the copying of
// computed texts into it.

#include "monitor/StatusViews.h"
#include "foundation/TextGrid.h"

#include <QTableWidget>
#include <functional>

namespace zav {

QTableWidget* makeStringGrid(const QString& objectName, int columns, int rows, QWidget* parent);

// StringGridClear: every cell of every row and column to the empty text.
void StringGridClear(QTableWidget* grid);

// Sets one cell's text, creating its item when needed. Cells outside the grid are ignored.
void setGridCell(QTableWidget* grid, int column, int row, const QString& text);
QString gridCell(const QTableWidget* grid, int column, int row);

// Resizes the grid to the texts and copies every cell.
void showTextGrid(QTableWidget* grid, const TextGrid& texts);

// Applies a cell style (fill colour, centred text) to every cell from its position and text.
using CellStyler = std::function<CellStyle(int column, int row, const QString& text)>;
void styleGridCells(QTableWidget* grid, const CellStyler& styler);

// Widens every column whose widest text needs more than the column width minus 5 pixels to that
// text width + 5.
void widenColumnsToText(QTableWidget* grid);

} // namespace zav
