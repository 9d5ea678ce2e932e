#pragma once
// Per-model layout of the settings groups: which rows a model has and where they go. Visible rows
// are stacked without gaps at a pitch of 32; the rated, system and battery groups grow with their
// rows (at least 245 high).
//
// The table's places suit short captions. The window measures the captions it shows in its own font
// and passes what it found (GroupFit, BoxFit): the value columns then move right and the rows down
// just as far as the captions and the group's title need, never left or up, so every caption is
// shown whole in every language while rows, order and values stay as the table says.

#include "settings/SettingRows.h"

#include <QVector>

namespace zav {

// What the window measured for a group.
struct GroupFit {
    int captionWidth = 0; // the widest caption the model shows, in pixels
    int contentTop = 0;   // the first row free below the group's title (0: no title)
};

// A caption keeps this much room before its value field.
constexpr int kCaptionGap = 4;

struct RowPlacement {
    const SettingRow* row = nullptr;
    bool shown = false; // hidden rows also have their New control disabled
    int captionTop = 0;
    int oldTop = 0;
    int newTop = 0;
    int captionLeft = 0;
    int oldLeft = 0;
    int newLeft = 0;
};

struct GroupLayout {
    QVector<RowPlacement> rows; // table order
    int height = -1;            // the group's height; -1 = a tab page, sized by what it holds
    int width = -1;             // the group box's width; -1 = a tab page, sized by what it holds
    int captionWidth = 0;       // width of the caption labels
    int shiftDown = 0;          // how far the rows moved down below the group's title
};

GroupLayout layoutGroup(SettingGroup group, int model, const GroupFit& fit = {});

// Check boxes of a bit word: shown boxes fill a grid of 3 columns of 6, column by column. Columns
// move apart when the widest shown caption needs more than a box's width.
struct BoxFit {
    int boxWidth = 0;   // the widest shown box needs this much (indicator and caption)
    int contentTop = 0; // as in GroupFit
};
struct BitBoxPlacement {
    int bit = 0;
    bool shown = false;
    int left = 0;
    int top = 0;
};
constexpr int kBitBoxWidth = 118;
QVector<BitBoxPlacement> layoutBitBoxes(BitWord word, int model, const BoxFit& fit = {});
// The width every box of the word gets under `fit`.
inline int bitBoxWidth(const BoxFit& fit) { return fit.boxWidth > kBitBoxWidth ? fit.boxWidth : kBitBoxWidth; }
// The top of the first row of a group (the boxes come first where a group has them).
int groupFirstTop(SettingGroup group);

} // namespace zav
