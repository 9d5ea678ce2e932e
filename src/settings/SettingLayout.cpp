#include "settings/SettingLayout.h"

#include <algorithm>

namespace zav {

namespace {

constexpr int kBoxFirstTop = 20;

bool hasBitBoxes(SettingGroup group) {
    return group == SettingGroup::SysCode1 || group == SettingGroup::SysCode4 || group == SettingGroup::CfgCode1;
}

int shiftDown(SettingGroup group, int contentTop) { return std::max(0, contentTop - groupFirstTop(group)); }

} // namespace

int groupFirstTop(SettingGroup group) {
    if (hasBitBoxes(group)) return kBoxFirstTop;
    const GroupGeometry& g = groupGeometry(group);
    return std::min({g.captionTop, g.oldTop, g.newTop > 0 ? g.newTop : g.oldTop});
}

GroupLayout layoutGroup(SettingGroup group, int model, const GroupFit& fit) {
    const GroupGeometry& g = groupGeometry(group);
    GroupLayout out;
    out.captionWidth = std::max(g.captionWidth, fit.captionWidth);
    // The value columns move right only when a caption would reach its value field.
    const int shiftRight = std::max(0, g.captionLeft + fit.captionWidth + kCaptionGap - g.oldLeft);
    out.shiftDown = shiftDown(group, fit.contentTop);
    const int dy = out.shiftDown;
    int k = 0; // visible rows so far
    for (const SettingRow* row : rowsOf(group)) {
        RowPlacement p;
        p.row = row;
        p.shown = rowExists(*row, model);
        if (p.shown) {
            p.captionTop = g.captionTop + dy + kRowPitch * k;
            p.oldTop = g.oldTop + dy + kRowPitch * k;
            p.newTop = g.newTop + dy + kRowPitch * k;
            p.captionLeft = g.captionLeft;
            p.oldLeft = g.oldLeft + shiftRight;
            p.newLeft = g.newLeft + shiftRight;
            // The last visible row decides: it ends 37 below its New control's top.
            if (g.growsHeight) out.height = std::max(kMinGroupHeight, g.newTop + dy + kRowPitch * k + 37);
            ++k;
        }
        out.rows << p;
    }
    if (!g.growsHeight && g.fixedHeight > 0) out.height = g.fixedHeight + dy;
    if (g.growsHeight || g.fixedHeight > 0) out.width = g.width + shiftRight;
    return out;
}

QVector<BitBoxPlacement> layoutBitBoxes(BitWord word, int model, const BoxFit& fit) {
    static constexpr int kColumnLefts[3] = {13, 133, 252};
    const int wider = bitBoxWidth(fit) - kBitBoxWidth; // each column moves this much past the one before
    const int dy = shiftDown(bitWordGroup(word), fit.contentTop);
    QVector<BitBoxPlacement> out;
    int cell = 0;
    for (int bit = 0; bit < 16; ++bit) {
        BitBoxPlacement p;
        p.bit = bit;
        p.shown = bitBoxShown(word, bit, model) && cell < 18;
        if (p.shown) {
            p.left = kColumnLefts[cell / 6] + wider * (cell / 6);
            p.top = kBoxFirstTop + dy + kRowPitch * (cell % 6);
            ++cell;
        }
        out << p;
    }
    return out;
}

} // namespace zav
