#include "settings/SettingItemLists.h"

#include "foundation/NumberFormats.h"
#include "settings/SettingFormats.h"

#include <array>
#include <initializer_list>

namespace zav {

namespace {

using Texts3 = std::array<const char*, 3>; // CN, EN, CHT

QStringList numbers(int first, int last, int step = 1) {
    QStringList out;
    for (int v = first; v <= last; v += step)
        out << QString::number(v);
    return out;
}

QStringList numbers(std::initializer_list<int> values) {
    QStringList out;
    for (const int v : values)
        out << QString::number(v);
    return out;
}

// Two-decimal lists generated from hundredths so that no float rounding creeps in.
QStringList hundredthsRange(int first, int last) {
    QStringList out;
    for (int v = first; v <= last; ++v)
        out << FormatHundredths(uint16_t(v));
    return out;
}

QStringList localised(std::initializer_list<Texts3> items, int language) {
    QStringList out;
    const int l = (language >= 0 && language <= 2) ? language : 1;
    for (const Texts3& t : items)
        out << QString::fromUtf8(t[size_t(l)]);
    return out;
}

QString localised(const Texts3& t, int language) {
    const int l = (language >= 0 && language <= 2) ? language : 1;
    return QString::fromUtf8(t[size_t(l)]);
}

const Texts3 kDefault = {"默认", "Default", "預設"};

struct ModeEntry {
    int code;
    Texts3 text;
};
const ModeEntry kModes[] = {
    {1, {"单机", "Single", "單機"}},
    {2, {"并机", "Parallel", "並機"}},
    {4, {"单机ECO", "SingleECO", "單機ECO"}},
    {6, {"并机ECO", "ParallelECO", "並機ECO"}},
    {8, {"LBS", "LBS", "LBS"}},
    {10, {"并机LBS", "ParallelLBS", "並機LBS"}},
    {16, {"自老化", "Self-Aging", "自老化"}},
};

// Dry-contact functions: the Traditional Chinese lists repeat the Simplified Chinese texts.
QStringList dryList(std::initializer_list<std::array<const char*, 2>> items, int language) {
    QStringList out;
    for (const auto& t : items)
        out << QString::fromUtf8(language == 1 ? t[1] : t[0]);
    return out;
}

QStringList inputDryList(int model, int language) {
    if (model == 6)
        return dryList({{"远程关机", "Remote Shutdown"},
                        {"切旁路", "Transfer Bypass"},
                        {"消音", "Mute"},
                        {"维修空开闭合", "Maint CB Close"},
                        {"故障清除", "Fault Clear"}},
                       language);
    return dryList({{"发电机接入", "Generator Input"},
                    {"维修空开闭合", "Maint CB Close"},
                    {"消音", "Mute"},
                    {"BCB状态", "BCB Status"},
                    {"切逆变", "Transfer Inverter"},
                    {"BCB在线", "BCB Online"},
                    {"切旁路", "Transfer Bypass"},
                    {"故障清除", "Fault Clear"},
                    {"电池过充", "Batt Over Charge"},
                    {"电池过放", "Batt Over Discharge"},
                    {"电解液漏液", "Electrolyte Leakage"},
                    {"停止均充", "Stop Boost Charge"}},
                   language);
}

QStringList outputDryList(int model, int language) {
    if (model == 6)
        return dryList({{"市电异常", "Utility Fail"},
                        {"电池电压低", "Batt Volt Low"},
                        {"告警", "General Alarm"},
                        {"UPS故障", "UPS Fault"},
                        {"主路反灌", "Main Backfeed Trip"},
                        {"过载", "Overload"},
                        {"无输出", "Output Lost"},
                        {"旁路模式", "On Bypass"},
                        {"电池放电", "Batt Discharge"},
                        {"旁路反灌", "Byp Backfeed Trip"}},
                       language);
    return dryList({{"BCB脱扣", "BCB Trip"},
                    {"旁路反灌", "Byp Backfeed Trip"},
                    {"过载", "Overload"},
                    {"告警", "General Alarm"},
                    {"无输出", "Output Lost"},
                    {"电池模式", "Batt Mode"},
                    {"市电异常", "Utility Fail"},
                    {"逆变模式", "On Inverter"},
                    {"电池充电", "Batt Charge"},
                    {"正常模式", "Normal Mode"},
                    {"电池电压低", "Batt Volt Low"},
                    {"旁路模式", "On Bypass"},
                    {"电池放电", "Batt Discharge"},
                    {"整流开启", "Rectifier Ready"},
                    {"电池均充", "Battery Boost Charge"}},
                   language);
}

bool lithiumVoltages(const ListContext& c) {
    return c.lithium && c.typeSelectable;
}

} // namespace

QVector<int> modeCodes(int model) {
    if (model == 8) return {1, 4};
    if (model == 5 || model == 7) return {1, 2, 4};
    return {1, 2, 4, 6, 8, 10, 16};
}

QString modeText(int code, int language) {
    for (const ModeEntry& m : kModes)
        if (m.code == code) return localised(m.text, language);
    return {};
}

bool isBatteryList(ItemList list) {
    switch (list) {
    case ItemList::BattCount:
    case ItemList::Float:
    case ItemList::Boost:
    case ItemList::Eod1:
    case ItemList::Eod2:
    case ItemList::ChargeLimit:
        return true;
    default:
        return false;
    }
}

QStringList itemTexts(ItemList list, const ListContext& c) {
    const int lang = c.language;
    switch (list) {
    case ItemList::None:
        return {};
    case ItemList::Mode: {
        QStringList out;
        for (const int code : modeCodes(c.model))
            out << modeText(code, lang);
        return out;
    }
    case ItemList::UnitCount:
        return numbers(1, 9);
    case ItemList::UnitId:
        return numbers(0, 8);
    case ItemList::Backlight:
        return QStringList{localised(kDefault, lang)} + numbers({1, 3, 5, 10, 20, 30});
    case ItemList::Redundant:
        return numbers(0, 9);
    case ItemList::BypVoltUp:
        return {"+15", "+10", "+20", "+25"};
    case ItemList::BypVoltDn:
        return {"-20", "-10", "-15", "-30", "-40"};
    case ItemList::BypFreq:
        return QStringList{QString::fromUtf8("±5"), QString::fromUtf8("±1"), QString::fromUtf8("±3")} +
               localised({{"频率不限", "Unlimited", "頻率不限"}}, lang);
    case ItemList::Retransfer:
        if (c.model == 8)
            return localised({{"手动", "Manual", "手動"},
                              {"自动逆变", "AutoInv", "自動逆變"},
                              {"自动旁路", "AutoByp", "自動旁路"}},
                             lang);
        return numbers({0, 3, 5, 10});
    case ItemList::EodStart:
        if (c.model == 8)
            return localised({{"自动逆变", "AutoInv", "自動逆變"},
                              {"自动旁路", "AutoByp", "自動旁路"},
                              {"手动", "Manual", "手動"}},
                             lang);
        return localised({{"正常启动", "Normal", "正常啟動"},
                          {"仅旁路工作", "BypOnly", "僅旁路工作"},
                          {"禁止输出", "NoneOp", "禁止輸出"}},
                         lang);
    case ItemList::AgingCurrent:
        return numbers(30, 100, 10);
    case ItemList::NoYes:
        return localised({{"否", "No", "否"}, {"是", "Yes", "是"}}, lang);
    case ItemList::Level4:
        return localised({{"1级", "Level 1", "1級"},
                          {"2级", "Level 2", "2級"},
                          {"3级", "Level 3", "3級"},
                          {"4级", "Level 4", "4級"}},
                         lang);
    case ItemList::PowerMods:
        return numbers(0, 19);
    case ItemList::SoftStart:
        return numbers(0, 1000, 100);
    case ItemList::TransfersPerHour:
        return QStringList{localised(kDefault, lang)} + numbers(1, 20);
    case ItemList::BattType:
        return localised({{"铅酸电池", "Lead-Acid", "鉛酸電池"}, {"锂电池", "Lithium", "鋰電池"}}, lang);
    case ItemList::BattCount:
        if (c.model == 8) return numbers({3, 6, 8});
        if (c.model >= 5) return numbers(16, 24, 2);
        if (c.lithium && c.model == 0) return numbers(70, 100, 2) + numbers(120, 180, 2);
        return numbers({20, 22, 32, 34, 36, 38, 40, 42, 44, 46, 48});
    case ItemList::Float:
        return lithiumVoltages(c) ? hundredthsRange(330, 415) : hundredthsRange(210, 235);
    case ItemList::Boost:
        if (lithiumVoltages(c)) return hundredthsRange(330, 415);
        return c.model == 8 ? QStringList{"2.25", "2.30"} : hundredthsRange(215, 245);
    case ItemList::Eod1:
        return lithiumVoltages(c) ? hundredthsRange(260, 280) : hundredthsRange(150, 185);
    case ItemList::Eod2:
        return lithiumVoltages(c) ? hundredthsRange(265, 285) : hundredthsRange(155, 190);
    case ItemList::ChargeLimit:
        if (c.model >= 5)
            return {"0.5", "1.0", "2.0", "3.0",  "4.0",  "5.0", "6.0",
                    "7.0", "8.0", "9.0", "10.0", "11.0", "12.0"};
        return numbers(1, c.lithium ? 30 : 20);
    case ItemList::LowVoltMult:
        return hundredthsRange(105, 125);
    case ItemList::BattChargeCurrent:
        return hundredthsRange(1, 30);
    case ItemList::CabinetCapacity:
        return numbers({1,   2,   3,   6,   10,  12,  15,  18,  20,  24,  30,  36,
                        40,  45,  48,  50,  60,  72,  80,  90,  100, 108, 120, 140,
                        150, 160, 180, 200, 210, 250, 300, 360, 400, 500, 540, 600});
    case ItemList::ModuleCapacity:
        return numbers({1, 2, 3, 4, 5, 6, 7, 9, 10, 12, 15, 18, 20, 25, 30, 40, 50});
    case ItemList::Voltage:
        return numbers({100, 110, 115, 120, 127, 200, 208, 220, 230, 240});
    case ItemList::Frequency:
        return numbers({50, 60});
    case ItemList::Dormancy:
        return numbers(20, 90, 10);
    case ItemList::Rotation:
        return localised({{"不轮休", "No Rotation", "不輪休"}, {"测试模式", "Test Mode", "測試模式"}}, lang) +
               numbers({3, 6, 9, 12, 18, 24});
    case ItemList::GenChargeLevel:
        return {"100%", "50%", "25%", "12.5%"};
    case ItemList::InputDry:
        return inputDryList(c.model, lang);
    case ItemList::OutputDry:
        return outputDryList(c.model, lang);
    }
    return {};
}

int rebuildIndex(ItemList list, const ListContext& c) {
    switch (list) {
    case ItemList::Mode:
    case ItemList::Retransfer:
    case ItemList::EodStart:
        return 0;
    case ItemList::BattCount:
        if (c.model >= 5) return 0;
        return (c.lithium && c.model == 0) ? 26 : 6;
    case ItemList::Float:
        return 15;
    case ItemList::Boost:
        if (lithiumVoltages(c)) return 15;
        return c.model == 8 ? 0 : 10;
    case ItemList::Eod1:
        return lithiumVoltages(c) ? 10 : 15;
    case ItemList::Eod2:
        return lithiumVoltages(c) ? 5 : 20;
    case ItemList::ChargeLimit:
        return c.model >= 5 ? 1 : 9;
    default:
        return kKeepIndex;
    }
}

} // namespace zav
