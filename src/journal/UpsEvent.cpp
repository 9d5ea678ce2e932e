#include "journal/UpsEvent.h"

#include <array>

namespace zav {

namespace {

// One row per type, in EventType's order.
const std::array<EventTypeInfo, kEventTypeCount> kTypes{{
    {EventType::LinkUp, "link-up", "link", {"通讯已建立", "Link to the UPS established", "通訊已建立"}},
    {EventType::LinkLost, "link-lost", "link", {"通讯中断", "Link to the UPS lost", "通訊中斷"}},
    {EventType::Disconnected, "disconnected", "link", {"已断开连接", "Disconnected from the UPS", "已中斷連線"}},
    {EventType::ModelDetected, "model", "link", {"识别到UPS型号", "UPS model detected", "識別到UPS型號"}},
    {EventType::ModelRejected, "model-rejected", "link", {"UPS型号无法识别", "UPS model not recognised", "UPS型號無法識別"}},
    {EventType::PowerFail, "power-fail", "power", {"市电故障，UPS由电池供电", "Utility failure: the UPS runs on battery", "市電故障，UPS由電池供電"}},
    {EventType::PowerBack, "power-back", "power", {"市电恢复", "Utility power is back", "市電恢復"}},
    {EventType::BatteryLow, "battery-low", "power", {"电池电压低", "Battery low", "電池電壓低"}},
    {EventType::BatteryLowGone, "battery-ok", "power", {"电池电压低已解除", "Battery no longer low", "電池電壓低已解除"}},
    {EventType::BypassOn, "bypass-on", "power", {"负载转旁路", "Load on bypass", "負載轉旁路"}},
    {EventType::BypassOff, "bypass-off", "power", {"负载离开旁路", "Load off bypass", "負載離開旁路"}},
    {EventType::OutputOff, "output-off", "power", {"UPS输出关闭", "UPS output off", "UPS輸出關閉"}},
    {EventType::OutputOn, "output-on", "power", {"UPS输出开启", "UPS output on", "UPS輸出開啟"}},
    {EventType::AlarmRaised, "alarm", "alarm", {"告警", "Alarm", "告警"}},
    {EventType::AlarmCleared, "alarm-cleared", "alarm", {"告警解除", "Alarm cleared", "告警解除"}},
    {EventType::Command, "command", "command", {"控制命令", "Control command", "控制命令"}},
    {EventType::SettingWrite, "setting", "command", {"参数设置", "Settings write", "參數設置"}},
    {EventType::CountdownStarted, "countdown", "protection", {"关机倒计时开始", "Shutdown countdown started", "關機倒數計時開始"}},
    {EventType::CountdownCancelled, "countdown-cancelled", "protection", {"关机倒计时取消", "Shutdown countdown cancelled", "關機倒數計時取消"}},
    {EventType::ShutdownBegun, "shutdown", "protection", {"开始关机", "PC shutdown begun", "開始關機"}},
}};

struct KindRow {
    const char* kind;
    Texts3 title;
};
constexpr KindRow kKinds[] = {
    {"link", {"通讯", "Link", "通訊"}},
    {"power", {"供电", "Power", "供電"}},
    {"alarm", {"告警", "Alarms", "告警"}},
    {"command", {"命令与设置", "Commands and settings", "命令與設置"}},
    {"protection", {"电脑保护", "PC protection", "電腦保護"}},
};

} // namespace

const EventTypeInfo& eventTypeInfo(EventType type) {
    const int i = int(type);
    return kTypes[size_t(i >= 0 && i < kEventTypeCount ? i : 0)];
}

EventType eventTypeFromName(const QString& name) {
    for (const EventTypeInfo& t : kTypes)
        if (name == QLatin1String(t.name)) return t.type;
    return EventType::Count;
}

QStringList eventKinds() {
    QStringList out;
    for (const KindRow& k : kKinds) out << QString::fromLatin1(k.kind);
    return out;
}

QString eventKindTitle(const QString& kind, int language) {
    for (const KindRow& k : kKinds)
        if (kind == QLatin1String(k.kind)) return pickText(k.title, language);
    return kind;
}

QString eventTitle(EventType type, int language) { return pickText(eventTypeInfo(type).title, language); }

} // namespace zav
