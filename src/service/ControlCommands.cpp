#include "service/ControlCommands.h"

#include "monitor/LiveStores.h"

#include <algorithm>

namespace zav {

namespace {

using C = CommandCondition;
using G = CommandGroup;
using R = CommandRisk;

// clang-format off
#define HARMLESS R::Harmless, {nullptr, nullptr, nullptr}
const std::vector<ControlCommand> kCommands = {
    {"fault-clear", "SpeedButtonFaultClr", 351, 0x00FF, C::None, G::Function, true,
     {"故障清除", "Fault Clear", "故障清除"}, "clear the latched faults", R::ClearsData,
     {"UPS将清除已锁存的故障。", "The UPS clears its latched faults.", "UPS將清除已鎖存的故障。"}},
    {"mute", "SpeedButtonMuteOn", 353, 0x00FF, C::None, G::Function, false,
     {"告警消音", "Mute", "告警消音"}, "silence the alarm", HARMLESS},
    {"mute-off", nullptr, 353, 0x0000, C::None, G::Function, false,
     {"取消消音", "ESC Mute", "取消消音"}, "end the silencing of the alarm", HARMLESS},
    {"battery-history-clear", "SpeedButtonBattClr", 352, 0xFF00, C::None, G::Function, true,
     {"电池历史数据清除", "Battery History Clear", "電池歷史數據清除"}, "clear the battery history data", R::ClearsData,
     {"UPS将删除电池历史数据，删除后无法恢复。", "The UPS erases its battery history data; this cannot be undone.",
      "UPS將刪除電池歷史數據，刪除後無法復原。"}},
    {"dust-filter-time-clear", "SpeedButtonDustProofNetTimeClr", 352, 0x0033, C::None, G::Function, true,
     {"防尘网使用时间清除", "Dust Filter Time Clear", "防塵網使用時間清除"}, "restart the dust filter service time", R::ClearsData,
     {"UPS将把防尘网使用时间清零。", "The UPS sets the dust filter service time back to zero.", "UPS將把防塵網使用時間清零。"}},
    {"history-clear", "SpeedButtonHisClr", 352, 0x00FF, C::None, G::Function, true,
     {"历史清除", "History Clear", "歷史清除"}, "clear the history log", R::ClearsData,
     {"UPS将删除全部历史记录，删除后无法恢复。", "The UPS erases its whole history log; this cannot be undone.",
      "UPS將刪除全部歷史記錄，刪除後無法復原。"}},
    {"bypass", "SpeedButtonTxByp", 354, 0x00FF, C::None, G::Function, false,
     {"手动切旁路", "Manual Transfer to Bypass", "手動切旁路"}, "transfer the load to the bypass", R::MovesLoad,
     {"负载将转到旁路供电，不再受逆变器保护；旁路异常时负载会断电。",
      "The load is transferred to the bypass: the inverter no longer protects it, and a bypass fault leaves it "
      "without power.",
      "負載將轉到旁路供電，不再受逆變器保護；旁路異常時負載會斷電。"}},
    {"bypass-off", nullptr, 354, 0x0000, C::None, G::Function, false,
     {"取消手动旁路", "Esc Manual Bypass", "取消手動旁路"}, "end the manual bypass", R::MovesLoad,
     {"将取消手动旁路，负载转回逆变器供电。", "The manual bypass ends: the load is transferred back to the inverter.",
      "將取消手動旁路，負載轉回逆變器供電。"}},
    {"bypass-fan-time-clear", "SpeedButtonBypFanTimeClr", 352, 0x0011, C::None, G::Function, true,
     {"旁路风扇时间清除", "Bypass Fan Time Clear", "旁路風扇時間清除"}, "restart the bypass fan running time", R::ClearsData,
     {"UPS将把旁路风扇运行时间清零。", "The UPS sets the bypass fan running time back to zero.", "UPS將把旁路風扇執行時間清零。"}},
    {"clear-all", "SpeedButtonAllClr", 352, 0xFFFF, C::None, G::Function, true,
     {"全部清除", "Clear All", "全部清除"}, "clear the history log and the maintenance codes", R::ClearsData,
     {"UPS将删除全部历史记录和维护代码，删除后无法恢复。",
      "The UPS erases its whole history log and the maintenance codes; this cannot be undone.",
      "UPS將刪除全部歷史記錄和維護代碼，刪除後無法復原。"}},
    {"boost-charge", "SpeedButtonManualBoost", 355, 0x0F00, C::BatteryIdle, G::Test, false,
     {"手动均充", "Manual Boost Charge", "手動均充"}, "force boost charging", HARMLESS},
    {"float-charge", "SpeedButtonManualFloat", 355, 0xF000, C::BatteryIdle, G::Test, false,
     {"手动浮充", "Manual Float Charge", "手動浮充"}, "force float charging", HARMLESS},
    {"battery-test", "SpeedButtonBattTest", 355, 0x000F, C::BatteryIdle, G::Test, false,
     {"电池自检", "Battery Self-Test", "電池自檢"}, "start a battery self-test", R::MovesLoad,
     {"自检期间负载由电池供电；电池不良时负载可能断电。",
      "During the self-test the battery supplies the load; a weak battery may leave the load without power.",
      "自檢期間負載由電池供電；電池不良時負載可能斷電。"}},
    {"battery-maintenance", "SpeedButtonBattMaint", 355, 0x00F0, C::BatteryIdle, G::Test, false,
     {"电池维护", "Battery Maintenance", "電池維護"}, "start a battery maintenance discharge", R::MovesLoad,
     {"负载将由电池供电，电池将深度放电；充满之前若市电中断，后备时间会缩短。",
      "The battery supplies the load and is discharged deeply; until it is recharged, a utility failure leaves "
      "less backup time.",
      "負載將由電池供電，電池將深度放電；充滿之前若市電中斷，後備時間會縮短。"}},
    {"stop-test", "SpeedButtonStopTest", 355, 0x0000, C::BatteryPresent, G::Test, false,
     {"终止测试", "Stop Test", "終止測試"}, "stop a running battery test", HARMLESS},
};

const ModuleAction kActions[kModuleActionCount] = {
    {"rectifier-off", {"关整流", "Rectifier OFF", "關整流"}, "switch the module's rectifier off", R::DropsLoad,
     {"该模块的整流器将关闭，其承担的负载改由电池或其他模块供电。",
      "The module's rectifier stops; its share of the load is then carried by the battery or the other modules.",
      "該模塊的整流器將關閉，其承擔的負載改由電池或其他模塊供電。"}},
    {"rectifier-on", {"开整流", "Rectifier ON", "開整流"}, "switch the module's rectifier on", HARMLESS},
    {"inverter-off", {"关逆变", "Invertor OFF", "關逆變"}, "switch the module's inverter off", R::DropsLoad,
     {"该模块的逆变器将关闭，不再向负载供电；运行的逆变器不足时，负载将转旁路或断电。",
      "The module's inverter stops and no longer supplies the load; with too few inverters left running, the load "
      "goes to the bypass or loses power.",
      "該模塊的逆變器將關閉，不再向負載供電；運行的逆變器不足時，負載將轉旁路或斷電。"}},
    {"inverter-on", {"开逆变", "Invertor ON", "開逆變"}, "switch the module's inverter on", HARMLESS},
    {"fan-time-reset", {"风扇运行时间清除", "Reset Fan Running Timer", "風扇執行時間清除"},
     "restart the module's fan running time", R::ClearsData,
     {"风扇运行时间将清零。", "The fan running time is set back to zero.", "風扇執行時間將清零。"}},
    {"capacitor-time-reset", {"电容运行时间清除", "Reset DC Bus Capacitor Running Time", "電容執行時間清除"},
     "restart the module's DC bus capacitor running time", R::ClearsData,
     {"直流母线电容运行时间将清零。", "The DC bus capacitor running time is set back to zero.", "直流母線電容執行時間將清零。"}},
    {"fault-waveform-clear", {"故障锁存波形清除", "Reset Fault Latch Waveform", "故障鎖存波形清除"},
     "clear the module's latched fault waveform", R::ClearsData,
     {"锁存的故障波形将被删除，删除后无法恢复。", "The latched fault waveform is erased; this cannot be undone.",
      "鎖存的故障波形將被刪除，刪除後無法復原。"}},
    {"rectifier-calibration-clear", {"整流校准值清除", "Reset Rectifier Adjusted Value", "整流校準值清除"},
     "drop the module's rectifier calibration", R::ClearsData,
     {"整流校准值将被清除，测量恢复为未校准状态。",
      "The rectifier calibration is erased; its measurements go back to uncalibrated values.",
      "整流校準值將被清除，測量恢復為未校準狀態。"}},
    {"inverter-calibration-clear", {"逆变校准值清除", "Reset Invertor Adjusted Value", "逆變校準值清除"},
     "drop the module's inverter calibration", R::ClearsData,
     {"逆变校准值将被清除，测量恢复为未校准状态。",
      "The inverter calibration is erased; its measurements go back to uncalibrated values.",
      "逆變校準值將被清除，測量恢復為未校準狀態。"}},
    {"module-history-clear", {"所有历史数据清除", "Reset All History Data", "所有歷史資料清除"},
     "clear all of the module's history data", R::ClearsData,
     {"所有历史数据将被删除，删除后无法恢复。", "All history data is erased; this cannot be undone.",
      "所有歷史資料將被刪除，刪除後無法復原。"}},
};
#undef HARMLESS

const char* const kAll[3] = {"全部", "All", "全部"};
const char* const kMute[2][3] = {{"告警消音", "Mute", "告警消音"}, {"取消消音", "ESC Mute", "取消消音"}};
const char* const kBypass[2][3] = {{"手动切旁路", "Manual Transfer to Bypass", "手動切旁路"},
                                   {"取消手动旁路", "Esc Manual Bypass", "取消手動旁路"}};

struct PageText {
    const char* key;
    const char* text[3];
};
const PageText kPageTexts[] = {
    {"GroupBoxFunction", {"功能按键", "Function Keys", "功能按鍵"}},
    {"GroupBoxTest", {"测试命令", "Test Commands", "測試命令"}},
    {"GroupBoxModule", {"模块操作命令", "Module Operation Command", "模塊操作命令"}},
    {"LabelModID", {"模块", "Module", "模塊"}},
    {"LabelModAction", {"操作", "Action", "操作"}},
    {"ButtonModOnOffDone", {"执行", "Execute", "執行"}},
    {"ModuleCommand", {"模块命令", "Module command", "模塊命令"}},
};

const char* const kExceptions[][3] = {
    {"未知异常", "unknown exception", "未知異常"},
    {"UPS不支持该功能", "the UPS does not support this function", "UPS不支援該功能"},
    {"寄存器地址无效", "no such register", "寄存器位址無效"},
    {"数值不被接受", "the value is not accepted", "數值不被接受"},
    {"UPS当前无法执行", "the UPS cannot do it now", "UPS當前無法執行"},
    {"已接收，处理中", "accepted, still in progress", "已接收，處理中"},
    {"UPS忙", "the UPS is busy", "UPS忙"},
};

// One row per WriteOutcome, in its order.
const char* const kResults[6][3] = {
    {"UPS已接受“%1”。", "The UPS accepted \"%1\".", "UPS已接受「%1」。"},
    {"UPS拒绝了“%1”（异常码 %2：%3）。", "The UPS refused \"%1\" (exception %2: %3).",
     "UPS拒絕了「%1」（異常碼 %2：%3）。"},
    {"UPS对“%1”无应答。", "No answer from the UPS to \"%1\".", "UPS對「%1」無應答。"},
    {"UPS对“%1”的应答已损坏，可能未执行。", "The UPS's answer to \"%1\" was damaged; it may not have been carried out.",
     "UPS對「%1」的應答已損壞，可能未執行。"},
    {"“%1”：UPS中已是该值，未写入。", "\"%1\": the UPS already holds this value; nothing was written.",
     "「%1」：UPS中已是該值，未寫入。"},
    {"“%1”已中止，未得到UPS的确认（原因见日志）。", "\"%1\" was stopped before the UPS confirmed it (the log says why).",
     "「%1」已中止，未得到UPS的確認（原因見日誌）。"},
};
// The question before a command: its name, then what it does.
const char* const kQuestion[3] = {"“%1”\n\n%2\n\n确定执行吗？", "\"%1\"\n\n%2\n\nCarry it out?",
                                  "「%1」\n\n%2\n\n確定執行嗎？"};
const char* const kModuleName[3] = {"模块 %1：%2", "Module %1: %2", "模塊 %1：%2"};
const char* const kAllModulesName[3] = {"全部模块：%1", "All modules: %1", "全部模塊：%1"};

// Why a battery condition fails, by status word.
const char* const kBatteryMissing[3] = {"电池未连接", "the battery is not connected", "電池未連接"};
const char* const kSelfTestRuns[3] = {"电池自检正在进行", "a battery self-test is running", "電池自檢正在進行"};
const char* const kMaintenanceRuns[3] = {"电池维护正在进行", "a battery maintenance discharge is running",
                                         "電池維護正在進行"};
const char* const kRefusal[3] = {"“%1”未发送：%2。", "\"%1\" was not sent: %2.", "「%1」未發送：%2。"};
const char* const kNotSent[3] = {"“%1”未发送：确认期间通信链路忙、中断或已重新连接。",
                                 "\"%1\" was not sent: the link became busy, was lost or was reconnected while "
                                 "the question was open.",
                                 "「%1」未發送：確認期間通訊鏈路忙、中斷或已重新連線。"};
// clang-format on

int lang(int language) { return (language >= 0 && language <= 2) ? language : 1; }

} // namespace

const std::vector<ControlCommand>& controlCommands() { return kCommands; }

const ControlCommand* findCommand(const QString& name) {
    for (const ControlCommand& c : kCommands)
        if (name == QLatin1String(c.name)) return &c;
    return nullptr;
}

const ControlCommand* findCommand(uint16_t reg, uint16_t value) {
    for (const ControlCommand& c : kCommands)
        if (c.reg == reg && c.value == value) return &c;
    return nullptr;
}

const ControlCommand* commandForButton(const QString& button) {
    for (const ControlCommand& c : kCommands)
        if (c.button && button == QLatin1String(c.button)) return &c;
    return nullptr;
}

const ModuleAction& moduleAction(int index) { return kActions[std::clamp(index, 0, kModuleActionCount - 1)]; }

int moduleActionWire(int index) { return index == 9 ? 127 : index; }

int moduleActionIndex(const QString& name) {
    for (int i = 0; i < kModuleActionCount; ++i)
        if (name == QLatin1String(kActions[i].name)) return i;
    return -1;
}

QString moduleAllText(int language) { return QString::fromUtf8(kAll[lang(language)]); }

uint16_t moduleCommandValue(int module, int actionIndex) {
    return uint16_t(module * 256 + moduleActionWire(actionIndex));
}

bool modelHasCommand(const ControlCommand& command, int upsModel) {
    if (upsModel < 0 || upsModel > 8) return false;
    return !(command.clear && upsModel == 8);
}

bool modelHasModuleCommands(int upsModel) { return upsModel == 0 || upsModel == 1; }

bool conditionMet(CommandCondition condition, const RegisterStore& LiveStatus) {
    switch (condition) {
    case C::None: return true;
    case C::BatteryIdle: return LiveStatus[83] == 1 && LiveStatus[98] == 0 && LiveStatus[100] == 0;
    case C::BatteryPresent: return LiveStatus[83] == 1;
    }
    return false;
}

QString conditionFailureText(CommandCondition condition, const RegisterStore& LiveStatus, int language) {
    if (conditionMet(condition, LiveStatus)) return {};
    const int l = lang(language);
    if (LiveStatus[83] != 1) return QString::fromUtf8(kBatteryMissing[l]);
    if (LiveStatus[98] != 0) return QString::fromUtf8(kSelfTestRuns[l]);
    return QString::fromUtf8(kMaintenanceRuns[l]);
}

QString conditionFailure(CommandCondition condition, const RegisterStore& LiveStatus) {
    return conditionFailureText(condition, LiveStatus, 1);
}

QString conditionRefusalText(const ControlCommand& command, const RegisterStore& LiveStatus, int language) {
    const QString why = conditionFailureText(command.condition, LiveStatus, language);
    if (why.isEmpty()) return {};
    return QString::fromUtf8(kRefusal[lang(language)]).arg(QString::fromUtf8(command.caption[lang(language)]), why);
}

bool commandAsks(const ControlCommand& command) { return command.risk != CommandRisk::Harmless; }

namespace {
QString question(const QString& what, const char* const effect[3], int language) {
    return QString::fromUtf8(kQuestion[lang(language)]).arg(what, QString::fromUtf8(effect[lang(language)]));
}
} // namespace

QString commandQuestion(const ControlCommand& command, int language) {
    if (!commandAsks(command)) return {};
    return question(QString::fromUtf8(command.caption[lang(language)]), command.effect, language);
}

QString moduleCommandQuestion(uint16_t value, int language) {
    const int module = value >> 8, wire = value & 0xFF;
    const int index = wire == 127 ? 9 : wire;
    if (index < 0 || index >= kModuleActionCount) return {};
    const ModuleAction& action = kActions[index];
    if (action.risk == CommandRisk::Harmless) return {};
    const int l = lang(language);
    const QString caption = QString::fromUtf8(action.caption[l]);
    const QString what = module == kAllModules ? QString::fromUtf8(kAllModulesName[l]).arg(caption)
                                               : QString::fromUtf8(kModuleName[l]).arg(module).arg(caption);
    return question(what, action.effect, language);
}

QString notSentText(const QString& what, int language) {
    return QString::fromUtf8(kNotSent[lang(language)]).arg(what);
}

QString muteCaption(int state, int language) { return QString::fromUtf8(kMute[state ? 1 : 0][lang(language)]); }
QString bypassCaption(int state, int language) {
    return QString::fromUtf8(kBypass[state ? 1 : 0][lang(language)]);
}

Toggle toggleMute(const QString& caption, int language) {
    if (caption == muteCaption(0, language)) return {muteCaption(1, language), 0x00FF};
    return {muteCaption(0, language), 0x0000};
}

Toggle toggleBypass(const QString& caption, int language, uint16_t supplySource) {
    bool cancel;
    if (caption == bypassCaption(0, language))
        cancel = false;
    else if (caption == bypassCaption(1, language))
        cancel = true;
    else
        cancel = supplySource == 2; // the load is on the bypass: the useful command is its cancel
    return cancel ? Toggle{bypassCaption(0, language), 0x0000} : Toggle{bypassCaption(1, language), 0x00FF};
}

int rememberedModule(const QString& shown, int language) {
    if (shown == moduleAllText(language)) return kAllModules;
    bool ok = false;
    const int n = shown.toInt(&ok);
    return ok ? n : 0;
}

BoxItems moduleIdBox(int upsModel, const ModulePresence& modules, const RegisterStore& LiveStatus,
                     int remembered, int language) {
    BoxItems box;
    if (upsModel >= 0 && upsModel <= 2) {
        if (modules.count != 0) {
            for (int m : modules.list)
                box.items << QString::number(m);
        } else {
            for (int u = 1; u <= 10; ++u)
                if (LiveStatus[121 + 12 * (u - 1)] == 1) box.items << QString::number(u);
        }
        if (box.items.size() >= 2) box.items << moduleAllText(language);
    } else if (upsModel == 3 || upsModel == 4) {
        box.items << QStringLiteral("1");
    }
    if (box.items.isEmpty()) return box;
    const QString want = remembered == kAllModules ? moduleAllText(language) : QString::number(remembered);
    box.selected = std::max(0, int(box.items.indexOf(want)));
    return box;
}

BoxItems moduleActionBox(bool allModules, const QString& rememberedText, int language) {
    BoxItems box;
    for (int i = allModules ? 4 : 0; i < kModuleActionCount; ++i)
        box.items << QString::fromUtf8(kActions[i].caption[lang(language)]);
    box.selected = std::max(0, int(box.items.indexOf(rememberedText)));
    return box;
}

std::optional<uint16_t> moduleCommandFromBoxes(const QString& moduleText, const QString& actionText,
                                               int language) {
    const int module = rememberedModule(moduleText, language);
    if (module == 0) return std::nullopt;
    int action = -1;
    for (int i = 0; i < kModuleActionCount; ++i)
        if (actionText == QString::fromUtf8(kActions[i].caption[lang(language)])) action = i;
    if (action < 0) return std::nullopt;
    return moduleCommandValue(module, action);
}

QString controlPageText(const char* key, int language) {
    for (const PageText& t : kPageTexts)
        if (qstrcmp(t.key, key) == 0) return QString::fromUtf8(t.text[lang(language)]);
    if (const ControlCommand* c = commandForButton(QLatin1String(key)))
        return QString::fromUtf8(c->caption[lang(language)]);
    return {};
}

QString exceptionText(uint8_t code, int language) {
    const int row = (code >= 1 && code <= 6) ? code : 0;
    return QString::fromUtf8(kExceptions[row][lang(language)]);
}

QString writeResultText(const WriteResult& result, const QString& what, int language) {
    const char* const* row = kResults[int(result.outcome)];
    const QString format = QString::fromUtf8(row[lang(language)]);
    if (result.outcome == WriteOutcome::Refused)
        return format.arg(what, QString::number(result.exceptionCode), exceptionText(result.exceptionCode, language));
    return format.arg(what);
}

} // namespace zav
