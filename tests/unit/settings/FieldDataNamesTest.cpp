#include "settings/FieldData.h"
#include "settings/FieldDataNames.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace zav;

namespace {

constexpr int kChs = 0, kEn = 1, kCht = 2;

// Every register with a name from the live tables.
QList<int> namedRegisters() {
    QList<int> regs;
    for (int reg = 1; reg <= 240; ++reg) regs << reg;
    for (int reg = 2000; reg <= 2152; ++reg) regs << reg;
    return regs;
}

QString u8(const char* text) { return QString::fromUtf8(text); }

} // namespace

TEST(FieldDataNames, TellingRowsInTheThreeLanguages) {
    struct Case {
        int reg;
        const char *chs, *en, *cht;
    };
    const Case cases[] = {
        {1, "交流旁路电压ph_A", "Bypass Voltage Phase A", "交流旁路電壓ph_A"},
        {2, "旁路B相电压", "Bypass Voltage Phase B", "旁路B相電壓"},
        {43, "输出A相无功功率", "Output  Reactive Power Phase A", "輸出A相虛功率"},
        {72, "模块N逆变A相电压", "Module Number N Inverter Voltage Phase A", "模組N逆變A相電壓"},
        {80, "ZAV_IP_PORT", "ZAV_IP_PORT", "ZAV_IP_PORT"},
        {81, "供电方式", "Supply Source", "供電方式"},
        {96, "输出短路", "Output Short", "輸出短路"},
        {102, "停止测试", "Stop Test", "停止測試"},
        {105, "禁止开机", "Prohibit Power On", "禁止開機"},
        {108, "电池反接", "Battery Reverse", "電池反接"},
        {114, "CT反接", "CT Weld Reverse", "CT反接"},
        {123, "模块1逆变器故障", "Module 1 Inverter Fail", "模組1逆變器故障"},
        {127, "模块1过载超时", "Module 1 Over Lode Timeout", "模組1超載超時"},
        {131, "（保留）", "Reserved", "（保留）"},
        {2000, "当前模拟数据模块号", "Current Analog Data Module Number", "目前類比資料模組號"},
        {2038, "旁路A相电压", "Bypass Voltage Phase A", "旁路A相電壓"},
        {2077, "整流禁止开机综合标志", "Forbid Rectifier Power On  Sign Integration", "整流禁止開機綜合旗標"},
        {2092, "并机信号", "Parallel Signal", "並聯訊號"},
        {2149, "逆变器标识", "Inverter Identifer", "逆變器識別碼"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fieldRegisterName(c.reg, kChs), u8(c.chs)) << c.reg;
        EXPECT_EQ(fieldRegisterName(c.reg, kEn), u8(c.en)) << c.reg;
        EXPECT_EQ(fieldRegisterName(c.reg, kCht), u8(c.cht)) << c.reg;
    }
}

// The English names are kept exactly, misspellings and blanks included.
TEST(FieldDataNames, EnglishNamesKeepTheirExactText) {
    const std::pair<int, const char*> cases[] = {
        {22, "Input PF Phase A  "},
        {40, "Output  Active Power Phase A  "},
        {42, "Output  Active Power Phase C  "},
        {50, "Postive Battery String Voltage"},
        {54, "Battery String Temperature "},
        {57, "Recerve"},
        {67, "Recerve"},
        {79, "Recerve"},
        {92, "Bypass Overlode"},
        {126, "Module 1 Over Lode"},
        {2013, "Postive DC Bus Voltage"},
        {2045, "Output Active Power Phase B"},
        {2046, "Output Active Power Phase C "},
        {2101, "Rectifier  IGBT Temperature Phase C"},
        {2144, "Reserved"},
        {2145, "Rectifier Identifer"},
    };
    for (const auto& [reg, en] : cases) EXPECT_EQ(liveRegisterName(reg, kEn), QLatin1String(en)) << reg;
}

// Registers 121-240 are ten modules of twelve words; the number lands in every language.
TEST(FieldDataNames, ModuleStatusWordsCarryTheirModuleNumber) {
    for (int module = 1; module <= 10; ++module) {
        const int first = 121 + 12 * (module - 1);
        const QString n = QString::number(module);
        EXPECT_EQ(liveRegisterName(first, kEn), "Module " + n + " Inserted");
        EXPECT_EQ(liveRegisterName(first + 2, kChs), u8("模块") + n + u8("逆变器故障"));
        EXPECT_EQ(liveRegisterName(first + 6, kCht), u8("模組") + n + u8("超載超時"));
        EXPECT_EQ(liveRegisterName(first + 9, kEn), "Module " + n + " Manual Shutdown");
        for (int word : {10, 11}) {
            EXPECT_EQ(liveRegisterName(first + word, kEn), QStringLiteral("Reserved"));
            EXPECT_EQ(liveRegisterName(first + word, kChs), u8("（保留）"));
        }
    }
}

TEST(FieldDataNames, RegistersOutsideTheTablesHaveNoNameAndUnknownLanguagesReadAsEnglish) {
    for (int reg : {0, 241, 300, 1999, 2153, 3071})
        for (int language : {kChs, kEn, kCht}) EXPECT_TRUE(liveRegisterName(reg, language).isEmpty()) << reg;
    for (int language : {-1, 3, 9}) EXPECT_EQ(liveRegisterName(96, language), QStringLiteral("Output Short"));
}

// Chinese names are Chinese: only known abbreviations in Latin letters, single phase or module letters
// (A, B, C, N, X), no blank except between two Latin words, no unfilled placeholder.
TEST(FieldDataNames, ChineseNamesAreCleanText) {
    const QSet<QString> allowed = {"PF", "IGBT", "DSP", "UPS", "EOD", "N", "X", "CB", "ID", "DC", "IO",
                                   "CAN", "SCR", "CT", "EPO", "ph", "A", "B", "C", "ZAV", "IP", "PORT"};
    const QRegularExpression latinRun(QStringLiteral("[A-Za-z]+"));
    const QRegularExpression spaceBesideNonLatin(QStringLiteral("[^A-Za-z] | [^A-Za-z]"));
    for (int reg : namedRegisters()) {
        for (int language : {kChs, kCht}) {
            const QString name = liveRegisterName(reg, language);
            SCOPED_TRACE(QStringLiteral("register %1 language %2: \"%3\"").arg(reg).arg(language).arg(name).toStdString());
            ASSERT_FALSE(name.isEmpty());
            EXPECT_EQ(name, name.trimmed());
            EXPECT_FALSE(name.contains(QStringLiteral("  ")));
            EXPECT_FALSE(name.contains(spaceBesideNonLatin)); // blanks only between Latin words
            EXPECT_FALSE(name.contains(u'%'));
            for (auto it = latinRun.globalMatch(name); it.hasNext();) {
                const QString run = it.next().captured();
                EXPECT_TRUE(allowed.contains(run)) << run.toStdString();
            }
        }
    }
}

// Traditional names use Traditional characters, and Simplified names Simplified ones: a pair is
// checked wherever either form appears.
TEST(FieldDataNames, TraditionalNamesUseTraditionalCharacters) {
    const QString simplified = u8("电压块组输变测试载时频负视无机风温态号统据标锁换许读写进过余监开关动护检维连发线断记历启调数后丢");
    const QString traditional = u8("電壓塊組輸變測試載時頻負視無機風溫態號統據標鎖換許讀寫進過餘監開關動護檢維連發線斷記歷啟調數後丟");
    ASSERT_EQ(simplified.size(), traditional.size());
    for (int reg : namedRegisters()) {
        const QString chs = liveRegisterName(reg, kChs), cht = liveRegisterName(reg, kCht);
        bool differs = false;
        for (qsizetype i = 0; i < simplified.size(); ++i) {
            EXPECT_FALSE(cht.contains(simplified[i])) << reg << " " << cht.toStdString();
            EXPECT_FALSE(chs.contains(traditional[i])) << reg << " " << chs.toStdString();
            differs = differs || chs.contains(simplified[i]);
        }
        if (differs) {
            EXPECT_NE(chs, cht) << reg;
        }
    }
}
