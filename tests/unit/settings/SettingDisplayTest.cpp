#include "settings/SettingDisplay.h"

#include <gtest/gtest.h>

using namespace zav;

namespace {

const QDateTime kPcNow(QDate(2031, 7, 8), QTime(9, 10, 11));
constexpr int CN = 0, EN = 1, CHT = 2;

struct Display : ::testing::Test {
    RegisterStore data{301, 480};

    SettingsView show(int model, int language = EN, const HeldLists& held = {}) {
        return settingDisplay(data, model, language, kPcNow, held);
    }
    // The text of the selected item, or "<none>".
    static QString selected(const SettingsView& v, const QString& combo, const QStringList& items) {
        const int i = v.indexes.value(combo, -2);
        if (i == -2) return "<not set>";
        return i >= 0 && i < items.size() ? items[i] : QString("<none>");
    }
};

} // namespace

TEST_F(Display, NumberFormatsGoToOldAndNewFields) {
    struct Case {
        int reg;
        uint16_t value;
        const char* oldName;
        const char* newName;
        const char* text;
    };
    const Case cases[] = {
        {305, 5, "EditFreq1Old", "EditFreq1", "0.5"},
        {305, 150, "EditFreq1Old", "EditFreq1", "15.0"},
        {305, 40000, "EditFreq1Old", "EditFreq1", "0.0"},
        {307, 12345, "EditTempCompOld", "EditTempComp", "1234.5"},
        {304, 220, "EditOutVOld", "EditOutV", "220"},
        {312, 65535, "EditBattAh", "EditBattAhNew", "65535"},
        {442, 30, "EditCabDustMaintTimeOld", "EditCabDustMaintTimeNew", "30"},
        {331, 0xFFFF, "EditUPSModeOld", "EditUPSModeNew", "1023"},
        {385, 0x3C2D, "EditBattOvTmpOld", "EditBattOvTmpNew", "45"},
        {385, 0x3C2D, "EditBattAmbientOvTmpOld", "EditBattAmbientOvTmpNew", "60"},
    };
    for (const Case& c : cases) {
        data.clear();
        data.set(c.reg, c.value);
        const SettingsView v = show(0);
        EXPECT_EQ(v.texts.value(c.oldName), QString(c.text)) << c.oldName << " " << c.value;
        EXPECT_EQ(v.texts.value(c.newName), QString(c.text)) << c.newName << " " << c.value;
    }
}

TEST_F(Display, SerialNumberAndTexts) {
    data.set(308, 12);
    data.set(309, 345);
    data.set(432, 0x4142);
    data.set(433, 0x4320);
    data.set(434, 0x2020);
    data.set(427, 0x5550);
    data.set(428, 0x5331);
    const SettingsView v = show(0);
    EXPECT_EQ(v.texts.value("Edit3"), QString("0012345"));
    EXPECT_EQ(v.texts.value("Edit4"), QString("0012345"));
    EXPECT_EQ(v.texts.value("EditCompanyNameOld"), QString("ABC"));
    EXPECT_EQ(v.texts.value("EditCompanyNameNew"), QString("ABC"));
    EXPECT_EQ(v.texts.value("EditUPSTypeOld"), QString("UPS1"));
}

TEST_F(Display, ListsSelectByNumberOrByScaledText) {
    struct Case {
        int model;
        int reg;
        uint16_t value;
        const char* oldName;
        const char* oldText;
        const char* combo;
        const char* item; // "<none>" when nothing is selected
    };
    const Case cases[] = {
        {0, 313, 225, "EditFloatOld", "2.25", "ComboBoxFloat", "2.25"},
        {0, 313, 226, "EditFloatOld", "2.26", "ComboBoxFloat", "2.26"},
        {0, 313, 300, "EditFloatOld", "3.00", "ComboBoxFloat", "<none>"}, // lead-acid list ends at 2.35
        {0, 315, 165, "EditEod1Old", "1.65", "ComboBoxEod1", "1.65"},
        {8, 314, 230, "EditBoostOld", "2.30", "ComboBoxBoost", "2.30"},
        {8, 314, 240, "EditBoostOld", "2.40", "ComboBoxBoost", "<none>"}, // model 8 offers 2.25 and 2.30
        {6, 332, 112, "EditBattLowVoltMult", "1.12", "ComboBoxBattLowVoltMult", "1.12"},
        {0, 311, 40, "EditBattNumOld", "40", "ComboBoxBattNum", "40"},
        {0, 311, 41, "EditBattNumOld", "41", "ComboBoxBattNum", "<none>"},
        {8, 311, 6, "EditBattNumOld", "6", "ComboBoxBattNum", "6"},
        {2, 317, 10, "EditChgOld", "10", "ComboBoxChg", "10"},
        {2, 317, 21, "EditChgOld", "21", "ComboBoxChg", "<none>"}, // lead-acid: 1..20
        {5, 317, 100, "EditChgOld", "1.0", "ComboBoxChg", "1.0"},  // hundredths of the unit
        {5, 317, 50, "EditChgOld", "0.5", "ComboBoxChg", "0.5"},
        {7, 317, 1200, "EditChgOld", "12.0", "ComboBoxChg", "12.0"},
        {5, 317, 55, "EditChgOld", "0.5", "ComboBoxChg", "<none>"},
        {0, 321, 60, "Edit21", "60", "ComboBox16", "60"},
        {0, 321, 61, "Edit21", "61", "ComboBox16", "<none>"},
        {3, 323, 20, "Edit22", "20", "ComboBox17", "20"},
        {0, 325, 220, "Edit23", "220", "ComboBox18", "220"},
        {0, 328, 60, "Edit26", "60", "ComboBox21", "60"},
        {0, 333, 300, "EditSoftStartTime", "300", "ComboBoxSoftStartTime", "300"},
        {0, 441, 19, "EditPowerMods", "19", "ComboBoxPowerMods", "19"},
        {0, 441, 20, "EditPowerMods", "20", "ComboBoxPowerMods", "<none>"},
    };
    for (const Case& c : cases) {
        data.clear();
        data.set(c.reg, c.value);
        const SettingsView v = show(c.model);
        const SettingRow* row = rowByOldName(c.oldName);
        ASSERT_NE(row, nullptr) << c.oldName;
        ListContext lc;
        lc.model = c.model;
        lc.language = EN;
        const QStringList items =
            v.items.contains(c.combo) ? v.items.value(c.combo) : itemTexts(row->list, lc);
        EXPECT_EQ(v.texts.value(c.oldName), QString(c.oldText)) << c.model << " " << c.reg << "=" << c.value;
        EXPECT_EQ(selected(v, c.combo, items), QString(c.item)) << c.model << " " << c.reg << "=" << c.value;
    }
}

TEST_F(Display, SystemModeByModel) {
    struct Case {
        int model;
        uint16_t value;
        int index;
        const char* en;
    };
    const Case cases[] = {
        {0, 1, 0, "Single"},
        {0, 16, 6, "Self-Aging"},
        {6, 10, 5, "ParallelLBS"},
        {5, 4, 2, "SingleECO"},
        {5, 6, -1, "ParallelECO"}, // shown, not selectable on model 5
        {7, 8, -1, "LBS"},
        {8, 4, 1, "SingleECO"},
        {8, 2, -1, "Parallel"},
        {0, 3, -1, ""},
        {0, 0, -1, ""},
    };
    for (const Case& c : cases) {
        data.set(301, c.value);
        const SettingsView v = show(c.model);
        EXPECT_EQ(v.indexes.value("ComboBoxMode"), c.index) << c.model << " " << c.value;
        EXPECT_EQ(v.texts.value("EditModeOld"), QString(c.en)) << c.model << " " << c.value;
    }
    data.set(301, 6);
    EXPECT_EQ(show(5, CN).texts.value("EditModeOld"), QString("并机ECO"));
    EXPECT_EQ(show(5, CHT).texts.value("EditModeOld"), QString("並機ECO"));
}

TEST_F(Display, UnitsIdRedundancyBacklightAndTransfers) {
    struct Case {
        int reg;
        uint16_t value;
        const char* oldName;
        const char* oldText;
        const char* combo;
        int index;
    };
    const Case cases[] = {
        {302, 0, "EditNumOld", "0", "ComboBoxNum", -1},
        {302, 1, "EditNumOld", "1", "ComboBoxNum", 0},
        {302, 9, "EditNumOld", "9", "ComboBoxNum", 8},
        {302, 10, "EditNumOld", "10", "ComboBoxNum", -1},
        {303, 8, "EditIdOld", "8", "ComboBoxID", 8},
        {303, 9, "EditIdOld", "9", "ComboBoxID", -1},
        {374, 0, "EditModRedundantOld", "0", "ComboBoxModRedundant", 0},
        {374, 10, "EditModRedundantOld", "10", "ComboBoxModRedundant", -1},
        {373, 0, "EditBlkPrd", "Default", "ComboBoxBklTime", 0},
        {373, 2, "EditBlkPrd", "2", "ComboBoxBklTime", -1},
        {373, 10, "EditBlkPrd", "10", "ComboBoxBklTime", 4},
        {373, 30, "EditBlkPrd", "30", "ComboBoxBklTime", 6},
        {334, 0, "EditTxtimes", "Default", "ComboBoxTxtimes", 0},
        {334, 20, "EditTxtimes", "20", "ComboBoxTxtimes", 20},
        {334, 21, "EditTxtimes", "", "ComboBoxTxtimes", -1},
    };
    for (const Case& c : cases) {
        data.clear();
        data.set(c.reg, c.value);
        const SettingsView v = show(0);
        EXPECT_EQ(v.texts.value(c.oldName), QString(c.oldText)) << c.reg << "=" << c.value;
        EXPECT_EQ(v.indexes.value(c.combo, -2), c.index) << c.reg << "=" << c.value;
    }
}

TEST_F(Display, PackedFieldsSelectByIndexAndEmptyTheOldFieldWhenOutOfRange) {
    // 375: up 2 (+20), down 4 (-40), frequency 3 (unlimited), delay 3 (10 s), start after EOD 3 (not
    // in the list of 3), aging 7 (100), fan 1 (yes).
    data.set(375, uint16_t(2 | 4 << 3 | 3 << 6 | 3 << 8 | 3 << 10 | 7 << 12 | 1 << 15));
    // 376: phase loss 1, rise level 3, inlet level 2, bit 8 set (not shown), charger off on generator 1.
    data.set(376, uint16_t(1 | 3 << 1 | 2 << 3 | 1 << 8 | 1 << 12));
    // 370: dormancy 7 (90), rotation 1 (test mode), generator level 3 (12.5%), ambient shutdown 1.
    data.set(370, uint16_t(7 | 1 << 3 | 3 << 6 | 1 << 15));
    // 375 bits 3..5 = 5 and above are not in the list of five.
    SettingsView v = show(0);
    const struct {
        const char* oldName;
        const char* combo;
        int index;
        const char* text;
    } expect[] = {
        {"EditBypVoltUpLmtOld", "ComboBoxBypVoltUpLmt", 2, "+20"},
        {"EditBypVoltDnLmtOld", "ComboBoxBypVoltDnLmt", 4, "-40"},
        {"EditBypFreqRangeOld", "ComboBoxBypFreqRange", 3, "Unlimited"},
        {"EditBattTxRecDlyOld", "ComboBoxBattTxRecDly", 3, "10"},
        {"EditEodEndSysStartOld", "ComboBoxEodEndSysStart", -1, ""},
        {"EditAgingCurrOld", "ComboBoxAgingCurr", 7, "100"},
        {"EditFan3LevelOld", "ComboBoxFan3Level", 1, "Yes"},
        {"EditAllowLostPhsWork", "ComboBoxAllowLostPhsWork", 1, "Yes"},
        {"EditDeltaTmpErrRange", "ComboBoxDeltaTmpErrRange", 3, "Level 4"},
        {"EditFanFaultOff", "ComboBoxFanFaultOff", 2, "Level 3"},
        {"EditMotorMode", "ComboBoxMotorMode", 0, "No"},
        {"EditOverVoltFastCheck", "ComboBoxOverVoltFastCheck", 0, "No"},
        {"EditGenInChgOff", "ComboBoxGenInChgOff", 1, "Yes"},
        {"EditGenInExtChgrModEn", "ComboBoxGenInExtChgrModEn", 0, "No"},
        {"EditDormancyLoadLevelOld", "ComboBoxDormancyLoadLevel", 7, "90"},
        {"EditRotationPrtOld", "ComboBoxRotationPrt", 1, "Test Mode"},
        {"EditGenInChgCurrLevel", "ComboBoxGenInChgCurrLevel", 3, "12.5%"},
        {"EditAmbOvTmpShutdown", "ComboBoxAmbOvTmpShutdown", 1, "Yes"},
    };
    for (const auto& e : expect) {
        EXPECT_EQ(v.indexes.value(e.combo, -2), e.index) << e.combo;
        EXPECT_EQ(v.texts.value(e.oldName), QString(e.text)) << e.oldName;
    }
    // Model 8 reads bits 8..9 as the power on/off mode.
    data.set(375, uint16_t(1 << 8));
    v = show(8);
    EXPECT_EQ(v.texts.value("EditBattTxRecDlyOld"), QString("AutoInv"));
    EXPECT_EQ(show(8, CN).texts.value("EditEodEndSysStartOld"), QString("自动逆变"));
    EXPECT_EQ(show(0, CN).texts.value("EditEodEndSysStartOld"), QString("正常启动"));
}

TEST_F(Display, BatteryTypeAndChargeCurrentLimit) {
    data.set(386, 0x00A1); // lithium, 20 hundredths of C
    SettingsView v = show(0);
    EXPECT_EQ(v.indexes.value("ComboBoxBattType"), 1);
    EXPECT_EQ(v.texts.value("EditBattType"), QString("Lithium"));
    EXPECT_EQ(v.indexes.value("ComboBoxBattLmtChgCurrent"), 19);
    EXPECT_EQ(v.texts.value("EditBattLmtChgCurrent"), QString("0.20"));

    data.set(386, 0x0000); // 0 is the UPS default 0.20 C
    v = show(0);
    EXPECT_EQ(v.texts.value("EditBattType"), QString("Lead-Acid"));
    EXPECT_EQ(v.texts.value("EditBattLmtChgCurrent"), QString("0.20"));

    data.set(386, uint16_t(1 << 3)); // 0.01 C
    EXPECT_EQ(show(0).texts.value("EditBattLmtChgCurrent"), QString("0.01"));
    data.set(386, uint16_t(31 << 3 | 5)); // neither the limit nor the type is in a list
    v = show(0);
    EXPECT_EQ(v.indexes.value("ComboBoxBattLmtChgCurrent"), -1);
    EXPECT_EQ(v.texts.value("EditBattLmtChgCurrent"), QString());
    EXPECT_EQ(v.indexes.value("ComboBoxBattType"), -1);
    EXPECT_EQ(v.texts.value("EditBattType"), QString());
}

TEST_F(Display, BatteryListsFollowTheTypeReadWhereItCanBeChosen) {
    data.set(386, 1); // lithium
    data.set(313, 345);
    data.set(315, 270);
    data.set(311, 140);
    data.set(317, 25);
    SettingsView v = show(0);
    ASSERT_EQ(v.items.value("ComboBoxFloat").size(), 86);
    EXPECT_EQ(v.items.value("ComboBoxFloat").at(v.indexes.value("ComboBoxFloat")), QString("3.45"));
    EXPECT_EQ(v.items.value("ComboBoxEod1").at(v.indexes.value("ComboBoxEod1")), QString("2.70"));
    EXPECT_EQ(v.items.value("ComboBoxBattNum").size(), 47);
    EXPECT_EQ(v.items.value("ComboBoxBattNum").at(v.indexes.value("ComboBoxBattNum")), QString("140"));
    EXPECT_EQ(v.items.value("ComboBoxChg").size(), 30); // lithium: 1..30 %
    EXPECT_EQ(v.indexes.value("ComboBoxChg"), 24);
    EXPECT_TRUE(v.enabled.value("EditStandbyTimeNew"));
    EXPECT_FALSE(v.greyed.value("EditStandbyTimeOld"));

    // Model 1 cannot choose the type: lead-acid voltages whatever the register says.
    v = show(1);
    EXPECT_EQ(v.items.value("ComboBoxFloat").size(), 26);
    EXPECT_EQ(v.indexes.value("ComboBoxFloat"), -1);
    EXPECT_EQ(v.items.value("ComboBoxBattNum").size(), 11);
    EXPECT_FALSE(v.enabled.value("EditStandbyTimeNew"));

    data.set(386, 0); // lead-acid on model 0: backup time locked
    v = show(0);
    EXPECT_EQ(v.items.value("ComboBoxFloat").size(), 26);
    EXPECT_FALSE(v.enabled.value("EditStandbyTimeNew", true));
    EXPECT_TRUE(v.greyed.value("EditStandbyTimeOld"));
    EXPECT_TRUE(v.greyed.value("EditStandbyTimeNew"));
}

TEST_F(Display, SystemClockValidOrPlainWithPickersOnThePcClock) {
    data.set(424, 0x0907);
    data.set(425, 0x9405); // flag bit 15 set
    data.set(426, 0x0324);
    SettingsView v = show(1);
    EXPECT_EQ(v.texts.value("EditSysTimeOld"), QString("2024-03-05 14:07"));
    ASSERT_TRUE(v.clock.has_value());
    EXPECT_EQ(*v.clock, QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));

    data.set(424, 0x0005);
    data.set(425, 0x1030);
    data.set(426, 0x0213); // 2013-02-30
    v = show(1);
    EXPECT_EQ(v.texts.value("EditSysTimeOld"), QString("2013-2-30 10:5"));
    EXPECT_EQ(*v.clock, kPcNow);
}

TEST_F(Display, ClockFlagIsClearedInTheStore) {
    data.set(425, 0x9405);
    clearClockFlag(data);
    EXPECT_EQ(data[425], 0x1405);
}

TEST_F(Display, BitWordsTickTheirBoxes) {
    data.set(329, 0x8011);
    data.set(330, 0x0200);
    data.set(369, 0xFFFF);
    const SettingsView v = show(0);
    EXPECT_EQ(v.texts.value("Editsyscode1"), QString("32785"));
    EXPECT_EQ(v.texts.value("Editsyscode4"), QString("512"));
    EXPECT_EQ(v.texts.value("EditCfgCode1"), QString("65535"));
    EXPECT_TRUE(v.checks.value(bitBoxName(BitWord::SysCode1, 0)));
    EXPECT_TRUE(v.checks.value(bitBoxName(BitWord::SysCode1, 4)));
    EXPECT_TRUE(v.checks.value(bitBoxName(BitWord::SysCode1, 15)));
    EXPECT_FALSE(v.checks.value(bitBoxName(BitWord::SysCode1, 1), true));
    EXPECT_TRUE(v.checks.value(bitBoxName(BitWord::SysCode4, 9)));
    EXPECT_FALSE(v.checks.value(bitBoxName(BitWord::SysCode4, 8), true));
    for (int bit = 0; bit < 16; ++bit)
        EXPECT_TRUE(v.checks.value(bitBoxName(BitWord::CfgCode1, bit)));
}

TEST_F(Display, EodCaptionsFollowSystemCode4Bit9OnModels578) {
    struct Case {
        int model;
        uint16_t code4;
        const char* eod1;
        const char* eod2;
    };
    const Case cases[] = {
        {5, 0x0200, "Battery Boot EOD(V)", "Utility to Battery EOD(V)"},
        {8, 0x0200, "Battery Boot EOD(V)", "Utility to Battery EOD(V)"},
        {7, 0xFDFF, "EOD Voltage/Cell,@0.6C Current(V)", "EOD Voltage/Cell,@0.15C Current(V)"},
        {6, 0x0200, "EOD Voltage/Cell,@0.6C Current(V)", "EOD Voltage/Cell,@0.15C Current(V)"},
        {0, 0x0200, "EOD Voltage/Cell,@0.6C Current(V)", "EOD Voltage/Cell,@0.15C Current(V)"},
    };
    for (const Case& c : cases) {
        data.set(330, c.code4);
        const SettingsView v = show(c.model);
        EXPECT_EQ(v.captions.value("Label72"), QString(c.eod1)) << c.model;
        EXPECT_EQ(v.captions.value("Label73"), QString(c.eod2)) << c.model;
    }
    data.set(330, 0x0200);
    EXPECT_EQ(show(7, CN).captions.value("Label72"), QString("电池启动EOD(V)"));
    EXPECT_EQ(show(7, CHT).captions.value("Label73"), QString("市电转电池EOD(V)"));
}

TEST_F(Display, DryContactsSelectFromTheListsTheContactsHold) {
    data.set(377, 0x0B03);
    data.set(379, 0x0E09);
    SettingsView v = show(0);
    EXPECT_EQ(v.texts.value("EditIPDry1"), QString("BCB Status"));
    EXPECT_EQ(v.texts.value("EditIPDry2"), QString("Stop Boost Charge"));
    EXPECT_EQ(v.texts.value("EditOPDry1"), QString("Normal Mode"));
    EXPECT_EQ(v.texts.value("EditOPDry2"), QString("Battery Boost Charge"));
    EXPECT_EQ(show(2, CHT).texts.value("EditIPDry1"), QString("BCB状态")); // CHT repeats the CN lists

    // Model 6: contact 1 has list B; hidden contact 2 still holds list A and keeps its value.
    ListContext a;
    a.model = 0;
    HeldLists held;
    held["ComboBoxIPDry2"] = itemTexts(ItemList::InputDry, a);
    v = show(6, EN, held);
    EXPECT_EQ(v.texts.value("EditIPDry1"), QString("Maint CB Close"));
    EXPECT_EQ(v.indexes.value("ComboBoxIPDry2"), 11);
    EXPECT_EQ(show(6).indexes.value("ComboBoxIPDry2"), -1); // list B has only five items
}

TEST(PageInit, ListsPresetsAndDryContacts) {
    RegisterStore data(301, 480);
    const QDateTime now(QDate(2030, 1, 2), QTime(3, 4, 5));

    SettingsView v = pageInitView(0, EN, 1, data, now); // model 0, lithium shown
    EXPECT_EQ(v.items.value("ComboBoxBattNum").at(v.indexes.value("ComboBoxBattNum")), QString("140"));
    EXPECT_EQ(v.items.value("ComboBoxFloat").at(v.indexes.value("ComboBoxFloat")), QString("3.45"));
    EXPECT_EQ(v.items.value("ComboBoxBoost").at(v.indexes.value("ComboBoxBoost")), QString("3.45"));
    EXPECT_EQ(v.items.value("ComboBoxEod1").at(v.indexes.value("ComboBoxEod1")), QString("2.70"));
    EXPECT_EQ(v.items.value("ComboBoxEod2").at(v.indexes.value("ComboBoxEod2")), QString("2.70"));
    EXPECT_EQ(v.items.value("ComboBoxChg").at(v.indexes.value("ComboBoxChg")), QString("10"));
    EXPECT_EQ(v.indexes.value("ComboBoxMode"), 0);
    EXPECT_EQ(v.items.value("ComboBoxMode").size(), 7);
    EXPECT_FALSE(v.indexes.contains("ComboBoxBypVoltUpLmt")); // follows the language, keeps its item
    EXPECT_EQ(v.indexes.value("ComboBoxIPDry2"), 3);
    EXPECT_EQ(v.indexes.value("ComboBoxOPDry2"), 10);
    EXPECT_EQ(v.items.value("ComboBoxOPDry1").size(), 15);
    EXPECT_FALSE(v.items.contains("ComboBoxIPDry4")); // J4 keeps its list and item
    EXPECT_EQ(*v.clock, now);

    v = pageInitView(0, EN, 0, data, now); // lead-acid
    EXPECT_EQ(v.items.value("ComboBoxBattNum").at(v.indexes.value("ComboBoxBattNum")), QString("40"));
    EXPECT_EQ(v.items.value("ComboBoxFloat").at(v.indexes.value("ComboBoxFloat")), QString("2.25"));
    EXPECT_EQ(v.items.value("ComboBoxBoost").at(v.indexes.value("ComboBoxBoost")), QString("2.25"));
    EXPECT_EQ(v.items.value("ComboBoxEod1").at(v.indexes.value("ComboBoxEod1")), QString("1.65"));
    EXPECT_EQ(v.items.value("ComboBoxEod2").at(v.indexes.value("ComboBoxEod2")), QString("1.75"));

    v = pageInitView(8, CN, 0, data, now);
    EXPECT_EQ(v.items.value("ComboBoxMode"), QStringList({"单机", "单机ECO"}));
    EXPECT_EQ(v.items.value("ComboBoxBoost"), QStringList({"2.25", "2.30"}));
    EXPECT_EQ(v.items.value("ComboBoxBattNum"), QStringList({"3", "6", "8"}));
    EXPECT_EQ(v.items.value("ComboBoxChg").at(v.indexes.value("ComboBoxChg")), QString("1.0"));
    EXPECT_EQ(v.captions.value("LabelBattTxRecDelay"), QString("开关机模式"));
    EXPECT_EQ(v.captions.value("Label74"), QString("功率模块充电电流限值(A)"));
    EXPECT_EQ(v.captions.value("Label29"), QString("模块容量"));

    v = pageInitView(6, EN, 0, data, now);
    EXPECT_EQ(v.captions.value("LabelIPDry1"), QString("Pin4"));
    EXPECT_EQ(v.captions.value("LabelOPDry4"), QString("Pin9"));
    EXPECT_EQ(v.items.value("ComboBoxIPDry1").size(), 5);
    EXPECT_EQ(v.indexes.value("ComboBoxOPDry2"), 1);
    EXPECT_FALSE(v.items.contains("ComboBoxIPDry2")); // hidden on model 6: keeps what it had

    v = pageInitView(5, EN, 0, data, now);
    EXPECT_EQ(v.captions.value("LabelChgFailAlmEn"), QString("Charger Fail Alarm Disable"));
    EXPECT_EQ(v.captions.value("Label29"), QString("RateKva"));
    EXPECT_EQ(v.captions.value("Label34"), QString("UsedKva"));
    EXPECT_EQ(pageInitView(5, CHT, 0, data, now).captions.value("LabelChgFailAlmEn"),
              QString("充電器故障報警使能"));
}

TEST(PageInit, TextRegistersAreResetToBlanks) {
    RegisterStore data(301, 480);
    data.set(426, 7);
    data.set(440, 9);
    resetTextRegisters(data);
    for (int r = 427; r <= 439; ++r)
        EXPECT_EQ(data[r], 0x2020) << r;
    EXPECT_EQ(data[426], 7);
    EXPECT_EQ(data[440], 9);
}
