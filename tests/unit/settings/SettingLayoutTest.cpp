#include "settings/SettingLayout.h"

#include <QSet>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace zav;

namespace {

QStringList shownOldNames(SettingGroup group, int model) {
    QStringList out;
    for (const RowPlacement& p : layoutGroup(group, model).rows)
        if (p.shown) out << p.row->oldName;
    return out;
}

const RowPlacement& placementOf(const GroupLayout& layout, const char* oldName) {
    for (const RowPlacement& p : layout.rows)
        if (QLatin1String(p.row->oldName) == QLatin1String(oldName)) return p;
    throw std::runtime_error(oldName);
}

} // namespace

TEST(SettingLayout, Model0SystemGroupStacks34RowsTo1112) {
    const GroupLayout l = layoutGroup(SettingGroup::Server, 0);
    EXPECT_EQ(shownOldNames(SettingGroup::Server, 0).size(), 34);
    const RowPlacement& last = placementOf(l, "EditTxtimes");
    EXPECT_TRUE(last.shown);
    EXPECT_EQ(last.newTop, 1075);
    EXPECT_EQ(last.oldTop, 1075);
    EXPECT_EQ(last.captionTop, 20 + 32 * 33);
    EXPECT_EQ(l.height, 1112);
}

TEST(SettingLayout, Model8RatedGroupHasTheTwoOutputRows) {
    const GroupLayout l = layoutGroup(SettingGroup::Rate, 8);
    EXPECT_EQ(shownOldNames(SettingGroup::Rate, 8), QStringList({"Edit25", "Edit26"}));
    EXPECT_EQ(placementOf(l, "Edit25").newTop, 20);
    EXPECT_EQ(placementOf(l, "Edit26").newTop, 52);
    EXPECT_EQ(placementOf(l, "Edit26").captionTop, 53);
    EXPECT_EQ(l.height, 245);
    EXPECT_EQ(layoutGroup(SettingGroup::Rate, 0).height, 57 + 32 * 7);
}

TEST(SettingLayout, VisibleRowsPerModel) {
    EXPECT_EQ(shownOldNames(SettingGroup::Server, 8),
              QStringList({"EditModeOld", "EditOutVOld", "EditFreq2Old", "EditBlkPrd", "EditBypVoltUpLmtOld",
                           "EditBypVoltDnLmtOld", "EditBypFreqRangeOld", "EditBattTxRecDlyOld",
                           "EditEodEndSysStartOld", "EditSlaveStandbyTimeOld"}));
    EXPECT_EQ(shownOldNames(SettingGroup::Batt, 8),
              QStringList({"EditBattAh", "EditBoostOld", "EditEod1Old", "EditEod2Old", "EditChgOld",
                           "EditBoostLmtOld", "EditBoostPrdOld", "EditDischgPrdOld", "EditDeepDischgTimeOld",
                           "EditNoBattDetPrdOld", "EditBattRunTimeOld", "EditBattLowVoltMult"}));
    EXPECT_EQ(shownOldNames(SettingGroup::Rate, 3),
              QStringList({"Edit22", "Edit2", "Edit23", "Edit24", "Edit25", "Edit26"}));
    EXPECT_EQ(shownOldNames(SettingGroup::CfgCode2, 1), QStringList({"EditAmbOvTmpShutdown"}));
    EXPECT_EQ(shownOldNames(SettingGroup::CfgCode2, 0).size(), 4);
    EXPECT_TRUE(shownOldNames(SettingGroup::CfgCode2, 3).isEmpty());
    EXPECT_TRUE(shownOldNames(SettingGroup::Server, 1).contains("EditSysTimeOld"));
    EXPECT_FALSE(shownOldNames(SettingGroup::Server, 0).contains("EditSysTimeOld"));
    EXPECT_EQ(shownOldNames(SettingGroup::IPDry, 6), QStringList({"EditIPDry1"}));
    EXPECT_EQ(shownOldNames(SettingGroup::OPDry, 6).size(), 4);
    EXPECT_FALSE(shownOldNames(SettingGroup::IPDry, 0).contains("EditIPDry4"));
}

TEST(SettingLayout, InverterControlAndSoftStartRowsNeverAppear) {
    for (int model = 0; model <= 8; ++model) {
        const QStringList shown = shownOldNames(SettingGroup::Server, model);
        EXPECT_FALSE(shown.contains("EditInvCtrWay")) << model;
        EXPECT_FALSE(shown.contains("EditSoftStartTime")) << model;
    }
}

// Every model and group: visible rows sit one pitch apart from the first top, without gaps, and the
// growing groups end 37 below the last row (never below 245).
TEST(SettingLayout, StackingHasNoGapsForAnyModel) {
    for (const SettingGroup group : {SettingGroup::Rate, SettingGroup::Server, SettingGroup::Batt,
                                     SettingGroup::CfgCode2, SettingGroup::IPDry, SettingGroup::OPDry}) {
        const GroupGeometry& g = groupGeometry(group);
        for (int model = 0; model <= 8; ++model) {
            const GroupLayout l = layoutGroup(group, model);
            int k = 0;
            for (const RowPlacement& p : l.rows) {
                EXPECT_EQ(p.shown, rowExists(*p.row, model));
                if (!p.shown) continue;
                EXPECT_EQ(p.newTop, g.newTop + 32 * k) << p.row->oldName << " model " << model;
                EXPECT_EQ(p.oldTop, g.oldTop + 32 * k);
                EXPECT_EQ(p.captionTop, g.captionTop + 32 * k);
                ++k;
            }
            if (g.growsHeight && k > 0) {
                EXPECT_EQ(l.height, std::max(245, g.newTop + 32 * (k - 1) + 37))
                    << int(group) << " " << model;
            }
            if (!g.growsHeight) {
                EXPECT_EQ(l.height, g.fixedHeight > 0 ? g.fixedHeight : -1); // keeps its height
            }
        }
    }
}

TEST(SettingLayout, SystemCodeBoxesFillTheGridColumnByColumn) {
    // Model 0, register 329: bits 0-6 and 8-F shown (bit 7 never), 15 boxes.
    const QVector<BitBoxPlacement> b = layoutBitBoxes(BitWord::SysCode1, 0);
    EXPECT_FALSE(b[7].shown);
    EXPECT_EQ(b[0].left, 13);
    EXPECT_EQ(b[0].top, 20);
    EXPECT_EQ(b[5].top, 180);
    EXPECT_EQ(b[6].left, 133); // cell 6: second column
    EXPECT_EQ(b[6].top, 20);
    EXPECT_EQ(b[8].left, 133); // bit 8 takes cell 7: bit 7 took none
    EXPECT_EQ(b[8].top, 52);
    EXPECT_EQ(b[15].left, 252); // cell 14
    EXPECT_EQ(b[15].top, 84);

    // Model 8, register 330: bits 6..9 shown, in the first four cells.
    const QVector<BitBoxPlacement> c = layoutBitBoxes(BitWord::SysCode4, 8);
    int shown = 0;
    for (const BitBoxPlacement& p : c)
        shown += p.shown;
    EXPECT_EQ(shown, 4);
    EXPECT_EQ(c[6].top, 20);
    EXPECT_EQ(c[9].top, 116);
    EXPECT_EQ(c[9].left, 13);

    EXPECT_EQ(bitBoxCaption(BitWord::SysCode1, 7, 0), QString("LogoType(7)"));
    EXPECT_EQ(bitBoxCaption(BitWord::SysCode1, 0, 8), QString("Reserved(0)"));
    EXPECT_EQ(bitBoxCaption(BitWord::SysCode4, 12, 3), QString("Reserved(C)"));
    EXPECT_EQ(bitBoxCaption(BitWord::SysCode4, 3, 3), QString("DisLLVolt(3)"));
    EXPECT_EQ(bitBoxCaption(BitWord::CfgCode1, 13, 6), QString("phaseErrStart(D)"));
    for (int model = 0; model <= 8; ++model)
        for (int bit = 0; bit < 16; ++bit)
            EXPECT_TRUE(bitBoxShown(BitWord::CfgCode1, bit, model));
}

TEST(SettingRows, NamesAreUniqueAndFieldsFitTheirWords) {
    QSet<QString> names;
    for (const SettingRow& r : settingRows()) {
        for (const char* n : {r.label, r.oldName, r.newName}) {
            if (!n) continue;
            EXPECT_FALSE(names.contains(n)) << n;
            names.insert(n);
        }
        EXPECT_LE(r.width == 16 ? 0 : r.shift + r.width, 16) << r.oldName;
        EXPECT_TRUE(r.reg >= 301 && r.reg + r.regCount - 1 <= 480) << r.oldName;
        if (r.newKind == NewKind::Combo) {
            EXPECT_NE(r.list, ItemList::None) << r.oldName;
        }
    }
    EXPECT_EQ(rowsOf(SettingGroup::Rate).size(), 8);
    EXPECT_EQ(rowsOf(SettingGroup::Server).size(), 39);
    EXPECT_EQ(rowsOf(SettingGroup::Batt).size(), 22);
    EXPECT_EQ(rowsOf(SettingGroup::CfgCode2).size(), 4);
}

TEST(SettingItemLists, ListsAndPresetsByModelAndType) {
    ListContext c;
    c.model = 0;
    c.lithium = true;
    c.typeSelectable = true;
    EXPECT_EQ(itemTexts(ItemList::BattCount, c).size(), 47);
    EXPECT_EQ(itemTexts(ItemList::BattCount, c).at(rebuildIndex(ItemList::BattCount, c)), QString("140"));
    EXPECT_EQ(itemTexts(ItemList::Float, c).first(), QString("3.30"));
    EXPECT_EQ(itemTexts(ItemList::Float, c).last(), QString("4.15"));
    EXPECT_EQ(itemTexts(ItemList::Eod2, c).size(), 21);
    c.typeSelectable = false; // lithium read on a model without the type row: lead-acid voltages
    EXPECT_EQ(itemTexts(ItemList::Float, c).first(), QString("2.10"));
    EXPECT_EQ(itemTexts(ItemList::Boost, c).size(), 31);
    EXPECT_EQ(itemTexts(ItemList::Eod1, c).size(), 36);
    EXPECT_EQ(itemTexts(ItemList::Eod2, c).last(), QString("1.90"));
    c.model = 6;
    EXPECT_EQ(itemTexts(ItemList::BattCount, c), QStringList({"16", "18", "20", "22", "24"}));
    EXPECT_EQ(itemTexts(ItemList::LowVoltMult, c).size(), 21);
    EXPECT_EQ(itemTexts(ItemList::BattChargeCurrent, c).at(19), QString("0.20"));
    EXPECT_EQ(itemTexts(ItemList::SoftStart, c).last(), QString("1000"));
    EXPECT_EQ(itemTexts(ItemList::CabinetCapacity, c).size(), 36);
    EXPECT_EQ(itemTexts(ItemList::ModuleCapacity, c).size(), 17);
    c.language = 0;
    EXPECT_EQ(itemTexts(ItemList::Backlight, c).first(), QString("默认"));
    EXPECT_EQ(itemTexts(ItemList::Rotation, c).at(1), QString("测试模式"));
    c.language = 2;
    EXPECT_EQ(itemTexts(ItemList::Level4, c).first(), QString("1級"));
}

// Measured captions and titles move the value columns right and the rows down only as far as they
// need; short captions keep the table's places.
TEST(SettingLayout, MeasuredCaptionsAndTitlesMoveColumnsAndRowsOnlyAsFarAsNeeded) {
    struct Case {
        SettingGroup group;
        GroupFit fit;
        int shiftRight;
        int shiftDown;
    } cases[] = {
        {SettingGroup::Rate, {}, 0, 0},
        {SettingGroup::Rate, {96, 10}, 0, 0},     // 12 + 96 + 4 = 112: reaches the Old column, no more
        {SettingGroup::Rate, {98, 0}, 2, 0},
        {SettingGroup::Rate, {130, 0}, 34, 0},    // 12 + 130 + 4 - 112
        {SettingGroup::Server, {251, 0}, 0, 0},   // 20 + 251 + 4 = 275
        {SettingGroup::Server, {260, 25}, 9, 6},  // first row at 19 moves to 25
        {SettingGroup::CfgCode2, {225, 0}, 81, 0} // 10 + 225 + 4 - 158
    };
    for (const Case& c : cases) {
        const GroupGeometry& g = groupGeometry(c.group);
        const GroupLayout plain = layoutGroup(c.group, 0);
        const GroupLayout l = layoutGroup(c.group, 0, c.fit);
        EXPECT_EQ(l.shiftDown, c.shiftDown) << int(c.group);
        EXPECT_EQ(l.captionWidth, std::max(g.captionWidth, c.fit.captionWidth));
        ASSERT_EQ(l.rows.size(), plain.rows.size());
        for (int i = 0; i < l.rows.size(); ++i) {
            const RowPlacement& p = l.rows[i];
            const RowPlacement& q = plain.rows[i];
            ASSERT_EQ(p.shown, q.shown);
            if (!p.shown) continue;
            EXPECT_EQ(p.captionLeft, g.captionLeft);
            EXPECT_EQ(p.oldLeft, g.oldLeft + c.shiftRight) << p.row->oldName;
            EXPECT_EQ(p.newLeft, g.newLeft + c.shiftRight) << p.row->oldName;
            EXPECT_GE(p.oldLeft, p.captionLeft + c.fit.captionWidth + kCaptionGap);
            EXPECT_EQ(p.captionTop, q.captionTop + c.shiftDown);
            EXPECT_EQ(p.newTop, q.newTop + c.shiftDown);
        }
        EXPECT_EQ(l.width, g.width + c.shiftRight);
        EXPECT_EQ(l.height, plain.height >= 0 ? plain.height + c.shiftDown : g.fixedHeight + c.shiftDown);
    }

    // Wide check-box captions move each column by the extra width; a title moves the grid down.
    const QVector<BitBoxPlacement> plain = layoutBitBoxes(BitWord::CfgCode1, 0);
    const QVector<BitBoxPlacement> wide = layoutBitBoxes(BitWord::CfgCode1, 0, {kBitBoxWidth + 30, 26});
    for (int bit = 0; bit < 16; ++bit) {
        ASSERT_EQ(wide[bit].shown, plain[bit].shown);
        if (!wide[bit].shown) continue;
        const int column = plain[bit].left == 13 ? 0 : plain[bit].left == 133 ? 1 : 2;
        EXPECT_EQ(wide[bit].left, plain[bit].left + 30 * column) << bit;
        EXPECT_EQ(wide[bit].top, plain[bit].top + 6) << bit;
    }
    EXPECT_EQ(layoutBitBoxes(BitWord::CfgCode1, 0, {kBitBoxWidth - 20, 0})[0].left, 13);
}
