#include "service/Calibration.h"

#include <gtest/gtest.h>

using namespace zav;

namespace {

using E = CalibrationEntry;

TEST(Calibration, EntriesAreScaledAndRangeChecked) {
    struct Case {
        int reg;
        const char* text;
        E::Error error;
        uint16_t value;
    } cases[] = {
        {336, "220.5", E::None, 2205},
        {336, "220,", E::None, 2200},
        {336, "+230", E::None, 2300},
        {342, "1.255", E::None, 125}, // the third decimal is dropped
        {342, "-1.5", E::None, 0xFF6A},
        {342, "-3.01", E::CheckValue, 0},
        {342, "3", E::None, 300},
        {339, "99.9", E::CheckValue, 0},
        {339, "300.0", E::None, 3000},
        {345, "300.1", E::CheckValue, 0},
        {349, "100", E::None, 1000},
        {401, "220.0", E::None, 2200},
        {407, "400.1", E::CheckValue, 0},
        {407, "0.0", E::None, 0}, // the transformer rows have no lower limit
        {410, "400", E::None, 4000},
        {336, "2+3", E::NoData, 0},
        {342, "1-2", E::NoData, 0},
        // A box without a digit is no entry: it must not become a true value of 0 V.
        {407, "", E::NoData, 0},
        {407, ".", E::NoData, 0},
        // Out of range before it becomes a word: 6700.0 V must not wrap to 146.4 V, 6600 to 46.4 V.
        {336, "6700.", E::CheckValue, 0},
        {407, "6600", E::CheckValue, 0},
        {342, "99999", E::CheckValue, 0},
    };
    for (const Case& c : cases) {
        const CalibrationRow* row = calibrationRowForRegister(c.reg);
        ASSERT_TRUE(row) << c.reg;
        const E e = checkCalibrationEntry(*row, QString::fromLatin1(c.text));
        EXPECT_EQ(e.error, c.error) << c.reg << " " << c.text;
        if (c.error == E::None) {
            EXPECT_EQ(e.value, c.value) << c.reg << " " << c.text;
        }
    }
}

// The question before a write names the channel and the value as it goes on the wire.
TEST(Calibration, QuestionNamesTheChannelAndTheValueWritten) {
    struct Case {
        int reg;
        const char* text;
        const char* shown;
    } cases[] = {
        {336, "220.5", "220.5"}, {342, "-1.5", "-1.50"}, {342, "0.05", "0.05"}, {342, "1.255", "1.25"},
        {407, "0", "0.0"},       {349, "100", "100.0"},  {342, "-0.07", "-0.07"},
    };
    for (const Case& c : cases) {
        const CalibrationRow& row = *calibrationRowForRegister(c.reg);
        const E e = checkCalibrationEntry(row, QString::fromLatin1(c.text));
        ASSERT_EQ(e.error, E::None) << c.text;
        EXPECT_EQ(calibrationValueText(row, e.value), c.shown) << c.reg << " " << c.text;
        for (int lang : {0, 1, 2}) {
            const QString q = calibrationQuestion(row, e.value, lang);
            EXPECT_TRUE(q.contains(QString::fromUtf8(row.caption[lang]))) << c.reg << " " << lang;
            EXPECT_TRUE(q.contains(QStringLiteral("%1 V").arg(c.shown))) << c.reg << " " << lang;
        }
    }
    EXPECT_EQ(calibrationQuestion(*calibrationRowForRegister(336), 2205, 1),
              "\"Inverter Voltage A\"\n\n220.5 V goes to the UPS as the true value; the UPS corrects its "
              "measurement of this channel from it.\n\nWrite it?");
}

TEST(Calibration, EntryKeys) {
    struct Case {
        CalKind kind;
        char key;
        const char* current;
        bool accepted;
    } cases[] = {
        {CalKind::Ac, '7', "", true},      {CalKind::Ac, '+', "", true},
        {CalKind::Ac, '.', "22", true},    {CalKind::Ac, ',', "22.", false},
        {CalKind::Ac, '.', "22,", false},  {CalKind::Ac, '-', "", false},
        {CalKind::Dc, '-', "", true},      {CalKind::Transformer, '-', "", false},
        {CalKind::Ac, 'a', "", false},     {CalKind::Dc, 'e', "1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(calibrationKeyAccepted(c.kind, QLatin1Char(c.key), c.current), c.accepted)
            << int(c.kind) << " '" << c.key << "' after " << c.current;
}

TEST(Calibration, ModuleDisplayAndItsLabel) {
    RegisterStore data(1, 80);
    data.set(72, 2205);
    data.set(13, 2198);
    data.set(50, 4321);
    struct Case {
        int model;
        uint16_t reg71;
        bool boxesFollow;
        const char* label;
    } cases[] = {
        {0, 5, true, ""},
        {3, 1, true, ""},
        {5, 2, true, "Current unit ID:2"}, // no blank between the text and the number
        {1, 0x0013, true, "Current unit ID:3"},
        {8, 1, true, "Conditions not OK!"},
        {1, 0x0010, false, "Conditions not OK!"}, // only bits 0 to 3 count
        {0, 0, false, "Conditions not OK!"},
    };
    for (const Case& c : cases) {
        data.set(71, c.reg71);
        const CalDisplay d = modVoltAdjDisplay(c.model, data, 1);
        EXPECT_EQ(d.label, QString::fromUtf8(c.label)) << c.model << " " << c.reg71;
        EXPECT_EQ(!d.texts.empty(), c.boxesFollow) << c.model << " " << c.reg71;
    }
    data.set(71, 1);
    const CalDisplay d = modVoltAdjDisplay(1, data, 1);
    auto text = [&](const char* name) {
        for (const auto& [n, t] : d.texts)
            if (qstrcmp(n, name) == 0) return t;
        return QStringLiteral("<none>");
    };
    EXPECT_EQ(text("EditModCurrentInvValA"), "220.5");
    EXPECT_EQ(text("EditCurrentIpValA"), "219.8");
    EXPECT_EQ(text("EditBattPos"), "432.1");
    EXPECT_EQ(modVoltAdjDisplay(5, data, 0).label, QString::fromUtf8("当前可校正单元编号：1"));
}

TEST(Calibration, CabinetDisplayNeedsAModularOrLargeTowerWithTheLoadSupplied) {
    RegisterStore data(1, 80), status(81, 240);
    data.set(25, 2301);
    data.set(3, 2188);
    struct Case {
        int model;
        uint16_t source;
        bool shown;
    } cases[] = {{0, 1, true}, {2, 2, true}, {1, 0, false}, {3, 1, false}, {8, 1, false}};
    for (const Case& c : cases) {
        status.set(81, c.source);
        const CalDisplay d = cabVoltAdjDisplay(c.model, data, status, 1);
        ASSERT_EQ(d.texts.size(), 6u);
        EXPECT_EQ(d.texts[0].second, c.shown ? "230.1" : "") << c.model;
        EXPECT_EQ(d.texts[5].second, c.shown ? "218.8" : "") << c.model; // bypass C is register 3
        EXPECT_EQ(d.label, c.shown ? "" : "Conditions not OK!") << c.model;
    }
    RegisterStore settings(301, 480);
    settings.set(409, 3805);
    EXPECT_EQ(transformerDisplay(settings).texts[2].second, "380.5");
}

TEST(Calibration, TabsPerModel) {
    // module, cabinet, transformer; the tab shown first
    const bool tabs[9][3] = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 0, 1}, {1, 0, 0},
                             {1, 0, 0}, {1, 0, 1}, {1, 0, 1}, {0, 0, 1}};
    for (int m = 0; m <= 8; ++m) {
        for (int t = 0; t < 3; ++t)
            EXPECT_EQ(modelHasCalTab(m, CalTab(t)), tabs[m][t]) << "model " << m << " tab " << t;
        EXPECT_EQ(firstCalTab(m), m == 8 ? CalTab::Transformer : CalTab::Module);
    }
}

TEST(Calibration, RefusedEntryNamesTheRangeTheCheckApplies) {
    using E = CalibrationEntry;
    const struct {
        E::Error error;
        CalKind kind;
        int language;
        const char* text;
    } cases[] = {
        {E::CheckValue, CalKind::Ac, 1, "Check the value, please!\nAllowed: 100.0 ~ 300.0 V"},
        {E::CheckValue, CalKind::Dc, 1, "Check the value, please!\nAllowed: -3.00 ~ 3.00 V"},
        {E::CheckValue, CalKind::Transformer, 1, "Check the value, please!\nAllowed: 0.0 ~ 400.0 V"},
        {E::CheckValue, CalKind::Ac, 0, "请检查数值!\n允许范围：100.0 ~ 300.0 V"},
        {E::NoData, CalKind::Dc, 1, "No data or wrong data!"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(calibrationEntryMessage(c.error, c.kind, c.language), QString::fromUtf8(c.text)) << c.text;
    // The bounds said are the bounds checked.
    const CalibrationRow* ac = calibrationRowForRegister(336);
    const CalibrationRow* dc = calibrationRowForRegister(342);
    ASSERT_TRUE(ac && dc);
    EXPECT_EQ(checkCalibrationEntry(*ac, "100.0").error, E::None);
    EXPECT_EQ(checkCalibrationEntry(*ac, "99.9").error, E::CheckValue);
    EXPECT_EQ(checkCalibrationEntry(*ac, "300.0").error, E::None);
    EXPECT_EQ(checkCalibrationEntry(*ac, "300.1").error, E::CheckValue);
    EXPECT_EQ(checkCalibrationEntry(*dc, "-3.00").error, E::None);
    EXPECT_EQ(checkCalibrationEntry(*dc, "3.01").error, E::CheckValue);
}

TEST(Calibration, HintsByKind) {
    EXPECT_EQ(calibrationHint(CalKind::Ac, 1), "Range 100.0 ~ 300.0, unit V");
    EXPECT_EQ(calibrationHint(CalKind::Dc, 1), "Range -3 ~ 3, unit V");
    EXPECT_EQ(calibrationHint(CalKind::Transformer, 0), QString::fromUtf8("当前值范围 50.0 ~ 400.0，单位V"));
}

} // namespace
