#include "monitor/StatusViews.h"
#include "GridText.h"

#include <gtest/gtest.h>

namespace zav {
namespace {

using test::rowsOf;

// Module presence as the status receive routine leaves it for registers 119/120.
LiveStores storesWithModuleMask(uint16_t reg119, uint16_t reg120) {
    LiveStores live;
    live.LiveStatus.set(119, reg119);
    live.LiveStatus.set(120, reg120);
    live.updateModulePresence();
    return live;
}

void setModuleFault(LiveStores& live, int module, int item) {
    const int reg = 3071 + 4 * (module - 1) + (item - 1) / 16;
    live.ModuleStatus.set(reg, uint16_t(live.ModuleStatus[reg] | (1u << ((item - 1) % 16))));
}

// --- whole-unit status grid ---

TEST(ZavStatusGrid, LabelsInColumnsZeroTwoFourWithTheLastPairOneRowShort) {
    const TextGrid en = zavStatusLabels(1);
    EXPECT_EQ(en.columns(), 6);
    EXPECT_EQ(en.rows(), 8);
    EXPECT_EQ(en.at(0, 0), "SupplySrc");
    EXPECT_EQ(en.at(0, 7), "BattEOD");
    EXPECT_EQ(en.at(2, 0), "BypOvLd");
    EXPECT_EQ(en.at(2, 7), "BypSeqFail");
    EXPECT_EQ(en.at(4, 3), "MaintCbSts");
    EXPECT_EQ(en.at(4, 6), "BypFanFail");
    EXPECT_EQ(en.at(4, 7), "");
    EXPECT_EQ(zavStatusLabels(0).at(4, 3), "维修旁路空开状态");
    EXPECT_EQ(zavStatusLabels(2).at(2, 0), "旁路超載");
    for (int r = 0; r < 8; ++r)
        for (int c : {1, 3, 5})
            EXPECT_EQ(en.at(c, r), "") << c << "," << r;
}

TEST(ZavStatusGrid, ValuesSelectTheirTextAndOtherValuesTheTextOfZero) {
    struct Case {
        int reg;
        uint16_t value;
        int column, row, language;
        const char* text;
    };
    const Case cases[] = {
        {82, 3, 1, 1, 1, "Discharge"}, {82, 2, 1, 1, 0, "电池均充"},      {85, 2, 1, 2, 1, " "},
        {81, 7, 1, 0, 1, "None"},      {81, 0xFFFF, 1, 0, 2, "均不供電"}, {81, 3, 1, 0, 1, " "},
        {81, 2, 1, 0, 1, "Bypass"},    {97, 1, 1, 7, 1, "Yes"},           {89, 1, 3, 7, 0, "故障"},
        {99, 3, 5, 1, 1, "testing"},   {101, 3, 5, 2, 2, "維護測試中"},   {84, 1, 5, 3, 1, "Close"},
        {84, 0, 5, 3, 1, "Open"},      {111, 4, 5, 6, 0, "正常"},         {95, 1, 3, 3, 2, "次數到"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "register " << c.reg << " = " << c.value);
        LiveStores live;
        live.LiveStatus.set(c.reg, c.value);
        const TextGrid g = zavStatusTexts(live, c.language);
        EXPECT_EQ(g.at(c.column, c.row).toStdString(), c.text);
    }
}

TEST(ZavStatusGrid, ClearedStoresShowTheTextsOfZero) {
    const TextGrid g = zavStatusTexts(LiveStores{}, 1);
    EXPECT_EQ(g.at(1, 0), "None");
    EXPECT_EQ(g.at(1, 1), "Not Work");
    EXPECT_EQ(g.at(1, 2), "Not EPO");
    EXPECT_EQ(g.at(5, 3), "Open");
    EXPECT_EQ(g.at(5, 7), "");
}

// --- unit status grid ---

TEST(UnitStatusGrid, RowsShownPerModel) {
    EXPECT_EQ(moduleRowCount(0), 32);
    for (int model = 1; model <= 8; ++model)
        EXPECT_EQ(moduleRowCount(model), 8) << model;
    EXPECT_FALSE(unitItemShown(0, 9));
    EXPECT_TRUE(unitItemShown(0, 33));
    EXPECT_FALSE(unitItemShown(3, 9));
    EXPECT_TRUE(unitItemShown(3, 8));
}

TEST(UnitStatusGrid, ModuleViewHasOneColumnPerPresentModule) {
    LiveStores live = storesWithModuleMask(0x0001, 0x8001); // modules 1, 16, 17
    setModuleFault(live, 16, 2);
    setModuleFault(live, 17, 8);
    setModuleFault(live, 1, 9); // hidden on model 1
    const UnitStatusView view = unitStatusView(live, 1, 1);
    ASSERT_TRUE(view.moduleView);
    EXPECT_EQ(rowsOf(view.grid), (test::Rows{
                                     {"", "U_1", "U_16", "U_17"},
                                     {"Rectifier Fail", "V", "V", "V"},
                                     {"Inverter Fail", "V", "X", "V"},
                                     {"Rectifier Over Temp.", "V", "V", "V"},
                                     {"Fan Fail", "V", "V", "V"},
                                     {"Over Load", "V", "V", "V"},
                                     {"Over Load Timeout", "V", "V", "V"},
                                     {"Inverter Over Temp.", "V", "V", "V"},
                                     {"Inverter Protect", "V", "V", "X"},
                                 }));
}

TEST(UnitStatusGrid, ModelZeroSkipsManualShutdownAndReadsAllThreeWords) {
    LiveStores live = storesWithModuleMask(0, 0x0006); // modules 2 and 3
    setModuleFault(live, 2, 10);
    setModuleFault(live, 3, 17);
    setModuleFault(live, 3, 33);
    const UnitStatusView view = unitStatusView(live, 0, 0);
    ASSERT_TRUE(view.moduleView);
    EXPECT_EQ(view.grid.columns(), 3);
    EXPECT_EQ(view.grid.rows(), 33);
    EXPECT_EQ(view.grid.at(1, 0), "单元2");
    EXPECT_EQ(view.grid.at(0, 8), "逆变保护");
    EXPECT_EQ(view.grid.at(0, 9), "电池或充电器故障"); // item 10 follows item 8
    EXPECT_EQ(view.grid.at(1, 9), "X");
    EXPECT_EQ(view.grid.at(2, 9), "V");
    EXPECT_EQ(view.grid.at(0, 16), "逆变桥臂开路"); // item 17: word 1 bit 0
    EXPECT_EQ(view.grid.at(2, 16), "X");
    EXPECT_EQ(view.grid.at(0, 32), "模块ID重复"); // item 33: word 2 bit 0
    EXPECT_EQ(view.grid.at(2, 32), "X");
    EXPECT_EQ(view.grid.at(1, 32), "V");
}

TEST(UnitStatusGrid, TenUnitViewWithoutModules) {
    LiveStores live = storesWithModuleMask(0xC000, 0); // bits 14/15 are no modules
    ASSERT_EQ(live.modules.count, 0);
    live.LiveStatus.set(121 + 12 * 2, 1);     // unit 3 present
    live.LiveStatus.set(121 + 12 * 2 + 2, 1); // ... with fault 2
    live.LiveStatus.set(121 + 12 * 9, 1);     // unit 10 present
    live.LiveStatus.set(121 + 12 * 9 + 8, 1); // ... with fault 8
    live.LiveStatus.set(121 + 12 * 9 + 1, 2); // a word other than 1 is no fault
    live.LiveStatus.set(121 + 12 * 4, 2);     // unit 5: presence word 2 means absent
    const UnitStatusView view = unitStatusView(live, 0, 2);
    ASSERT_FALSE(view.moduleView);
    ASSERT_EQ(view.grid.columns(), 11);
    ASSERT_EQ(view.grid.rows(), 9);
    EXPECT_EQ(view.grid.at(3, 0), "單元3");
    EXPECT_EQ(view.grid.at(10, 0), "單元10");
    EXPECT_EQ(view.grid.at(0, 2), "變流故障");
    EXPECT_EQ(view.grid.at(0, 8), "變流保護");
    const char* unit3[] = {"V", "X", "V", "V", "V", "V", "V", "V"};
    const char* unit10[] = {"V", "V", "V", "V", "V", "V", "V", "X"};
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(view.grid.at(3, row), unit3[row - 1]) << row;
        EXPECT_EQ(view.grid.at(10, row), unit10[row - 1]) << row;
        for (int absent : {1, 2, 4, 5, 6, 7, 8, 9})
            EXPECT_EQ(view.grid.at(absent, row), "?");
    }
}

TEST(UnitStatusGrid, ModulesGoneFallsBackToTheTenUnitView) {
    LiveStores live = storesWithModuleMask(0, 3);
    ASSERT_TRUE(unitStatusView(live, 1, 1).moduleView);
    live.LiveStatus.set(120, 0);
    live.updateModulePresence();
    EXPECT_FALSE(unitStatusView(live, 1, 1).moduleView);
}

// --- module data grid ---

TEST(ModuleDataGrid, EightySevenItemsInTwoColumnPairs) {
    const TextGrid en = moduleDataLabels(1);
    EXPECT_EQ(en.columns(), 4);
    EXPECT_EQ(en.rows(), 44);
    EXPECT_EQ(en.at(0, 0), "Main Input Voltage Phase A(V)");
    EXPECT_EQ(en.at(0, 43), "Output Active Power Phase A(kW)");
    EXPECT_EQ(en.at(2, 0), "Output Active Power Phase B(kW)");
    EXPECT_EQ(en.at(2, 42), "Inverter Second Version Number");
    EXPECT_EQ(en.at(2, 43), "");
    EXPECT_EQ(en.at(2, 10), "Forbid Rectifier Power On  Sign Integration");
    const TextGrid cn = moduleDataLabels(0);
    EXPECT_EQ(cn.at(0, 0), "交流输入电压ph_A(V)");
    EXPECT_EQ(moduleDataLabels(2), cn); // the Traditional Chinese labels are the Simplified ones
}

TEST(ModuleDataGrid, ValuesFormattedPerItem) {
    LiveStores live;
    live.ModuleData.set(2001, 2205);   // tenths, row 0
    live.ModuleData.set(2007, 4998);   // hundredths, row 6
    live.ModuleData.set(2052, 0x8000); // tenths of a negative word, row 51 -> column 3, row 7
    live.ModuleData.set(2073, 40000);  // integer, unsigned
    live.ModuleData.set(2097, 355);    // tenths
    live.ModuleData.set(2152, 7);      // last item
    live.ModuleData.set(2053, 1234);   // not shown
    const TextGrid g = moduleDataTexts(live, 1);
    EXPECT_EQ(g.at(1, 0), "220.5");
    EXPECT_EQ(g.at(1, 6), "49.98");
    EXPECT_EQ(g.at(1, 9), "0.00");
    EXPECT_EQ(g.at(2, 7), "Output Load Percentage Phase C(%)");
    EXPECT_EQ(g.at(3, 7), "0.0");
    EXPECT_EQ(g.at(2, 8), "Fan Running Time (hour)");
    EXPECT_EQ(g.at(3, 8), "40000");
    EXPECT_EQ(g.at(2, 27), "Inlet Temperature(oC)");
    EXPECT_EQ(g.at(3, 27), "35.5");
    EXPECT_EQ(g.at(3, 42), "7");
    EXPECT_EQ(g.at(3, 43), "");
    for (int r = 0; r < 44; ++r)
        for (int c : {1, 3})
            EXPECT_FALSE(g.at(c, r).contains("1234")) << c << "," << r;
}

TEST(ModuleIdDisplayTest, EditShowsTheReportedModuleAndSyncSelectsIt) {
    const QStringList items = {"1", "3", "17"};
    struct Case {
        uint16_t reported;
        bool sync;
        int comboIndex;
        ModuleIdDisplay expected;
    };
    const Case cases[] = {
        {3, false, 0, {"3", 0, false}}, // no sync: the box keeps its choice
        {3, true, 0, {"3", 1, false}},  // sync selects the item of module 3
        {17, true, 1, {"17", 2, false}},
        {31, true, 0, {"", 0, true}}, // invalid number: empty edit, sync still pending
        {0, false, 2, {"", 2, false}},
        {5, true, 1, {"5", 1, false}}, // a module not in the box: edit shows what answered
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reported);
        const ModuleIdDisplay d = moduleIdDisplay(c.reported, c.sync, items, c.comboIndex);
        EXPECT_EQ(d.editText, c.expected.editText);
        EXPECT_EQ(d.comboIndex, c.expected.comboIndex);
        EXPECT_EQ(d.syncPending, c.expected.syncPending);
    }
}

TEST(ModuleChoiceTest, NumberOfTheBoxTextOrZero) {
    EXPECT_EQ(moduleChoice("17"), 17);
    EXPECT_EQ(moduleChoice("abc"), 0);
    EXPECT_EQ(moduleChoice(""), 0);
    EXPECT_EQ(moduleChoiceItems(storesWithModuleMask(0, 5)), (QStringList{"1", "3"}));
    EXPECT_EQ(moduleChoiceItems(storesWithModuleMask(0xC001, 0)), (QStringList{"17"}));
}

TEST(ModuleDataWheel, ThreeRowsPerStepWithinTheGrid) {
    EXPECT_EQ(moduleDataWheelRow(0, 44, true), 3);
    EXPECT_EQ(moduleDataWheelRow(40, 44, true), 43);
    EXPECT_EQ(moduleDataWheelRow(41, 44, true), 41); // row 44 does not exist
    EXPECT_EQ(moduleDataWheelRow(43, 44, false), 40);
    EXPECT_EQ(moduleDataWheelRow(4, 44, false), 1);
    EXPECT_EQ(moduleDataWheelRow(3, 44, false), 3); // row 0 is not reached by the wheel
}

TEST(CellStyles, ValueColumnsGreenAndUnitCellsByText) {
    EXPECT_EQ(valueGridCellStyle(1), (CellStyle{true, 192, 220, 192, false}));
    EXPECT_EQ(valueGridCellStyle(3), (CellStyle{true, 192, 220, 192, false}));
    EXPECT_FALSE(valueGridCellStyle(0).filled);
    EXPECT_FALSE(valueGridCellStyle(4).filled);
    EXPECT_EQ(unitStatusCellStyle(3, "X"), (CellStyle{true, 255, 0, 0, true}));
    EXPECT_EQ(unitStatusCellStyle(3, "V"), (CellStyle{true, 61, 149, 255, true}));
    EXPECT_EQ(unitStatusCellStyle(3, "?"), (CellStyle{true, 128, 128, 128, true}));
    EXPECT_EQ(unitStatusCellStyle(0, "U_1"), (CellStyle{false, 0, 0, 0, true}));
    EXPECT_EQ(unitStatusCellStyle(2, "Fan Fail"), CellStyle{});
}

} // namespace
} // namespace zav
