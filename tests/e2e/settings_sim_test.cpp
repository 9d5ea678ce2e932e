// The rated and user-service settings pages against the virtual UPS of every model over a
// pseudo-terminal: after the settings download the Old fields must show what the UPS itself holds.
// The expectations are worked out here from the UPS's own registers by plain arithmetic (decimal,
// tenths, hundredths, kVA, BCD clock, ASCII text), one table row per field.

#include "SimHarness.h"
#include "settings/widgets/SettingsPages.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>
#include <array>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

constexpr int kWaitMs = 30'000;
constexpr int kBaud9600Item = 3;
constexpr int CN = 0, EN = 1, CHT = 2;

// The UPS's settings registers 301..480 as it holds them at one moment.
struct UpsSettings {
    std::array<uint16_t, kLastSetting - kFirstSetting + 1> words{};
    uint16_t operator[](int reg) const { return words[size_t(reg - kFirstSetting)]; }
};

enum class Fmt {
    Int,         // decimal of the word
    Tenths,      // one decimal
    Hundredths,  // two decimals
    Kva,         // 321..324: the small towers (models 5-8) report VA, the page shows whole kVA
    ChargeLimit, // 317: percent on models 0-4, hundredths of a percent on 5-8 shown in tenths
    LowByte,
    HighByte,
    UpsMode, // bits 9..0
    Serial,  // 308 in four digits, 309 in three
    Clock,   // BCD 424..426 as "yyyy-MM-dd hh:mm"
    Text5,   // ASCII, two characters a register, high byte first
    Text8,
    Mode,        // 301 as the mode name
    BypVoltUp,   // 375 bits 2..0
    BypVoltDn,   // 375 bits 5..3
    AgingCurr,   // 375 bits 14..12
    Retransfer,  // 375 bits 9..8, seconds
    ChargeRateC, // 386 bits 7..3, hundredths of C; 0 is the UPS default 0.20 C
};

struct Row {
    const char* name; // the Old field
    int reg;
    Fmt fmt;
    const char* models; // column k = model k, x = the model shows the row
};

// clang-format off
const Row kRows[] = {
    // rated page
    {"Edit21",                   321, Fmt::Kva,         "xxx------"},
    {"Edit1",                    322, Fmt::Kva,         "xxx------"},
    {"Edit22",                   323, Fmt::Kva,         "xxxxxxxx-"},
    {"Edit2",                    324, Fmt::Kva,         "xxxxxxxx-"},
    {"Edit23",                   325, Fmt::Int,         "xxxxxxxx-"},
    {"Edit24",                   326, Fmt::Int,         "xxxxxxxx-"},
    {"Edit25",                   327, Fmt::Int,         "xxxxxxxxx"},
    {"Edit26",                   328, Fmt::Int,         "xxxxxxxxx"},
    {"Editsyscode1",             329, Fmt::Int,         "xxxxxxxxx"},
    {"Editsyscode4",             330, Fmt::Int,         "xxxxxxxxx"},
    {"EditUPSModeOld",           331, Fmt::UpsMode,     "xxxxxxxxx"},
    {"EditUPSTypeOld",           427, Fmt::Text5,       "xxxxxxxxx"},
    {"EditCompanyNameOld",       432, Fmt::Text8,       "xxxxxxxxx"},
    // system settings
    {"EditModeOld",              301, Fmt::Mode,        "xxxxxxxxx"},
    {"EditNumOld",               302, Fmt::Int,         "xxxxxxxx-"},
    {"EditIdOld",                303, Fmt::Int,         "xxxxxxxx-"},
    {"EditOutVOld",              304, Fmt::Int,         "xxxxxxxxx"},
    {"EditFreq1Old",             305, Fmt::Tenths,      "xxxxxxxx-"},
    {"EditFreq2Old",             306, Fmt::Tenths,      "xxxxxxxxx"},
    {"EditBlkPrd",               373, Fmt::Int,         "xxxxxxxxx"},
    {"EditLogoShowTime",         440, Fmt::Int,         "xxx------"},
    {"Edit3",                    308, Fmt::Serial,      "xxxx-----"},
    {"EditModRedundantOld",      374, Fmt::Int,         "xxx------"},
    {"EditBypVoltUpLmtOld",      375, Fmt::BypVoltUp,   "xxxxxxxxx"},
    {"EditBypVoltDnLmtOld",      375, Fmt::BypVoltDn,   "xxxxxxxxx"},
    {"EditAgingCurrOld",         375, Fmt::AgingCurr,   "xxxxx-x--"},
    {"EditBattTxRecDlyOld",      375, Fmt::Retransfer,  "xxx------"},
    {"EditModFanRunTimeOld",     422, Fmt::Int,         "x--x-----"},
    {"EditBypFanRunTimeOld",     421, Fmt::Int,         "x--x-----"},
    {"EditModCapacitorRunTimeOld", 423, Fmt::Int,       "x--x-----"},
    {"EditSlaveStandbyTimeOld",  388, Fmt::Int,         "-----x-xx"},
    {"EditPowerMods",            441, Fmt::Int,         "x--------"},
    {"EditSysTimeOld",           424, Fmt::Clock,       "-xxx-----"},
    {"EditCabDustMaintTimeOld",  442, Fmt::Int,         "x--------"},
    // battery settings
    {"EditBattNumOld",           311, Fmt::Int,         "xxxxxxxx-"},
    {"EditBattAh",               312, Fmt::Int,         "xxxxxxxxx"},
    {"EditFloatOld",             313, Fmt::Hundredths,  "xxxxxxxx-"},
    {"EditBoostOld",             314, Fmt::Hundredths,  "xxxxxxxxx"},
    {"EditEod1Old",              315, Fmt::Hundredths,  "xxxxxxxxx"},
    {"EditEod2Old",              316, Fmt::Hundredths,  "xxxxxxxxx"},
    {"EditChgOld",               317, Fmt::ChargeLimit, "xxxxxxxxx"},
    {"EditTempCompOld",          307, Fmt::Tenths,      "xxxxxxxx-"},
    {"EditBoostLmtOld",          318, Fmt::Int,         "xxxxxxxxx"},
    {"EditBoostPrdOld",          319, Fmt::Int,         "xxxxxxxxx"},
    {"EditDischgPrdOld",         320, Fmt::Int,         "xxxxxxxxx"},
    {"EditDeepDischgTimeOld",    381, Fmt::Int,         "-----x-xx"},
    {"EditNoBattDetPrdOld",      382, Fmt::Int,         "-----x-xx"},
    {"EditNoBattDetOffTimeOld",  383, Fmt::Int,         "-----x-x-"},
    {"EditBattRunTimeOld",       384, Fmt::Int,         "x--x-xxxx"},
    {"EditBattOvTmpOld",         385, Fmt::LowByte,     "xxxx-----"},
    {"EditBattAmbientOvTmpOld",  385, Fmt::HighByte,    "xxxx-----"},
    {"EditStandbyTimeOld",       387, Fmt::Int,         "x--------"},
    {"EditChgModCurrLimitOld",   389, Fmt::Int,         "x--------"},
    {"EditBattLowVoltMult",      332, Fmt::Hundredths,  "------xxx"},
    {"EditBattLmtChgCurrent",    386, Fmt::ChargeRateC, "x--------"},
    // configuration code
    {"EditCfgCode1",             369, Fmt::Int,         "xxxxxxxxx"},
};
// clang-format on

QString tenths(int v) {
    return QString("%1.%2").arg(v / 10).arg(v % 10);
}
QString hundredths(int v) {
    return QString("%1.%2").arg(v / 100).arg(v % 100, 2, 10, QChar('0'));
}
int bcd(int byte) {
    return (byte >> 4) * 10 + (byte & 0x0F);
}
QString text(const UpsSettings& s, int first, int registers) {
    QByteArray bytes;
    for (int r = first; r < first + registers; ++r)
        bytes.append(char(s[r] >> 8)).append(char(s[r] & 0xFF));
    QString out;
    for (const char c : bytes) {
        if (c < 32 || c > 126) break;
        out += QLatin1Char(c);
    }
    while (out.endsWith(' '))
        out.chop(1);
    return out;
}
QString modeName(int code, int language) {
    const QHash<int, std::array<const char*, 3>> names = {
        {1, {"单机", "Single", "單機"}},
        {2, {"并机", "Parallel", "並機"}},
        {4, {"单机ECO", "SingleECO", "單機ECO"}},
        {6, {"并机ECO", "ParallelECO", "並機ECO"}},
    };
    return names.contains(code) ? QString::fromUtf8(names[code][size_t(language)]) : QString();
}
QString item(const QStringList& items, int index) {
    return index < items.size() ? items[index] : QString();
}

QString expected(const Row& row, const UpsSettings& s, int model, int language) {
    const int v = s[row.reg];
    switch (row.fmt) {
    case Fmt::Int:
        return QString::number(v);
    case Fmt::Tenths:
        return tenths(v);
    case Fmt::Hundredths:
        return hundredths(v);
    case Fmt::Kva:
        return QString::number(model >= 5 ? v / 1000 : v);
    case Fmt::ChargeLimit:
        return model >= 5 ? tenths(v / 10) : QString::number(v);
    case Fmt::LowByte:
        return QString::number(v & 0xFF);
    case Fmt::HighByte:
        return QString::number(v >> 8);
    case Fmt::UpsMode:
        return QString::number(v & 0x3FF);
    case Fmt::Serial:
        return QString::asprintf("%04d%03d", s[308], s[309]);
    case Fmt::Clock:
        return QString::asprintf("%04d-%02d-%02d %02d:%02d", 2000 + bcd(s[426] & 0xFF), bcd(s[426] >> 8),
                                 bcd(s[425] & 0xFF), bcd((s[425] >> 8) & 0x7F), bcd(s[424] & 0xFF));
    case Fmt::Text5:
        return text(s, row.reg, 5);
    case Fmt::Text8:
        return text(s, row.reg, 8);
    case Fmt::Mode:
        return modeName(v, language);
    case Fmt::BypVoltUp:
        return item({"+15", "+10", "+20", "+25"}, v & 7);
    case Fmt::BypVoltDn:
        return item({"-20", "-10", "-15", "-30", "-40"}, (v >> 3) & 7);
    case Fmt::AgingCurr:
        return item({"30", "40", "50", "60", "70", "80", "90", "100"}, (v >> 12) & 7);
    case Fmt::Retransfer:
        return item({"0", "3", "5", "10"}, (v >> 8) & 3);
    case Fmt::ChargeRateC: {
        const int rate = (v >> 3) & 31;
        return rate > 30 ? QString() : hundredths(rate == 0 ? 20 : rate);
    }
    }
    return {};
}

class SettingsOnSim : public ::testing::TestWithParam<int> {
  protected:
    std::unique_ptr<SimHarness> harness;
    AppContext context;
    QWidget window;
    QList<ZavPage*> pages;
    QString skipReason;

    bool start(int model) {
        SimConfig config;
        config.upsModel = model;
        config.protocol = model % 2 ? Protocol::Ascii : Protocol::Rtu;
        // A clock well inside its minute, so that it cannot turn over between the download and the
        // look at the UPS; date and time differ by model to exercise the BCD digits.
        config.clockStart =
            QDateTime(QDate(2030 + model, 12 - model, 19 + model), QTime(13 + model, 47 - model));
        harness = std::make_unique<SimHarness>(config);
        if (!harness->startSimulator(&skipReason)) return false;
        context.scheduler = &harness->scheduler();
        for (int index : {9, 10})
            pages.append(createSettingsPage(index, context, &window));
        return true;
    }
    // Values off the family defaults, so that the fields cannot show a default by chance.
    void setUpsValues(int model) {
        harness->simulator().withUps([model](VirtualUps& ups) {
            SettingsBank& s = ups.settings();
            s.set(305, uint16_t(7 + model));              // 0.7 .. 1.5
            s.set(307, uint16_t(12 + model * 5));         // 1.2 .. 5.2
            s.set(313, uint16_t(221 + model));            // 2.21 .. 2.29
            s.set(331, uint16_t(0xFC00 | (100 + model))); // high bits are not the mode
            s.set(373, 20);
            s.set(375, uint16_t((model % 4) | ((model + 1) % 5) << 3 | ((model + 3) % 4) << 8 |
                                ((model + 2) % 8) << 12));
            s.set(369, uint16_t(0x8005 + model));
            s.set(386, uint16_t((model + 9) << 3)); // lead-acid, 0.09 .. 0.17 C
            s.set(385, uint16_t((50 + model) << 8 | (35 + model)));
            s.set(388, uint16_t(15 + model));
            s.set(381, 7);
            if (model >= 5) s.set(324, 7999); // VA: whole kVA are cut, not rounded
        });
    }
    void applyLanguage(int language) {
        context.language = language;
        for (ZavPage* page : pages)
            page->applyLanguage(language);
    }
    UpsSettings upsSettings() {
        return harness->fromUps<UpsSettings>([](VirtualUps& ups) {
            UpsSettings s;
            for (int reg = kFirstSetting; reg <= kLastSetting; ++reg)
                s.words[size_t(reg - kFirstSetting)] = ups.settings().value(reg);
            return s;
        });
    }
    bool downloaded(QSignalSpy& spy, int count) {
        return QTest::qWaitFor([&] { return spy.count() >= count; }, kWaitMs);
    }
    void expectFieldsShowTheUps(int model, int language) {
        const UpsSettings ups = upsSettings();
        int shown = 0;
        for (const Row& row : kRows) {
            if (row.models[model] != 'x') continue;
            auto* edit = window.findChild<QLineEdit*>(row.name);
            ASSERT_NE(edit, nullptr) << row.name;
            EXPECT_FALSE(edit->isHidden()) << row.name << " model " << model;
            EXPECT_EQ(edit->text().toStdString(), expected(row, ups, model, language).toStdString())
                << row.name << " model " << model << " language " << language;
            ++shown;
        }
        EXPECT_GT(shown, 15) << model;
        // Where the UPS clock is shown, both pickers are set to it.
        if (model >= 1 && model <= 3) {
            auto* date = window.findChild<QDateEdit*>("DateTimePickerDataNew");
            auto* time = window.findChild<QTimeEdit*>("DateTimePickerTimeNew");
            ASSERT_TRUE(date && time);
            EXPECT_EQ(date->date(),
                      QDate(2000 + bcd(ups[426] & 0xFF), bcd(ups[426] >> 8), bcd(ups[425] & 0xFF)));
            EXPECT_EQ(time->time().toString("hh:mm").toStdString(),
                      QString::asprintf("%02d:%02d", bcd((ups[425] >> 8) & 0x7F), bcd(ups[424] & 0xFF))
                          .toStdString());
        }
    }
};

TEST_P(SettingsOnSim, OldFieldsShowWhatTheUpsHolds) {
    const int model = GetParam();
    if (!start(model)) GTEST_SKIP() << "no pseudo-terminal: " << skipReason.toStdString();
    setUpsValues(model);
    QSignalSpy spy(&harness->scheduler(), &UpsSession::settingsDownloaded);
    const Protocol protocol = model % 2 ? Protocol::Ascii : Protocol::Rtu;
    ASSERT_EQ(harness->connect(model + 1, kBaud9600Item, protocol), ConnectResult::Connected);
    applyLanguage(EN); // FormStrInit for the chosen model
    ASSERT_TRUE(downloaded(spy, 1)) << model;
    ASSERT_EQ(harness->scheduler().upsModel(), model);
    expectFieldsShowTheUps(model, EN);
    if (HasFailure() || model != 1) return;

    // A language change initialises the pages again and reads the settings once more.
    for (const int language : {CN, CHT}) {
        applyLanguage(language);
        harness->scheduler().resetLinkState();
        ASSERT_TRUE(downloaded(spy, spy.count() + 1)) << language;
        expectFieldsShowTheUps(model, language);
    }
}

INSTANTIATE_TEST_SUITE_P(AllModels, SettingsOnSim, ::testing::Range(0, 9),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Model" + std::to_string(info.param);
                         });

} // namespace
