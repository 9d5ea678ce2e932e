#include "monitor/UpsSummary.h"

#include "foundation/LanguageText.h"
#include "monitor/PowerState.h"

#include <algorithm>

namespace zav {

namespace {

constexpr int kBatteryConnected = 83; // status word: 0 no battery
// Measurement words, in tenths: runtime (minutes), charge (percent), load per output phase (percent).
constexpr int kRuntime = 55;
constexpr int kCharge = 56;
constexpr int kLoad = 46;

// A word with its top bit set is no reading (the UPS reports -1 or a missing module that way).
std::optional<double> tenths(uint16_t word) {
    if (word >= 0x8000) return std::nullopt;
    return word / 10.0;
}

const Texts3 kStateTexts[] = {
    {"无数据", "No data", "無資料"},
    {"在线", "On line", "在線"},
    {"电池供电", "On battery", "電池供電"},
    {"电池电量低", "Low battery", "電池電量低"},
    {"旁路供电", "On bypass", "旁路供電"},
    {"输出关闭", "Output off", "輸出關閉"},
};

const Texts3 kGapTexts[] = {
    {"", "", ""},
    {"未连接", "Not connected", "未連線"},
    {"串口已消失（适配器被拔出？）", "The port is gone (adapter unplugged?)", "串口已消失（轉接器被拔出？）"},
    {"UPS 无应答", "The UPS does not answer", "UPS 無回應"},
    {"等待数据", "Waiting for data", "等待資料"},
    {"文件中的数据，非实时", "Values from a file, not live", "檔案中的資料，非即時"},
};

constexpr Texts3 kCharge3 = {"电量", "Charge", "電量"};
constexpr Texts3 kRuntime3 = {"后备时间", "Runtime", "後備時間"};
constexpr Texts3 kLoad3 = {"负载", "Load", "負載"};
constexpr Texts3 kMinutes3 = {"分钟", "min", "分鐘"};

QString valueText(const Texts3& caption, const std::optional<double>& value, const QString& unit, int language) {
    const QString shown = value ? QString::number(*value, 'f', 0) + u' ' + unit : QStringLiteral("--");
    return pickText(caption, language) + u' ' + shown;
}

} // namespace

DataGap dataGap(const LinkView& link) {
    if (link.offlineFile && !link.portOpen) return DataGap::OfflineFile;
    if (!link.connected) return DataGap::NotConnected;
    if (!link.portOpen) return DataGap::PortLost;
    if (!link.linkOk) return DataGap::NoAnswer;
    if (!link.cycleSeen) return DataGap::Waiting;
    return DataGap::None;
}

std::optional<double> highestLoadPercent(const LiveStores& live, const MeasureLayout& layout) {
    const int phases = threePhaseLayout(MeasureGrid::Output, layout) ? 3 : 1;
    std::optional<double> highest;
    for (int p = 0; p < phases; ++p)
        if (const auto load = tenths(live.LiveData[kLoad + p])) highest = std::max(highest.value_or(0.0), *load);
    return highest;
}

std::optional<double> runtimeMinutesLeft(const LiveStores& live) {
    if (live.LiveStatus[kBatteryConnected] == 0) return std::nullopt;
    return tenths(live.LiveData[kRuntime]);
}

UpsSummary summarizeUps(const LiveStores& live, const MeasureLayout& layout, DataGap gap) {
    UpsSummary s;
    s.gap = gap;
    if (gap != DataGap::None && gap != DataGap::OfflineFile) return s;
    const PowerState power = powerState(live.LiveStatus);
    // The most urgent first: nothing at the output, then a battery about to run out.
    if (power.outputOff)
        s.state = UpsPowerState::OutputOff;
    else if (power.batteryLow)
        s.state = UpsPowerState::LowBattery;
    else if (power.onBattery)
        s.state = UpsPowerState::OnBattery;
    else if (power.onBypass)
        s.state = UpsPowerState::OnBypass;
    else
        s.state = UpsPowerState::OnLine;
    s.chargePercent = tenths(live.LiveData[kCharge]);
    s.runtimeMinutes = runtimeMinutesLeft(live);
    s.loadPercent = highestLoadPercent(live, layout);
    return s;
}

QString powerStateText(UpsPowerState state, int language) {
    return pickText(kStateTexts[int(state)], language);
}

QString dataGapText(DataGap gap, int language) {
    return pickText(kGapTexts[int(gap)], language);
}

QString chargeText(const UpsSummary& s, int language) {
    return valueText(kCharge3, s.chargePercent, QStringLiteral("%"), language);
}

QString runtimeText(const UpsSummary& s, int language) {
    return valueText(kRuntime3, s.runtimeMinutes, pickText(kMinutes3, language), language);
}

QString loadText(const UpsSummary& s, int language) {
    return valueText(kLoad3, s.loadPercent, QStringLiteral("%"), language);
}

QString summaryLine(const UpsSummary& s, int language) {
    QStringList parts{powerStateText(s.state, language)};
    if (s.gap != DataGap::None) parts << dataGapText(s.gap, language);
    if (s.state != UpsPowerState::NoData) parts << chargeText(s, language) << runtimeText(s, language) << loadText(s, language);
    return parts.join(QStringLiteral(" · "));
}

} // namespace zav
