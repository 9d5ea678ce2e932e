#include "records/SCodeAnalysis.h"

#include "records/RecordDecode.h"

#include <QStringList>

namespace zav {

namespace {

using Texts3 = std::array<const char*, 3>; // CN, EN, CHT

int lang(int language) {
    return language >= 0 && language <= 2 ? language : 1;
}
QString pick(const Texts3& t, int language) {
    return QString::fromUtf8(t[size_t(lang(language))]);
}

// The state texts of one item, by digit value: status items know 0, 1, 2, 4 and 8, alarm items 0,
// 1 and 2.
struct StateSet {
    int count;
    std::array<Texts3, 5> texts;
    // How each state reads: the "abnormal only" filter keeps what is not Normal or Reserved.
    std::array<SCodeSeverity, 5> severity;
};

constexpr SCodeSeverity N = SCodeSeverity::Normal;
constexpr SCodeSeverity A = SCodeSeverity::Alarm;
constexpr SCodeSeverity U = SCodeSeverity::Undefined;
constexpr SCodeSeverity Rs = SCodeSeverity::Reserved;

struct Item {
    Texts3 name;
    const StateSet* states;
};

constexpr Texts3 kUndef = {"未定义", "Undefined", "未定義"};
constexpr Texts3 kReserved = {"保留", "Reserved", "保留"};

// ---- status states ----
const StateSet kSource = {5,
                          {{{"均不供电", "None", "均不供電"},
                            {"UPS供电", "UPS", "UPS供電"},
                            {"旁路供电", "Bypass", "旁路供電"},
                            {"其它单元供电", "Other Unit", "其它單元供電"},
                            kUndef}},
                          {A, N, N, N, U}}; // no source supplies the load
const StateSet kRun = {5,
                       {{{"关闭", "OFF", "關閉"},
                         {"软启动", "Soft Start", "軟啟動"},
                         {"正常工作", "Normal Work", "正常工作"},
                         kUndef,
                         kUndef}},
                       {N, N, N, U, U}};
const StateSet kBypass = {
    5, {{{"异常", "Abnormal", "異常"}, {"正常", "Normal", "正常"}, kUndef, kUndef, kUndef}}, {A, N, U, U, U}};
const StateSet kBattery = {5,
                           {{{"未接入", "Disconnect", "未接入"},
                             {"均充", "Boost Charging", "均充"},
                             {"浮充", "Float Charging", "浮充"},
                             {"放电", "Discharging", "放電"},
                             {"不工作", "Not Working", "不工作"}}},
                           {N, N, N, N, N}};
const StateSet kBreaker = {
    5, {{{"断开", "Open", "斷開"}, {"闭合", "Close", "閉合"}, kUndef, kUndef, kUndef}}, {N, N, U, U, U}};
const StateSet kConnect = {5,
                           {{{"未接入", "Disconnect", "未接入"}, {"接入", "Connect", "接入"}, kUndef, kUndef, kUndef}},
                           {N, N, U, U, U}};
// The Chinese texts name the state the other way round and leave the unused values empty.
const StateSet kInvAllow = {5,
                            {{{"禁止开机", "Enable", "禁止開機"},
                              {"开机允许", "Disable", "開機允許"},
                              {"", "Undefined", ""},
                              {"", "Undefined", ""},
                              {"", "Undefined", ""}}},
                            {N, N, U, U, U}};
const StateSet kInvWork = {5,
                           {{{"未就绪", "Not Ready", "未就緒"},
                             {"就绪", "Ready", "就緒"},
                             {"供电", "Supplying", "供電"},
                             kUndef,
                             kUndef}},
                           {N, N, N, U, U}};
// Two states; `onSeverity` says whether the second one is a fault of the UPS.
constexpr StateSet pair(Texts3 off, Texts3 on, SCodeSeverity onSeverity = N) {
    return {5, {{off, on, kUndef, kUndef, kUndef}}, {N, onSeverity, U, U, U}};
}
const StateSet kService = pair({"否", "No", "否"}, {"是", "Yes", "是"});
const StateSet kReadyCap = pair({"足够", "Enough", "足夠"}, {"不足", "Less", "不足"}, A);
const StateSet kLoadCap = pair({"逆变容量大", "Inverter Capacity More", "變流容量大"},
                               {"负载容量大", "Load Capacity More", "負載容量大"}, A);
const StateSet kShunt = pair({"未动作", "No Action", "未動作"}, {"脱扣", "Trip", "脫扣"}, A);
const StateSet kInstall = pair({"未安装", "Not Install", "未安裝"}, {"安装", "Install", "安裝"});
const StateSet kEpo = pair({"未动作", "No Action", "未動作"}, {"紧急关机", "EPO", "緊急關機"}, A);
const StateSet kPull = pair({"拔出", "Pull Out", "拔出"}, {"插入", "Inset", "插入"});
const StateSet kReserved5 = {5, {{kReserved, kReserved, kReserved, kReserved, kReserved}}, {Rs, Rs, Rs, Rs, Rs}};

// ---- alarm states ----
const StateSet F = {3, {{{"正常", "Normal", "正常"}, {"故障", "Fault", "故障"}, kUndef}}, {N, A, U}};
const StateSet V = {3, {{{"正常", "Normal", "正常"}, {"低压", "Low", "低壓"}, {"过压", "High", "過壓"}}}, {N, A, A}};
// A test item reads 0 while no test has run: shown as "Undefined", but nothing is wrong.
const StateSet T = {3, {{kUndef, {"测试通过", "Pass", "測試通過"}, {"测试失败", "Fail", "測試失敗"}}}, {N, N, A}};
const StateSet R = {3, {{kReserved, kReserved, kReserved}}, {Rs, Rs, Rs}};
const StateSet kSync = {3,
                        {{{"同步", "Synchronized", "同步"}, {"不同步", "Asynchronize", "不同步"}, kUndef}},
                        {N, A, U}};

// clang-format off
const Item kItems[kSCodeItemRows] = {
    // S0
    {{"供电源", "Output Power Source", "供電源"}, &kSource},
    {{"整流器状态", "Rectifier Status", "整流器狀態"}, &kRun},
    {{"逆变器状态", "Inverter Status", "變流器狀態"}, &kRun},
    {{"旁路状态", "Bypass Status", "旁路狀態"}, &kBypass},
    {{"电池状态", "Battery Status", "電池狀態"}, &kBattery},
    {{"输入开关状态", "Input CB Status", "輸入開關狀態"}, &kBreaker},
    {{"旁路开关状态", "Bypass CB Status", "旁路開關狀態"}, &kBreaker},
    {{"输出开关状态", "Output CB Status", "輸出開關狀態"}, &kBreaker},
    {{"维修开关状态", "Maintenance CB Status", "維修開關狀態"}, &kBreaker},
    {{"正电池组开关状态", "Postive Battery String CB Status", "正電池組開關狀態"}, &kBreaker},
    {{"负电池组开关状态", "Negative Battery String CB Status", "負電池組開關狀態"}, &kBreaker},
    {{"正电池组接入状态", "Postive Battery String Connect Status", "正電池組接入狀態"}, &kConnect},
    {{"负电池组接入状态", "Negative Battery String Connect Status", "負電池組接入狀態"}, &kConnect},
    {{"逆变开机允许状态", "Inverter On Allow Status", "變流開機允許狀態"}, &kInvAllow},
    {{"逆变器工作状态", "Inverter Working Status", "變流器工作狀態"}, &kInvWork},
    {{"发电机接入状态", "Generator Connect Status", "發電機接入狀態"}, &kConnect},
    // S1
    {{"维修模式", "Service Mode", "維修模式"}, &kService},
    {{"逆变就绪容量", "Inverter Ready Capacity", "變流就緒容量"}, &kReadyCap},
    {{"负载容量与逆变容量", "Load Capacity VS Inverter Capacity", "負載容量與變流容量"}, &kLoadCap},
    {{"电池开关分励脱扣状态", "BCB Shunt Trip Status", "電池開關分勵脫扣狀態"}, &kShunt},
    {{"电池开关安装状态", "BCB Install Status", "電池開關安裝狀態"}, &kInstall},
    {{"电池开关状态", "BCB Status", "電池開關狀態"}, &kBreaker},
    {{"紧急关机状态", "EPO Status", "緊急關機狀態"}, &kEpo},
    {{"模块插拔状态", "Module Pull Status", "模組插拔狀態"}, &kPull},
    {kReserved, &kReserved5}, {kReserved, &kReserved5}, {kReserved, &kReserved5}, {kReserved, &kReserved5},
    {kReserved, &kReserved5}, {kReserved, &kReserved5}, {kReserved, &kReserved5}, {kReserved, &kReserved5},
    // A0
    {{"同步状态", "Synchronization Status", "同步狀態"}, &kSync},
    {{"市电", "Utility Power", "市電"}, &F},
    {{"整流器", "Rectifier", "整流器"}, &F},
    {{"逆变器", "Inverter", "變流器"}, &F},
    {{"旁路电源", "Bypass Power", "旁路電源"}, &F},
    {{"正电池组电压", "Postive Battery String Voltage", "正電池組電壓"}, &V},
    {{"负电池组电压", "Negative Battery String Voltage", "負電池組電壓"}, &V},
    {{"正电池组温度", "Postive Battery String Temperature", "正電池組溫度"}, &F},
    {{"负电池组温度", "Negative Battery String Temperature", "負電池組溫度"}, &F},
    {{"输入A相电压", "Input Voltage Phase A", "輸入A相電壓"}, &V},
    {{"输入B相电压", "Input Voltage Phase B", "輸入B相電壓"}, &V},
    {{"输入C相电压", "Input Voltage Phase C", "輸入C相電壓"}, &V},
    {{"输入A相电流", "Input Current Phase A", "輸入A相電流"}, &F},
    {{"输入B相电流", "Input Current Phase B", "輸入B相電流"}, &F},
    {{"输入C相电流", "Input Current Phase C", "輸入C相電流"}, &F},
    {{"输出A相电压", "Output Voltage Phase A", "輸出A相電壓"}, &V},
    // A1
    {{"输出B相电压", "Output Voltage Phase B", "輸出B相電壓"}, &V},
    {{"输出C相电压", "Output Voltage Phase C", "輸出C相電壓"}, &V},
    {{"输出A相电流", "Output Current Phase A", "輸出A相電流"}, &F},
    {{"输出B相电流", "Output Current Phase B", "輸出B相電流"}, &F},
    {{"输出C相电流", "Output Current Phase C", "輸出C相電流"}, &F},
    {{"正直流母线电压", "Postive DC Bus Voltage", "正直流母線電壓"}, &V},
    {{"负直流母线电压", "Negative DC Bus Voltage", "負直流母線電壓"}, &V},
    {{"输入电流不平衡", "Input Current Unbalance", "輸入電流不平衡"}, &F},
    {{"市电电压状态", "Utility Voltage Status", "市電電壓狀態"}, &F},
    {{"市电频率状态", "Utility Frequency Status", "市電頻率狀態"}, &F},
    {{"主路输入相序状态", "Main Input Sequence Status", "主路輸入相序狀態"}, &F},
    {{"整流软启动状态", "REC Soft Start Status", "整流軟啟動狀態"}, &F},
    {{"整流IGBT过流", "REC IGBT Over Current", "整流IGBT過流"}, &F},
    {{"输入电感过温", "Input Inductance Over Temperature", "輸入電感過溫"}, &F},
    {{"整流器过温", "Rectifier Over Temperature", "整流器過溫"}, &F},
    {{"正直流母线过压", "Postive DC Bus Over Voltage", "正直流母線過壓"}, &F},
    // A2
    {{"负直流母线过压", "Negative DC Bus Over Voltage", "負直流母線過壓"}, &F},
    {{"风扇故障(全部)", "Fan Fail(All)", "風扇故障(全部)"}, &F},
    {{"主路反灌保护", "Main BackFeed Protect", "主路反灌保護"}, &F},
    {{"直流母线不平衡", "DC Bus Unbalance", "直流母線不平衡"}, &F},
    {{"正直流母线欠压", "Postive DC Bus Low Voltage", "正直流母線欠壓"}, &F},
    {{"负直流母线欠压", "Negative DC Bus Low Voltage", "負直流母線欠壓"}, &F},
    {{"正电池组接反", "Postive Battery String Reverse", "正電池組接反"}, &F},
    {{"负电池组接反", "Negative Battery String Reverse", "負電池組接反"}, &F},
    {{"电池漏液", "Battery leakage", "電池漏液"}, &F},
    {{"电池冷启动", "Battery Cool Start", "電池冷啟動"}, &F},
    {{"正充电器过压", "Postive Charger Over Voltage", "正充電器過壓"}, &V},
    {{"负充电器过压", "Negative Charger Over Voltage", "負充電器過壓"}, &V},
    {{"正充电器过温", "Postive Charger Over Temperature", "正充電器過溫"}, &F},
    {{"负充电器过温", "Negative Charger Over Temperature", "負充電器過溫"}, &F},
    {{"正充电器状态", "Postive Charger Status", "正充電器狀態"}, &F},
    {{"负充电器状态", "Negative Charger Status", "負充電器狀態"}, &F},
    // A3
    {{"正电池组欠压", "Postive Battery String Low Voltage", "正電池組欠壓"}, &F},
    {{"负电池组欠压", "Negative Battery String Low Voltage", "負電池組欠壓"}, &F},
    {{"正电池组放电终止", "Postive Battery String EOD", "正電池組放電終止"}, &F},
    {{"负电池组放电终止", "Negative Battery String EOD", "負電池組放電終止"}, &F},
    {{"输入零线丢失", "Input Neutral Lost", "輸入零線丟失"}, &F},
    {{"旁路相序状态", "Bypass Sequence Status", "旁路相序狀態"}, &F},
    {{"旁路电压状态", "Bypass Voltage Status", "旁路電壓狀態"}, &F},
    {{"旁路SCR状态", "Bypass SCR Status", "旁路SCR狀態"}, &F},
    {{"旁路过载", "Bypass Overload", "旁路過載"}, &F},
    {{"旁路过载超时", "Bypass Overload Time Out", "旁路過載超時"}, &F},
    {{"旁路频率超跟踪", "Bypass Freqence Over Track", "旁路頻率超跟蹤"}, &F},
    {{"旁路反灌保护", "Bypass BackFeed Protect", "旁路反灌保護"}, &F},
    {{"冲击负载转旁路", "Pulse Load To Bypass", "衝擊負載轉旁路"}, &F},
    {{"过载超时", "Overload Time Out", "過載超時"}, &F},
    {{"旁路故障关机", "Bypass Fail and Shutdown", "旁路故障關機"}, &F},
    {{"辅助电源掉电", "Auxiliary Power Lost", "輔助電源掉電"}, &F},
    // A4
    {{"手动关机", "Manual Shutdown", "手動關機"}, &F},
    {{"逆变保护", "Invert Protect", "變流保護"}, &F},
    {{"切换次数超限(每小时)", "Exceed Tx Times Limit (Per hour)", "切換次數超限(每小時)"}, &F},
    {{"输出功率反灌", "Output Power BackFeed", "輸出功率反灌"}, &F},
    {{"输入保险丝熔断", "Input Fuse Breakdown", "輸入保險絲熔斷"}, &F},
    {{"旁路过流锁定", "Bypass Over Current Lock", "旁路過流鎖定"}, &F},
    {{"逆变电感过温", "Inverter Inductance Over Temperature", "變流電感過溫"}, &F},
    {{"逆变器过温", "Inverter Over Temperature", "變流器過溫"}, &F},
    {{"逆变IGBT过流", "Inverter IGBT Over Current", "變流IGBT過流"}, &F},
    {{"输出保险丝熔断", "Output Fuse Breakdown", "輸出保險絲熔斷"}, &F},
    {{"输出过载", "Output Overload", "輸出過載"}, &F},
    {{"逆变继电器状态", "Inverter Relay Status", "變流繼電器狀態"}, &F},
    {{"逆变通信状态", "Inverter Communication Status", "變流通訊狀態"}, &F},
    {{"手动开机动作", "Manual Starting Action", "手動開機動作"}, &F},
    {{"并机线状态", "Parallel Cable Status", "並機線狀態"}, &F},
    {{"并机均流状态", "Parallel Share Status", "並機均流狀態"}, &F},
    // A5
    {{"用户操作错误", "User Operation Error", "用戶操作錯誤"}, &F},
    {{"输出短路", "Output Shorted Circuit", "輸出短路"}, &F},
    {{"电池手动自检测试", "Battery Test", "電池手動自檢測試"}, &T},
    {{"电池维护", "Battery Maintenance", "電池維護"}, &T},
    {{"系统测试", "System Test", "系統測試"}, &T},
    {kReserved, &R}, {kReserved, &R}, {kReserved, &R}, {kReserved, &R}, {kReserved, &R}, {kReserved, &R},
    {kReserved, &R}, {kReserved, &R}, {kReserved, &R}, {kReserved, &R}, {kReserved, &R},
};
// clang-format on

// Model 0 uses A1 digits 5 and 6 for its synchronisation signals.
const Item kModel0Items[2] = {
    {{"线路同步信号", "Line Synchronization Signal", "線路同步信號"}, &F},
    {{"PWM同步信号", "PWM Synchronization Signal", "PWM同步信號"}, &F},
};
constexpr int kModel0FirstRow = 3 * kSCodeDigits + 5;

const Item& itemAt(int row, int upsModel) {
    if (upsModel == 0 && (row == kModel0FirstRow || row == kModel0FirstRow + 1))
        return kModel0Items[row - kModel0FirstRow];
    return kItems[row];
}

bool validRow(int row) {
    return row >= 0 && row < kSCodeItemRows;
}

// S0:1234-5678-9012-3456 (spaces already removed): the key, a colon, four groups of four decimal
// digits joined by '-'. Anything after the fourth group is not looked at.
bool wellFormed(const QString& line, const QString& key, std::array<int, kSCodeDigits>& digits) {
    if (line.size() < 22 || !line.startsWith(key) || line[2] != ':') return false;
    int d = 0;
    for (int i = 3; i <= 21; ++i) {
        if (i == 7 || i == 12 || i == 17) {
            if (line[i] != '-') return false;
        } else {
            if (line[i] < '0' || line[i] > '9') return false;
            digits[size_t(d++)] = line[i].unicode() - '0';
        }
    }
    return true;
}

} // namespace

SCodeAnalysis analyzeSCode(const QString& memoText) {
    SCodeAnalysis a;
    for (int g = 0; g < kSCodeGroups; ++g) {
        a.groups[size_t(g)].key = QString::fromLatin1(kSCodeGroupKeys[size_t(g)]);
        a.groups[size_t(g)].firstRow = g * kSCodeDigits;
    }
    const QString upper = memoText.toUpper();
    bool anyKey = false;
    for (const auto& r : a.groups)
        anyKey = anyKey || upper.contains(r.key);
    if (!anyKey) return a; // NothingFound

    for (QString line : upper.split('\n')) {
        line.remove(' ');
        line.remove('\r');
        for (SCodeGroupRecord& r : a.groups) {
            if (!line.contains(r.key)) continue;
            if (r.seen) {
                r.formatError = true; // the group came twice
                continue;
            }
            r.seen = true;
            std::array<int, kSCodeDigits> digits{};
            if (wellFormed(line, r.key, digits)) {
                r.formatError = false;
                r.digits = digits;
                break;
            }
            r.formatError = true;
        }
    }

    for (const SCodeGroupRecord& r : a.groups) {
        if (r.formatError) {
            a.result = SCodeAnalysis::Result::FormatError;
            a.badKey = r.key;
            return a;
        }
    }
    bool anySeen = false;
    for (const SCodeGroupRecord& r : a.groups)
        anySeen = anySeen || r.seen;
    a.result = anySeen ? SCodeAnalysis::Result::Ok : SCodeAnalysis::Result::NothingFound;
    return a;
}

QString scodeAnalysisMessage(const SCodeAnalysis& analysis, int language) {
    switch (analysis.result) {
    case SCodeAnalysis::Result::Ok:
        return {};
    case SCodeAnalysis::Result::FormatError:
        return analysis.badKey +
               pick({"输入格式不正确或存在多个", "input format not correct or exist too many",
                     "输入格式不正确或存在多个"},
                    language);
    case SCodeAnalysis::Result::NothingFound:
        return pick({"没有查询到可解析的SCode", "Not found SCode", "没有查询到可解析的SCode"}, language);
    }
    return {};
}

QString scodeMessageCaption(int language) {
    return pick({"告警", "Alarm", "告警"}, language);
}

QString scodeItemName(int row, int upsModel, int language) {
    return validRow(row) ? pick(itemAt(row, upsModel).name, language) : QString();
}

QString scodeGroupKey(int row) {
    return validRow(row) ? QString::fromLatin1(kSCodeGroupKeys[size_t(row / kSCodeDigits)]) : QString();
}

QString scodeWordNumber(int row) {
    return validRow(row) ? QString::number(row % kSCodeDigits / 4 + 1) : QString();
}

namespace {
// The state slot of a row's digit; -1 for a value without a text, -2 for a group not read.
int stateSlot(const SCodeAnalysis& analysis, int row, const StateSet& states) {
    const SCodeGroupRecord& g = analysis.groups[size_t(row / kSCodeDigits)];
    if (!g.seen || g.formatError) return -2;
    const int value = g.digits[size_t(row % kSCodeDigits)];
    if (states.count == 5) {
        static const int kStatusSlot[10] = {0, 1, 2, -1, 3, -1, -1, -1, 4, -1};
        return value >= 0 && value <= 9 ? kStatusSlot[value] : -1;
    }
    return value >= 0 && value <= 2 ? value : -1;
}
} // namespace

QString scodeStateText(const SCodeAnalysis& analysis, int row, int upsModel, int language) {
    if (!validRow(row)) return {};
    const StateSet& states = *itemAt(row, upsModel).states;
    const int slot = stateSlot(analysis, row, states);
    if (slot == -2) return QStringLiteral("?");
    return slot < 0 ? QStringLiteral("X") : pick(states.texts[size_t(slot)], language);
}

SCodeSeverity scodeStateSeverity(const SCodeAnalysis& analysis, int row, int upsModel) {
    if (!validRow(row)) return SCodeSeverity::Unknown;
    const StateSet& states = *itemAt(row, upsModel).states;
    const int slot = stateSlot(analysis, row, states);
    if (slot == -2) return SCodeSeverity::Unknown;
    return slot < 0 ? SCodeSeverity::Undefined : states.severity[size_t(slot)];
}

bool scodeAbnormal(SCodeSeverity severity) {
    return severity != SCodeSeverity::Normal && severity != SCodeSeverity::Reserved;
}

QString scodeColumnTitle(int column, int language) {
    static const Texts3 kTitles[] = {{"序号", "No.", "序號"},
                                     {"组", "Group", "組"},
                                     {"字", "Word", "字"},
                                     {"项目", "Item", "項目"},
                                     {"状态", "State", "狀態"}};
    return column >= 0 && column < int(std::size(kTitles)) ? pick(kTitles[column], language) : QString();
}

QString scodeAbnormalOnlyCaption(int language) {
    return pick({"只显示异常项", "Show abnormal only", "只顯示異常項"}, language);
}

SCodeCellColour scodeCellColour(const QString& text) {
    static const QStringList alarm = {"X",    "故障", "Fault", "低压",   "低壓",        "Low",
                                      "过压", "過壓", "High",  "不同步", "Asynchronize"};
    static const QStringList undefined = {"未定义", "未定義", "Undefined"};
    static const QStringList reserved = {"保留", "Reserved"};
    if (text == QLatin1String("?")) return SCodeCellColour::Unknown;
    if (alarm.contains(text)) return SCodeCellColour::Alarm;
    if (undefined.contains(text)) return SCodeCellColour::Undefined;
    if (reserved.contains(text)) return SCodeCellColour::Reserved;
    return SCodeCellColour::Normal;
}

} // namespace zav
