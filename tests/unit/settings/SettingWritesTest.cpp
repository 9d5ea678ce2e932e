// The Set buttons without a window: the page as the display fills it from the UPS's registers,
// a few controls changed, then the write list and the checks.

#include "settings/SettingWrites.h"

#include <gtest/gtest.h>

using namespace zav;

namespace {

const QDateTime kNow(QDate(2031, 7, 8), QTime(9, 10, 11));
constexpr int EN = 1;
constexpr int CN = 0;

QVector<int> regsOf(const QVector<WriteEntry>& entries) {
    QVector<int> regs;
    for (const WriteEntry& e : entries)
        regs << e.reg;
    return regs;
}

QVector<int> range(int first, int last) {
    QVector<int> r;
    for (int reg = first; reg <= last; ++reg)
        r << reg;
    return r;
}

struct Writes : ::testing::Test {
    RegisterStore data{301, 480};
    FormState form;
    int model = 0;

    // Values every list can show, so that the page holds exactly what the UPS holds.
    void SetUp() override {
        const std::pair<int, int> values[] = {
            {301, 1},
            {302, 3},
            {303, 1},
            {304, 220},
            {305, 5},
            {306, 20},
            {307, 30},
            {308, 2417},
            {309, 86},
            {311, 40},
            {312, 100},
            {313, 225},
            {314, 225},
            {315, 165},
            {316, 175},
            {317, 10},
            {318, 12},
            {319, 4320},
            {320, 2160},
            {321, 100},
            {322, 100},
            {323, 25},
            {324, 25},
            {325, 220},
            {326, 50},
            {327, 220},
            {328, 50},
            {329, 0x0281},
            {330, 0x0008},
            {331, 5},
            {332, 105},
            {333, 300},
            {334, 0},
            {369, 0x8001},
            {370, 0x8000 | 2 << 3 | 1},
            {373, 5},
            {374, 1},
            {375, 0x1234 & 0x7FFF},
            {376, 0x0041},
            {377, 0x0300},
            {378, 0x0005},
            {379, 0x0A00},
            {380, 0x0603},
            {381, 30},
            {382, 24},
            {383, 5},
            {384, 300},
            {385, 45 << 8 | 40},
            {386, 20 << 3},
            {387, 30},
            {388, 10},
            {389, 10},
            {421, 40000},
            {422, 40000},
            {423, 40000},
            {424, 0x0907},
            {425, 0x1405},
            {426, 0x0324},
            {440, 5},
            {441, 4},
            {442, 90},
        };
        for (const auto& [reg, v] : values)
            data.set(reg, uint16_t(v));
        const QVector<uint16_t> type = packText("UPS10K", 5), company = packText("ZAV", 8);
        for (int k = 0; k < 5; ++k)
            data.set(427 + k, type[k]);
        for (int k = 0; k < 8; ++k)
            data.set(432 + k, company[k]);
    }
    void load(int m) {
        model = m;
        form = formFromDisplay(data, m, EN, kNow);
    }
    void pick(const char* combo, const QString& text, int index) {
        form.texts[combo] = text;
        form.indexes[combo] = index;
    }
    SetResult set(SetPage page, const QSet<const SettingRow*>& only = {}) {
        return buildSet(page, form, model, data, only);
    }
    uint16_t valueOf(const SetResult& r, int reg) {
        for (const WriteEntry& e : r.entries)
            if (e.reg == reg) return e.value;
        ADD_FAILURE() << "no entry for " << reg;
        return 0;
    }
};

} // namespace

TEST_F(Writes, UnchangedPagesQueueWhatTheUpsHolds) {
    // A Set with nothing changed queues the page, and every entry equals the value read, so the
    // write sequence sends nothing but still reads back.
    for (int m = 0; m <= 8; ++m) {
        load(m);
        for (const SetPage page :
             {SetPage::Rated, SetPage::CfgCode, SetPage::System, SetPage::Battery, SetPage::DryContacts}) {
            const SetResult r = set(page);
            ASSERT_TRUE(r.ok()) << "model " << m << " page " << int(page) << " " << (r.row ? r.row->key : "")
                                << " " << r.text.toStdString();
            EXPECT_FALSE(r.entries.isEmpty());
            for (const WriteEntry& e : r.entries) {
                if (e.reg >= 424 && e.reg <= 426) continue;             // the clock goes from the pickers
                if (page == SetPage::Battery && e.reg == 386) continue; // 0.20 C is written as 20
                EXPECT_EQ(e.value, data[e.reg]) << "model " << m << " register " << e.reg;
            }
        }
    }
}

TEST_F(Writes, RatedPageOrderPerModel) {
    const QVector<int> tail = QVector<int>{329, 330, 331} + range(427, 439);
    load(0);
    EXPECT_EQ(regsOf(set(SetPage::Rated).entries),
              QVector<int>({321, 323, 325, 327, 326, 328, 322, 324}) + tail);
    EXPECT_EQ(set(SetPage::Rated).entries.size(), 24);
    for (int m = 3; m <= 7; ++m) {
        load(m);
        EXPECT_EQ(regsOf(set(SetPage::Rated).entries), QVector<int>({323, 325, 327, 326, 328, 324}) + tail)
            << m;
    }
    load(8);
    const SetResult r = set(SetPage::Rated);
    EXPECT_EQ(regsOf(r.entries), QVector<int>({327, 328}) + tail);
    EXPECT_EQ(r.entries.size(), 18);
}

TEST_F(Writes, RatedConversions) {
    load(1);
    form.texts["EditUPSTypeNew"] = "ABC";
    form.texts["EditCompanyNameNew"] = "Power Company X"; // 15 characters: the last byte stays blank
    form.texts["EditUPSModeNew"] = "1023";
    form.checks[bitBoxName(BitWord::SysCode1, 0)] = true;
    pick("ComboBox19", "230", 8);
    SetResult r = set(SetPage::Rated);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(valueOf(r, 427), 0x4142);
    EXPECT_EQ(valueOf(r, 428), 0x4320);
    for (int reg = 429; reg <= 431; ++reg)
        EXPECT_EQ(valueOf(r, reg), 0x2020);
    EXPECT_EQ(valueOf(r, 439), uint16_t('X' << 8 | ' '));
    EXPECT_EQ(valueOf(r, 331), 1023);
    EXPECT_EQ(valueOf(r, 329), 0x0281 | 1);
    EXPECT_EQ(valueOf(r, 327), 230);

    // A bit the model hides (bit 7 of 329 is never shown) goes back as read.
    data.set(329, 0x0080);
    load(1);
    EXPECT_EQ(valueOf(set(SetPage::Rated), 329), 0x0080);

    // Models 5-8 show and write the capacities in kVA.
    load(5);
    pick("ComboBox17", "10", 8);
    EXPECT_EQ(valueOf(set(SetPage::Rated), 323), 10);
}

TEST_F(Writes, FailuresOfEachKind) {
    struct Case {
        SetPage page;
        int model;
        const char* control;
        const char* text;
        SetFailure failure;
    };
    const Case cases[] = {
        {SetPage::Rated, 0, "EditUseCabCap", "", SetFailure::NotAnInteger},
        {SetPage::Rated, 0, "EditUPSModeNew", "1024", SetFailure::OutOfRange}, // beyond the 10 mode bits
        {SetPage::Rated, 0, "EditUPSTypeNew", "ABCDEFGHIJK", SetFailure::BadValue},
        {SetPage::System, 0, "EditOutV", "", SetFailure::NoData},
        {SetPage::System, 0, "EditOutV", "231", SetFailure::OutOfRange},
        {SetPage::System, 0, "EditFreq1", "0.05", SetFailure::OutOfRange},
        {SetPage::System, 0, "EditFreq1", "", SetFailure::NoData}, // empty is no data, not zero
        {SetPage::System, 0, "EditFreq2", "0.4", SetFailure::OutOfRange},
        {SetPage::System, 0, "EditBypFanRunTimeNew", "999", SetFailure::OutOfRange},
        {SetPage::System, 0, "EditModCapacitorRunTimeNew", "60001", SetFailure::OutOfRange},
        {SetPage::System, 1, "EditLogoShowTimeNew", "61", SetFailure::OutOfRange},
        {SetPage::Battery, 0, "EditBattAhNew", "0", SetFailure::OutOfRange},
        {SetPage::Battery, 0, "EditBattAhNew", "x", SetFailure::NoData},
        {SetPage::Battery, 0, "EditTempComp", "5.1", SetFailure::OutOfRange},
        {SetPage::Battery, 0, "EditBoostLmt", "49", SetFailure::OutOfRange},
        {SetPage::Battery, 0, "EditBoostPrd", "719", SetFailure::OutOfRange},
        // 66256 would be 720 in 16 bits: refused rather than cut
        {SetPage::Battery, 0, "EditDischgPrd", "66256", SetFailure::OutOfRange},
        {SetPage::Battery, 8, "EditDeepDischgTime", "9", SetFailure::OutOfRange},
        {SetPage::Battery, 5, "EditDeepDischgTime", "301", SetFailure::OutOfRange},
        {SetPage::Battery, 5, "EditNoBattDetPrd", "4", SetFailure::OutOfRange},
        {SetPage::Battery, 5, "EditNoBattDetOffTime", "6", SetFailure::OutOfRange},
        {SetPage::Battery, 0, "EditBattRunTimeNew", "3001", SetFailure::OutOfRange},
        {SetPage::Battery, 0, "EditStandbyTimeNew", "6001", SetFailure::OutOfRange},
        {SetPage::Battery, 0, "EditChgModCurrLimitNew", "100", SetFailure::OutOfRange},
        {SetPage::Battery, 0, "EditBattAmbientOvTmpNew", "", SetFailure::NoData},
        {SetPage::Battery, 0, "EditBattOvTmpNew", "256", SetFailure::OutOfRange}, // one byte
    };
    for (const Case& c : cases) {
        load(c.model);
        form.disabled.remove("EditStandbyTimeNew"); // the lithium rule would keep it out
        form.texts[c.control] = c.text;
        const SetResult r = set(c.page);
        EXPECT_EQ(int(r.failure), int(c.failure)) << c.control << " '" << c.text << "' model " << c.model;
        ASSERT_NE(r.row, nullptr) << c.control;
        EXPECT_STREQ(r.row->newName, c.control);
    }
    // The same fields pass at their limits.
    const Case passing[] = {
        {SetPage::System, 0, "EditOutV", "210", SetFailure::None},
        {SetPage::System, 0, "EditFreq1", "5.", SetFailure::None},
        {SetPage::Battery, 8, "EditDeepDischgTime", "60", SetFailure::None},
        {SetPage::Battery, 0, "EditDeepDischgTime", "999", SetFailure::None}, // not on model 0
        {SetPage::Battery, 0, "EditTempComp", "5.0", SetFailure::None},
    };
    for (const Case& c : passing) {
        load(c.model);
        form.texts[c.control] = c.text;
        EXPECT_TRUE(set(c.page).ok()) << c.control << " " << c.text;
    }
}

TEST_F(Writes, FirstFailureInCheckOrderAndMessages) {
    load(0);
    form.texts["EditLogoShowTimeNew"] = "99";
    form.texts["EditFreq2"] = "9";
    pick("ComboBoxID", "3", 3); // ID 3 with three units
    const SetResult r = set(SetPage::System);
    ASSERT_EQ(r.failure, SetFailure::OutOfRange);
    EXPECT_STREQ(r.row->newName, "EditFreq2"); // 306 is checked before 303 and 440
    const QString message = setFailureText(r, 0, EN, data, form);
    EXPECT_TRUE(message.startsWith("Check the value, please!")) << message.toStdString();
    EXPECT_TRUE(message.contains("0.5 ~ 5.0 Hz")) << message.toStdString();

    form.texts["EditFreq2"] = "2";
    const SetResult id = set(SetPage::System);
    ASSERT_EQ(id.failure, SetFailure::OutOfRange);
    EXPECT_STREQ(id.row->newName, "ComboBoxID");
    pick("ComboBoxID", "2", 2);
    EXPECT_STREQ(set(SetPage::System).row->newName, "EditLogoShowTimeNew");

    load(0);
    form.texts["EditUseCabCap"] = "";
    EXPECT_TRUE(
        setFailureText(set(SetPage::Rated), 0, EN, data, form).startsWith("'' is not a valid integer value"));
    load(0);
    form.texts["EditBattAhNew"] = "";
    const SetResult noData = set(SetPage::Battery);
    EXPECT_FALSE(noData.storeNew());
    EXPECT_TRUE(setFailureText(noData, 0, EN, data, form).startsWith("No data or wrong data!"));
}

TEST_F(Writes, SystemPageConversions) {
    load(8);
    EXPECT_EQ(regsOf(set(SetPage::System).entries), QVector<int>({301, 304, 306, 388, 373, 375}));

    load(1);
    form.texts["Edit4"] = "001234";
    EXPECT_FALSE(regsOf(set(SetPage::System).entries).contains(308)); // six digits: not written
    form.texts["Edit4"] = "0012345";
    SetResult r = set(SetPage::System);
    EXPECT_EQ(valueOf(r, 308), 12);
    EXPECT_EQ(valueOf(r, 309), 345);
    EXPECT_EQ(regsOf(r.entries),
              QVector<int>({301, 302, 303, 304, 305, 306, 308, 309, 440, 373, 374, 375, 376, 424, 425, 426}));

    form.clock = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
    r = set(SetPage::System);
    EXPECT_EQ(valueOf(r, 424), 0x0907);
    EXPECT_EQ(valueOf(r, 425), 0x1405);
    EXPECT_EQ(valueOf(r, 426), 0x0324);

    // Mode codes by model, packed fields, backlight "default".
    load(8);
    pick("ComboBoxMode", "SingleECO", 1);
    pick("ComboBoxBklTime", "Default", 0);
    pick("ComboBoxBattTxRecDly", "AutoByp", 2);
    pick("ComboBoxBypVoltUpLmt", "+25", 3);
    r = set(SetPage::System);
    EXPECT_EQ(valueOf(r, 301), 4);
    EXPECT_EQ(valueOf(r, 373), 0);
    EXPECT_EQ(valueOf(r, 375), (data[375] & ~0x0307) | 2 << 8 | 3);

    load(0);
    pick("ComboBoxGenInExtChgrModEn", "Yes", 1);
    pick("ComboBoxTxtimes", "7", 7);
    r = set(SetPage::System);
    EXPECT_EQ(valueOf(r, 376), (data[376] & ~0x0100) | 0x8000); // bit 8 is always written as 0
    EXPECT_EQ(valueOf(r, 334), 7);
}

TEST_F(Writes, ListsWithoutSelectionKeepTheValueRead) {
    // The UPS holds values the lists cannot show: the Set leaves them as they are.
    data.set(334, 25);
    data.set(375, uint16_t(7 | 3 << 3)); // upper limit index 7 is beyond the four items
    data.set(301, 6);                    // parallel ECO is not a mode of model 5
    data.set(313, 199);
    load(5);
    EXPECT_EQ(form.index("ComboBoxBypVoltUpLmt"), -1);
    SetResult r = set(SetPage::System);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(valueOf(r, 375), data[375]);
    EXPECT_FALSE(regsOf(r.entries).contains(301));
    r = set(SetPage::Battery);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(valueOf(r, 313), 199);
    load(0);
    EXPECT_EQ(valueOf(set(SetPage::System), 334), 25);
}

TEST_F(Writes, BatteryPageConversions) {
    load(0);
    pick("ComboBoxFloat", "2.25", 15);
    pick("ComboBoxBoost", "2.25", 10);
    pick("ComboBoxBattNum", "40", 6);
    SetResult r = set(SetPage::Battery);
    EXPECT_EQ(regsOf(r.entries).mid(0, 3), QVector<int>({311, 313, 314}));
    EXPECT_EQ(valueOf(r, 311), 40);
    EXPECT_EQ(valueOf(r, 313), 225);
    EXPECT_EQ(valueOf(r, 314), 225);

    pick("ComboBoxBattType", "Lithium", 1);
    pick("ComboBoxBattLmtChgCurrent", "0.20", 19);
    form.texts["EditBattOvTmpNew"] = "41";
    form.texts["EditBattAmbientOvTmpNew"] = "52";
    r = set(SetPage::Battery);
    EXPECT_EQ(valueOf(r, 386), 161);
    EXPECT_EQ(valueOf(r, 385), 52 << 8 | 41);
    EXPECT_EQ(regsOf(r.entries).mid(r.entries.size() - 2), QVector<int>({385, 386}));

    load(5);
    pick("ComboBoxChg", "1.0", 1);
    EXPECT_EQ(valueOf(set(SetPage::Battery), 317), 100);
    load(2);
    pick("ComboBoxChg", "10", 9);
    EXPECT_EQ(valueOf(set(SetPage::Battery), 317), 10);
}

TEST_F(Writes, CodeWordsAndDryContacts) {
    load(3); // GroupBoxCfgCode2 is hidden on model 3, 370 still goes with the indexes read
    form.checks[bitBoxName(BitWord::CfgCode1, 4)] = true;
    SetResult r = set(SetPage::CfgCode);
    EXPECT_EQ(regsOf(r.entries), QVector<int>({369, 370}));
    EXPECT_EQ(valueOf(r, 369), 0x8011);
    EXPECT_EQ(valueOf(r, 370), data[370]);
    load(0);
    pick("ComboBoxRotationPrt", "Test Mode", 1);
    pick("ComboBoxGenInChgCurrLevel", "12.5%", 3);
    EXPECT_EQ(valueOf(set(SetPage::CfgCode), 370), 0x8000 | 3 << 6 | 1 << 3 | 1);

    // Model 6 shows three output contacts and one input; the hidden ones keep their bytes.
    load(6);
    pick("ComboBoxIPDry1", "Mute", 2);
    r = set(SetPage::DryContacts);
    EXPECT_EQ(regsOf(r.entries), QVector<int>({377, 378, 379, 380}));
    EXPECT_EQ(valueOf(r, 377), 0x0302);
    EXPECT_EQ(valueOf(r, 378), 0x0005);
}

TEST_F(Writes, ScriptsWriteOnlyTheNamedSettings) {
    load(1);
    const SettingRow* units = rowByKey("system.units");
    ASSERT_NE(units, nullptr);
    pick("ComboBoxNum", "1", 0); // one unit, but the UPS has unit ID 1
    SetResult r = set(SetPage::System, {units});
    ASSERT_EQ(r.failure, SetFailure::OutOfRange);
    EXPECT_STREQ(r.row->key, "system.unit_id");
    pick("ComboBoxNum", "2", 1);
    r = set(SetPage::System, {units});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(regsOf(r.entries), QVector<int>({302})); // no clock, no other register
    // Every row a script can name has a key of its own.
    QSet<QString> keys;
    for (const SettingRow& row : settingRows()) {
        ASSERT_NE(row.key, nullptr) << row.oldName;
        EXPECT_FALSE(keys.contains(row.key)) << row.key;
        keys.insert(row.key);
    }
}

TEST_F(Writes, UnwrittenSettingsAreNamed) {
    load(0);
    const QVector<WriteEntry> queued = {
        {312, 200}, {375, uint16_t(data[375] ^ 0x0003)}, {311, 40}, {427, 0x4142}};
    const QVector<WriteResult> results = {
        {312, 200, WriteOutcome::Refused, 3},
        {375, queued[1].value, WriteOutcome::NoAnswer, 0},
        {311, 40, WriteOutcome::Unchanged, 0},
    }; // 427 never handled: the link was reset
    const QVector<WriteEntry> unconfirmed = unconfirmedEntries(queued, results);
    EXPECT_EQ(regsOf(unconfirmed), QVector<int>({312, 375, 427}));

    data.set(427, 0x4142); // the UPS took that one after all
    const QVector<WriteEntry> missing = entriesNotHeld(unconfirmed, data);
    EXPECT_EQ(regsOf(missing), QVector<int>({312, 375}));
    const QString text = notWrittenText(missing, 0, EN, data);
    EXPECT_TRUE(text.contains("Battery AH")) << text.toStdString();
    EXPECT_TRUE(text.contains("Bypass Voltage Upper Limit(%)")) << text.toStdString();
    EXPECT_FALSE(text.contains("Bypass Voltage Lower Limit"))
        << text.toStdString(); // that field was not changed
}

TEST_F(Writes, ResultLineSaysWhatTheReadBackFound) {
    load(0);
    const QVector<WriteEntry> missing = {{312, 200}};
    const struct {
        SetStage stage;
        bool someMissing;
        const char* line;
    } cases[] = {
        {SetStage::Started, false, "Writing 4 registers to the UPS..."},
        {SetStage::ReadBack, false, "Written and read back: the UPS holds the new values of all 4 registers."},
        {SetStage::LinkReset, false, "Written, but the link was reset before the read-back: check after reconnecting."},
        {SetStage::ReadBack, true, "Not written (the page shows what the UPS holds): Battery AH"},
        {SetStage::LinkReset, true, "Not written (the page shows what the UPS holds): Battery AH"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(setResultLine(c.stage, 4, c.someMissing ? missing : QVector<WriteEntry>{}, 0, EN, data), c.line)
            << int(c.stage);
    EXPECT_EQ(setResultLine(SetStage::ReadBack, 2, {}, 0, CN, data),
              QString::fromUtf8("已写入并回读：UPS保存了全部 2 个寄存器的新值。"));
}

TEST_F(Writes, OutputVoltageHintAndClamp) {
    data.set(327, 220);
    data.set(304, 221);
    EXPECT_EQ(outputVoltageHint(EN, data), "Range210-230V");
    EXPECT_EQ(clampOutputVoltage("235", data), "230");
    EXPECT_EQ(clampOutputVoltage("100", data), "210");
    EXPECT_EQ(clampOutputVoltage("", data), "221");
    data.set(327, 5);
    EXPECT_EQ(outputVoltageHint(EN, data), "Range0-15V");
    EXPECT_EQ(rotationHint(1, EN), "Time, 9 Minute");
    EXPECT_EQ(rotationHint(2, EN), "");
}
