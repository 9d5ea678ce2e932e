#include "settings/SettingLayout.h"

#include <algorithm>

namespace zav {

GroupLayout layoutGroup(SettingGroup group, int model) {
    const GroupGeometry& g = groupGeometry(group);
    GroupLayout out;
    int k = 0; // visible rows so far
    for (const SettingRow* row : rowsOf(group)) {
        RowPlacement p;
        p.row = row;
        p.shown = rowExists(*row, model);
        if (p.shown) {
            p.captionTop = g.captionTop + kRowPitch * k;
            p.oldTop = g.oldTop + kRowPitch * k;
            p.newTop = g.newTop + kRowPitch * k;
            // The last visible row decides: it ends 37 below its New control's top.
            if (g.growsHeight) out.height = std::max(kMinGroupHeight, g.newTop + kRowPitch * k + 37);
            ++k;
        }
        out.rows << p;
    }
    return out;
}

QVector<BitBoxPlacement> layoutBitBoxes(BitWord word, int model) {
    static constexpr int kColumnLefts[3] = {13, 133, 252};
    QVector<BitBoxPlacement> out;
    int cell = 0;
    for (int bit = 0; bit < 16; ++bit) {
        BitBoxPlacement p;
        p.bit = bit;
        p.shown = bitBoxShown(word, bit, model) && cell < 18;
        if (p.shown) {
            p.left = kColumnLefts[cell / 6];
            p.top = 20 + kRowPitch * (cell % 6);
            ++cell;
        }
        out << p;
    }
    return out;
}

} // namespace zav
