#pragma once
// Test helpers: a grid's texts as plain strings, so a failing comparison prints readable rows.

#include "foundation/TextGrid.h"

#include <string>
#include <vector>

namespace zav::test {

using Rows = std::vector<std::vector<std::string>>;

inline Rows rowsOf(const TextGrid& grid) {
    Rows rows;
    for (int r = 0; r < grid.rows(); ++r) {
        rows.emplace_back();
        for (int c = 0; c < grid.columns(); ++c)
            rows.back().push_back(grid.at(c, r).toStdString());
    }
    return rows;
}

// Expected rows given only as far as they hold text; the rest of the grid is empty.
inline Rows padded(Rows rows, int columns, int rowCount) {
    rows.resize(size_t(rowCount));
    for (auto& row : rows)
        row.resize(size_t(columns));
    return rows;
}

} // namespace zav::test
