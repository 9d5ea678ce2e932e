#include "monitor/MeasureTexts.h"

#include "foundation/LanguageText.h"

namespace zav {

namespace {

constexpr std::array<Texts3, 8> kOutputRows = {{
    {"电压V", "Volt(V)", "電壓V"},
    {"电流A", "Curr(A)", "電流A"},
    {"频率Hz", "Freq(Hz)", "頻率Hz"},
    {"功率因数", "PF", "功率因數"},
    {"视在功率kVA", "Power S(kVA)", "視在功率kVA"},
    {"有功功率kW", "Power P(kW)", "有功功率kW"},
    {"无功功率kVar", "Power Q(kVar)", "無功功率kVar"},
    {"负载率%", "Load(%)", "負載率%"},
}};

constexpr std::array<Texts3, 6> kBatteryRows = {{
    {"电压V", "Voltage(V)", "電壓V"},
    {"电流A", "Current(A)", "電流A"},
    {"容量%", "Capacity(%)", "容量%"},
    {"剩余时间Min", "RmdTime(min)", "剩餘時間Min"},
    {"电池温度℃", "BattTemp.(oC)", "電池溫度℃"},
    {"环境温度℃", "EnvTemp.(oC)", "環境溫度℃"},
}};

} // namespace

int measureRowCount(MeasureGrid grid) {
    switch (grid) {
    case MeasureGrid::Output:
        return 8;
    case MeasureGrid::Battery:
        return 6;
    default:
        return 4; // bypass and main: the first four output rows
    }
}

QString measureRowLabel(MeasureGrid grid, int row, int language) {
    if (row < 0 || row >= measureRowCount(grid)) return {};
    return pickText(grid == MeasureGrid::Battery ? kBatteryRows[size_t(row)] : kOutputRows[size_t(row)],
                    language);
}

QString homeBypassCaption(int language) {
    return pickText({"旁路", "Bypass", "旁路"}, language);
}

QString homeMainCaption(int upsModel, int language) {
    return upsModel >= 5 ? pickText({"输入", "Input", "輸入"}, language)
                         : pickText({"主路", "Main", "主路"}, language);
}

QString homeOutputCaption(int language) {
    return pickText({"输出", "Output", "輸出"}, language);
}
QString homeOutputOffText(int language) {
    return pickText({"UPS输出已关闭", "UPS output off", "UPS輸出已關閉"}, language);
}
bool homeOutputOff(bool statusReported, uint16_t supplySource) {
    return statusReported && supplySource == 0;
}
QString homeBatteryCaption(int language) {
    return pickText({"电池", "Battery", "電池"}, language);
}
QString monitorVersionCaption(int language) {
    return pickText({"监控版本:", "Monitor Ver.:", "監控版本:"}, language);
}

QString measureChartTitle(MeasureGrid grid, int language) {
    static constexpr std::array<Texts3, 4> titles = {{
        {"旁路电压(V)", "Bypass Voltage(V)", "旁路電壓(V)"},
        {"主路电压(V)", "Main Input Voltage(V)", "主路電壓(V)"},
        {"输出电压(V)", "Output Voltage(V)", "輸出電壓(V)"},
        {"电池电压(V)", "Battery Voltage(V)", "電池電壓(V)"},
    }};
    return pickText(titles[size_t(grid)], language);
}

} // namespace zav
