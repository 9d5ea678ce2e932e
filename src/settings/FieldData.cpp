#include "settings/FieldData.h"

#include "settings/SettingRows.h"

#include <array>
#include <utility>

namespace zav {

RegisterStore* FieldSnapshot::storeOf(int reg) {
    for (RegisterStore* s : {&LiveData, &LiveStatus, &ModuleData, &ModuleStatus, &SettingData})
        if (s->contains(reg)) return s;
    return nullptr;
}

const RegisterStore* FieldSnapshot::storeOf(int reg) const {
    return const_cast<FieldSnapshot*>(this)->storeOf(reg);
}

void FieldSnapshot::takeLive(const LiveStores& live) {
    LiveData = live.LiveData;
    LiveStatus = live.LiveStatus;
    ModuleData = live.ModuleData;
    ModuleStatus = live.ModuleStatus;
}

void FieldSnapshot::giveLive(LiveStores& live) const {
    live.LiveData = LiveData;
    live.LiveStatus = LiveStatus;
    live.ModuleData = ModuleData;
    live.ModuleStatus = ModuleStatus;
    live.updateModulePresence();
}

void copyGrid(const TextGrid& from, TextGrid& to) {
    for (int r = 0; r < std::min(from.rows(), to.rows()); ++r)
        for (int c = 0; c < std::min(from.columns(), to.columns()); ++c) to.set(c, r, from.at(c, r));
}

namespace {

// English names; a range shares one name.
struct NameRun {
    int first, last;
    const char* en;
};

constexpr NameRun kLiveNames[] = {
    {1, 1, "Bypass Voltage Phase A"}, {2, 2, "Bypass Voltage Phase B"}, {3, 3, "Bypass Voltage Phase C"},
    {4, 4, "Bypass Current Phase A"}, {5, 5, "Bypass Current Phase B"}, {6, 6, "Bypass Current Phase C"},
    {7, 7, "Bypass Frequency Phase A"}, {8, 8, "Bypass Frequency Phase B"}, {9, 9, "Bypass Frequency Phase C"},
    {10, 10, "Bypass PF Phase A"}, {11, 11, "Bypass PF Phase B"}, {12, 12, "Bypass PF Phase C"},
    {13, 13, "Main Input Voltage Phase A"}, {14, 14, "Main Input Voltage Phase B"},
    {15, 15, "Main Input Voltage Phase C"}, {16, 16, "Main Input Current Phase A"},
    {17, 17, "Main Input Current Phase B"}, {18, 18, "Main Input Current Phase C"},
    {19, 19, "Main Input Frequency Phase A"}, {20, 20, "Main Input Frequency Phase B"},
    {21, 21, "Main Input Frequency Phase C"}, {22, 22, "Input PF Phase A  "}, {23, 23, "Input PF Phase B"},
    {24, 24, "Input PF Phase C"}, {25, 25, "Output Voltage Phase A"}, {26, 26, "Output Voltage Phase B"},
    {27, 27, "Output Voltage Phase C"}, {28, 28, "Output Current Phase A"}, {29, 29, "Output Current Phase B"},
    {30, 30, "Output Current Phase C"}, {31, 31, "Output Frequency Phase A"},
    {32, 32, "Output Frequency Phase B"}, {33, 33, "Output Frequency Phase C"}, {34, 34, "Output PF Phase A"},
    {35, 35, "Output PF Phase B"}, {36, 36, "Output PF Phase C"}, {37, 37, "Output Apparent Power Phase A"},
    {38, 38, "Output Apparent Power Phase B"}, {39, 39, "Output Apparent Power Phase C"},
    {40, 40, "Output  Active Power Phase A  "}, {41, 41, "Output  Active Power Phase B  "},
    {42, 42, "Output  Active Power Phase C  "}, {43, 43, "Output  Reactive Power Phase A"},
    {44, 44, "Output  Reactive Power Phase B"}, {45, 45, "Output  Reactive Power Phase C"},
    {46, 46, "Load Percentage Phase A"}, {47, 47, "Load Percentage Phase B"}, {48, 48, "Load Percentage Phase C"},
    {49, 49, "Ambient Temperature"}, {50, 50, "Postive Battery String Voltage"},
    {51, 51, "Negative Battery String Voltage"}, {52, 52, "Postive Battery String Current"},
    {53, 53, "Negative Battery String Current"}, {54, 54, "Battery String Temperature "},
    {55, 55, "Battery String Remain Time "}, {56, 56, "Battery String Capacity"}, {57, 67, "Recerve"},
    {68, 68, "Monitor Series Number"}, {69, 69, "Monitor First Version Number"},
    {70, 70, "Monitor Second Version Number"}, {71, 71, "Current Adjustable Module Number N"},
    {72, 72, "Module Number N Inverter Voltage Phase A"}, {73, 73, "Module Number N Inverter Voltage Phase B"},
    {74, 74, "Module Number N Inverter Voltage Phase C"}, {75, 75, "Module Number N Bypass Voltage Phase A"},
    {76, 76, "Module Number N Bypass Voltage Phase B"}, {77, 77, "Module Number N Bypass Voltage Phase C"},
    {78, 78, "UPS Series Number"}, {79, 79, "Recerve"}, {80, 80, "ZAV_IP_PORT"},
    // Module measurements.
    {2000, 2000, "Current Analog Data Module Number"}, {2001, 2001, "Main Input Voltage Phase A"},
    {2002, 2002, "Main Input Voltage Phase B"}, {2003, 2003, "Main Input Voltage Phase C"},
    {2004, 2004, "Main Input Current Phase A"}, {2005, 2005, "Main Input Current Phase B"},
    {2006, 2006, "Main Input Current Phase C"}, {2007, 2007, "Main Input Frequency Phase A"},
    {2008, 2008, "Main Input Frequency Phase B"}, {2009, 2009, "Main Input Frequency Phase C"},
    {2010, 2010, "Input PF Phase A  "}, {2011, 2011, "Input PF Phase B"}, {2012, 2012, "Input PF Phase C"},
    {2013, 2013, "Postive DC Bus Voltage"}, {2014, 2014, "Negative DC Bus Voltage"},
    {2015, 2015, "Postive Battery String Voltage"}, {2016, 2016, "Negative Battery String Voltage"},
    {2017, 2017, "Postive Charger Voltage"}, {2018, 2018, "Negative Charger Voltage"},
    {2019, 2019, "Postive Charger Current"}, {2020, 2020, "Negative Charger Current"},
    {2021, 2021, "Postive Discharge Current"}, {2022, 2022, "Negative Discharge Current"},
    {2023, 2023, "Inverter Voltage Phase A"}, {2024, 2024, "Inverter Voltage Phase B"},
    {2025, 2025, "Inverter Voltage Phase C"}, {2026, 2026, "Output Current Phase A"},
    {2027, 2027, "Output Current Phase B"}, {2028, 2028, "Output Current Phase C"},
    {2029, 2029, "Output Frequency Phase A"}, {2030, 2030, "Output Frequency Phase B"},
    {2031, 2031, "Output Frequency Phase C"}, {2032, 2032, "Output PF Phase A"}, {2033, 2033, "Output PF Phase B"},
    {2034, 2034, "Output PF Phase C"}, {2035, 2035, "Output Voltage Phase A"},
    {2036, 2036, "Output Voltage Phase B"}, {2037, 2037, "Output Voltage Phase C"},
    {2038, 2038, "Bypass Voltage Phase A"}, {2039, 2039, "Bypass Voltage Phase B"},
    {2040, 2040, "Bypass Voltage Phase C"}, {2041, 2041, "Output Apparent Power Phase A "},
    {2042, 2042, "Output Apparent Power Phase B "}, {2043, 2043, "Output Apparent Power Phase C "},
    {2044, 2044, "Output Active Power Phase A "}, {2045, 2045, "Output Active Power Phase B"},
    {2046, 2046, "Output Active Power Phase C "}, {2047, 2047, "Output Reactive Power Phase A "},
    {2048, 2048, "Output Reactive Power Phase B "}, {2049, 2049, "Output Reactive Power Phase C "},
    {2050, 2050, "Output Load Percentage Phase A "}, {2051, 2051, "Output Load Percentage Phase B "},
    {2052, 2052, "Output Load Percentage Phase C "}, {2053, 2053, "Parallel System  Apparent Power Phase A"},
    {2054, 2054, "Parallel System  Apparent Power Phase B"}, {2055, 2055, "Parallel System  Apparent Power Phase C"},
    {2056, 2056, "Parallel System Active Power Phase A  "}, {2057, 2057, "Parallel System Active Power Phase B  "},
    {2058, 2058, "Parallel System Active Power Phase C  "}, {2059, 2059, "Parallel System Reactive Power Phase A"},
    {2060, 2060, "Parallel System Reactive Power Phase B"}, {2061, 2061, "Parallel System Reactive Power Phase C"},
    {2062, 2062, "Parallel System Load Percentage Phase A"}, {2063, 2063, "Parallel System Load Percentage Phase B"},
    {2064, 2064, "Parallel System Load Percentage Phase C"}, {2065, 2072, "Reserved"},
    {2073, 2073, "Fan Running Time (hour)"}, {2074, 2074, "DC Bus Capacitor Running Time (hour)"},
    {2075, 2076, "Reserved"}, {2077, 2077, "Forbid Rectifier Power On  Sign Integration"},
    {2078, 2078, "Utility Power  And Battery Sign Integration"}, {2079, 2080, "Reserved"},
    {2081, 2081, "Rectifier DSP Input Port"}, {2082, 2082, "Rectifier DSP Output Port"},
    {2083, 2083, "Inverter DSP Input Port"}, {2084, 2084, "Inverter DSP Output"},
    {2085, 2085, "Allow Inverter  On Sign Integration "}, {2086, 2086, "Allow Transfer to Invert  Sign Integration"},
    {2087, 2087, "Transfer to Bypass Locked Sign Integration"}, {2088, 2088, "Inverter Power Off Locked Sign Integration"},
    {2089, 2089, "Reserved"}, {2090, 2090, "Inverter IO CAN"}, {2091, 2091, "Inverter  DATA CAN"},
    {2092, 2092, "Parallel Signal"}, {2093, 2093, "Read Rectifier Variate "}, {2094, 2094, "Write Rectifier Variate "},
    {2095, 2095, "Read Inverter Variate "}, {2096, 2096, "Write Inverter Variate "}, {2097, 2097, "Inlet Temperature"},
    {2098, 2098, "Outlet Temperature"}, {2099, 2099, "Rectifier IGBT Temperature Phase A "},
    {2100, 2100, "Rectifier IGBT Temperature Phase B"}, {2101, 2101, "Rectifier  IGBT Temperature Phase C"},
    {2102, 2102, "Inverter IGBT Temperature Phase A "}, {2103, 2103, "Inverter IGBT Temperature Phase B "},
    {2104, 2104, "Inverter IGBT Temperature Phase C"}, {2105, 2107, "Reserved"},
    {2108, 2108, "Input SCR Temperature"}, {2109, 2144, "Reserved"}, {2145, 2145, "Rectifier Identifer"},
    {2146, 2146, "Rectifier Series Number"}, {2147, 2147, "Rectifier First Version Number"},
    {2148, 2148, "Rectifier Second Version Number"}, {2149, 2149, "Inverter Identifer"},
    {2150, 2150, "Inverter Series Number"}, {2151, 2151, "Inverter First Version Number"},
    {2152, 2152, "Inverter Second Version Number"},
    // Status words 81-120; 121-240 follow the module pattern below.
    {81, 81, "Supply Source"}, {82, 82, "Battery Work Status"}, {83, 83, "Battery Connect Status"},
    {84, 84, "Maintenance CB Status"}, {85, 85, "EPO"}, {86, 86, "Inverter Ready Capacity"},
    {87, 87, "Generator Connect Status"}, {88, 88, "Input Fail"}, {89, 89, "Bypass Sequence Fail"},
    {90, 90, "Bypass Voltage Fail"}, {91, 91, "Bypass Fail"}, {92, 92, "Bypass Overlode"},
    {93, 93, "Bypass Overlode Timeout"}, {94, 94, "Bypass Untrack"}, {95, 95, "Translate Times Limit Out"},
    {96, 96, "Output Short"}, {97, 97, "Battery EOD"}, {98, 98, "Battery Test Begin"},
    {99, 99, "Battery Test Status"}, {100, 100, "Battery Manual Test Begin"}, {101, 101, "Battery Maintain Status"},
    {102, 102, "Stop Test"}, {103, 103, "Fail Clear"}, {104, 104, "History Clear"},
    {105, 105, "Prohibit Power On"}, {106, 106, "Manual Bypass"}, {107, 107, "Battery Voltage Low"},
    {108, 108, "Battery Reverse"}, {109, 109, "Rectifier Status"}, {110, 110, "Input Neutral Lost"},
    {111, 111, "Bypass Fan Fail"}, {112, 112, "N+X Redundant Lost"}, {113, 113, "EOD System Inhibited"},
    {114, 114, "CT Weld Reverse"}, {115, 118, "Reserved"}, {119, 119, "Online Module Flag High Word"},
    {120, 120, "Online Module Flag Low Word"},
};

// The twelve module status names of 121-132 ("%1" is the module number).
constexpr const char* kModuleStatusNames[12] = {
    "Module %1 Inserted", "Module %1 Rectifier Fail", "Module %1 Inverter Fail",
    "Module %1 Rectifier Over Temperature", "Module %1 Fan Fail", "Module %1 Over Lode",
    "Module %1 Over Lode Timeout", "Module %1 Inverter Over Temperature", "Module %1 Inverter Protect",
    "Module %1 Manual Shutdown", "Reserved", "Reserved",
};

// The Chinese tables have the rows of the English one; they are built from it word by word, longest
// phrases first, with the quoted rows of the manual given whole.
struct Phrase {
    const char* en;
    const char* cn;
    const char* cht;
};
constexpr Phrase kWhole[] = {
    {"Bypass Voltage Phase A", "交流旁路电压ph_A", "交流旁路電壓ph_A"},
    {"Current Analog Data Module Number", "当前模拟数据模块号", "當前模擬資料模組號"},
    {"Supply Source", "供电方式", "供電方式"},
};
constexpr Phrase kWords[] = {
    {"Main Input", "主路输入", "主路輸入"}, {"Reactive Power", "无功功率", "無功功率"},
    {"Apparent Power", "视在功率", "視在功率"}, {"Active Power", "有功功率", "有功功率"},
    {"Load Percentage", "负载率", "負載率"}, {"Battery String", "电池组", "電池組"},
    {"Parallel System", "并机系统", "並機系統"}, {"Over Temperature", "过温", "過溫"},
    {"Version Number", "版本号", "版本號"}, {"Series Number", "序列号", "序列號"},
    {"Module Number", "模块号", "模組號"}, {"Running Time (hour)", "运行时间(小时)", "運行時間(小時)"},
    {"Bypass", "旁路", "旁路"}, {"Voltage", "电压", "電壓"}, {"Current", "电流", "電流"},
    {"Frequency", "频率", "頻率"}, {"Phase", "相", "相"}, {"Input", "输入", "輸入"},
    {"Output", "输出", "輸出"}, {"Ambient", "环境", "環境"}, {"Temperature", "温度", "溫度"},
    {"Postive", "正", "正"}, {"Negative", "负", "負"}, {"Remain Time", "剩余时间", "剩餘時間"},
    {"Capacity", "容量", "容量"}, {"Recerve", "（保留）", "（保留）"}, {"Reserved", "（保留）", "（保留）"},
    {"Monitor", "监控", "監控"}, {"First", "第一", "第一"}, {"Second", "第二", "第二"},
    {"Adjustable", "可调", "可調"}, {"Inverter", "逆变", "逆變"}, {"Rectifier", "整流", "整流"},
    {"Module", "模块", "模組"}, {"Charger", "充电器", "充電器"}, {"Discharge", "放电", "放電"},
    {"DC Bus", "直流母线", "直流母線"}, {"Fan", "风扇", "風扇"}, {"Capacitor", "电容", "電容"},
    {"Fail", "故障", "故障"}, {"Status", "状态", "狀態"}, {"Battery", "电池", "電池"},
    {"Overlode", "过载", "過載"}, {"Over Lode", "过载", "過載"}, {"Timeout", "超时", "超時"},
    {"Inserted", "插入", "插入"}, {"Manual", "手动", "手動"}, {"Shutdown", "关机", "關機"},
    {"Protect", "保护", "保護"}, {"Sign Integration", "标志综合", "標誌綜合"},
    {"Inlet", "进风口", "進風口"}, {"Outlet", "出风口", "出風口"}, {"Port", "端口", "埠"},
    {"Online", "在线", "在線"}, {"Flag", "标志", "標誌"}, {"High Word", "高字", "高字"},
    {"Low Word", "低字", "低字"}, {"Test", "测试", "測試"}, {"Clear", "清除", "清除"},
    {"History", "历史", "歷史"}, {"Work", "工作", "工作"}, {"Connect", "连接", "連接"},
    {"Generator", "发电机", "發電機"}, {"Power", "功率", "功率"}, {"Number", "号", "號"},
};

QString englishName(int reg) {
    if (reg >= 121 && reg <= 240) {
        const int k = (reg - 121) % 12, u = (reg - 121) / 12 + 1;
        const QString name = QString::fromLatin1(kModuleStatusNames[k]);
        return name.contains(u'%') ? name.arg(u) : name;
    }
    for (const NameRun& run : kLiveNames)
        if (reg >= run.first && reg <= run.last) return QString::fromLatin1(run.en);
    return {};
}

QString translated(const QString& en, int language) {
    for (const Phrase& p : kWhole)
        if (en == QLatin1String(p.en)) return QString::fromUtf8(language == 2 ? p.cht : p.cn);
    QString out = en;
    for (const Phrase& p : kWords)
        out.replace(QLatin1String(p.en), QString::fromUtf8(language == 2 ? p.cht : p.cn));
    return out;
}

const char* const kSheetNames[4][3] = {
    {"遥测量", "Analog Data", "遥测量"},
    {"遥信量", "Status Data", "遥信量"},
    {"设置寄存器", "Setting Register", "设置寄存器"},
    {"下载历史记录", "History log", "下载历史记录"},
};
const char* const kTitles[3][3] = {
    {"寄存器号", "Register Number", "寄存器號"},
    {"名称", "Name", "名稱"},
    {"寄存器值", "Register Value", "寄存器值"},
};
const char* const kHeadings[2][3] = {
    {"以下为模块数据", "The flowing is module data", "以下為模組資料"},
    {"以下为模块告警量综合", "The flowing is integrated module alarm data", "以下為模組告警量綜合"},
};

int lang(int language) { return language >= 0 && language <= 2 ? language : 1; }

} // namespace

QString fieldRegisterName(int reg, int language, int model) {
    language = lang(language);
    if (reg >= 3071 && reg <= 3190) {
        const int i = reg - 3071;
        return QStringLiteral("# %1 integrated alarm register%2").arg(i / 4 + 1).arg(i % 4 + 1);
    }
    if (reg >= 301 && reg <= 480) {
        static const RegisterStore none{301, 480};
        for (const SettingRow& row : settingRows())
            if (reg >= row.reg && reg < row.reg + row.regCount && rowExists(row, model))
                return rowCaption(row, model, language, none).trimmed();
        return language == 1 ? QStringLiteral("Reserved") : QStringLiteral("（保留）");
    }
    const QString en = englishName(reg);
    return language == 1 ? en : translated(en, language);
}

QString fieldSheetName(int sheet, int language) {
    return sheet >= 1 && sheet <= 4 ? QString::fromUtf8(kSheetNames[sheet - 1][lang(language)]) : QString();
}

QString fieldColumnTitle(int column, int language) {
    return column >= 0 && column <= 2 ? QString::fromUtf8(kTitles[column][lang(language)]) : QString();
}

QString fieldModuleHeading(int sheet, int language) {
    return sheet >= 1 && sheet <= 2 ? QString::fromUtf8(kHeadings[sheet - 1][lang(language)]) : QString();
}

} // namespace zav
