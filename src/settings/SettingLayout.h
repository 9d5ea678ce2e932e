#pragma once
// Per-model layout of the settings groups: which rows a model has and where they go. Visible rows
// are stacked without gaps at a pitch of 32; the rated, system and battery groups grow with their
// rows (at least 245 high).

#include "settings/SettingRows.h"

#include <QVector>

namespace zav {

struct RowPlacement {
    const SettingRow* row = nullptr;
    bool shown = false; // hidden rows also have their New control disabled
    int captionTop = 0;
    int oldTop = 0;
    int newTop = 0;
};

struct GroupLayout {
    QVector<RowPlacement> rows; // table order
    int height = -1;            // the group's height; -1 = the group keeps its height
};

GroupLayout layoutGroup(SettingGroup group, int model);

// Check boxes of a bit word: shown boxes fill a grid of 3 columns of 6, column by column.
struct BitBoxPlacement {
    int bit = 0;
    bool shown = false;
    int left = 0;
    int top = 0;
};
QVector<BitBoxPlacement> layoutBitBoxes(BitWord word, int model);

} // namespace zav
