#pragma once
// The texts of a grid as the user sees them, cell by cell; the pages copy one into a table widget.
// Reads and writes outside the grid are ignored, so a layout table can never write out of bounds.

#include <QString>
#include <QVector>

namespace zav {

class TextGrid {
  public:
    TextGrid() = default;
    TextGrid(int columns, int rows) : columns_(columns), rows_(rows), cells_(columns * rows) {}

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    bool contains(int column, int row) const {
        return column >= 0 && column < columns_ && row >= 0 && row < rows_;
    }
    QString at(int column, int row) const {
        return contains(column, row) ? cells_[row * columns_ + column] : QString();
    }
    void set(int column, int row, const QString& text) {
        if (contains(column, row)) cells_[row * columns_ + column] = text;
    }
    bool operator==(const TextGrid&) const = default;

  private:
    int columns_ = 0;
    int rows_ = 0;
    QVector<QString> cells_;
};

// One cell's text, for routines that write only the cells their rules name.
struct GridCell {
    int column = 0;
    int row = 0;
    QString text;
    bool operator==(const GridCell&) const = default;
};

} // namespace zav
