#include "settings/SettingTexts.h"

#include <array>

namespace zav {

namespace {

struct PageText {
    const char* name;
    std::array<const char*, 3> text; // CN, EN, CHT
};

const PageText kTexts[] = {
    // rated page
    {"GroupBoxRateSet", {"额定设置", "Rated Settings", "額定設置"}},
    {"TabSheetSysCode1", {"系统码设置1", "System Code 1", "系統碼設置1"}},
    {"TabSheetSysCode4", {"系统码设置2", "System Code 2", "系統碼設置2"}},
    {"TabSheetSysCode5", {"UPS信息设置", "UPS Information", "UPS資訊設置"}},
    {"ButtonRateSettingSend", {"设置", "Set", "設置"}},
    // user-service page
    {"TabSheetSysSet", {"系统设置", "System Settings", "系統設置"}},
    {"TabSheetBattSet", {"电池设置", "Battery Settings", "電池設置"}},
    {"TabSheetCfgCode", {"用服配置", "Service Configuration", "用服配置"}},
    {"TabSheetUpsEvent", {"告警设置", "Alarm Settings", "告警設置"}},
    {"TabSheetDryContact", {"干接点设置", "Dry Contacts", "乾接點設置"}},
    {"TabSheetShutdown", {"关机设置", "Shutdown Settings", "關機設置"}},
    {"GroupBoxSeverSet", {"系统设置", "System Settings", "系統設置"}},
    {"GroupBoxBattSet", {"电池设置", "Battery Settings", "電池設置"}},
    {"GroupBoxCfgCode1", {"定制码", "Custom Code", "定制碼"}},
    {"GroupBoxCfgCode2", {"定制码2", "Custom Code 2", "定制碼2"}},
    {"GroupBoxIPDryContact", {"输入干接点", "Input Dry Contacts", "輸入乾接點"}},
    {"GroupBoxOPDryContact", {"输出干接点", "Output Dry Contacts", "輸出乾接點"}},
    {"ButtonSeverSend", {"设置", "Set", "設置"}},
    {"ButtonBattSetSend", {"设置", "Set", "設置"}},
    {"ButtonCfgCodeSet", {"设置", "Set", "設置"}},
    {"ButtonDryContactSet", {"设置", "Set", "設置"}},
    {"SpeedButtonTime", {"获取当前时间", "Get the current time", "獲取當前時間"}},
    // alarm settings
    {"GroupBoxUpsEvent", {"UPS 事件", "UPS Events", "UPS 事件"}},
    {"ButtonSelAll", {"全选", "Select All", "全選"}},
    {"ButtonClrAll", {"全部清除", "Clear All", "全部清除"}},
    {"ButtonOK", {"确定", "OK", "確定"}},
    {"LabelBeeper", {"声音", "Sound", "聲音"}},
    // The column heads over the settings rows: what the UPS holds, and what Set writes.
    {"LabelHeadOld", {"UPS值", "UPS", "UPS值"}},
    {"LabelHeadNew", {"新值", "New", "新值"}},
    {"ComboBoxBeeperOnOff", {"关|开", "Off|On", "關|開"}}, // the items, split at '|'

};

} // namespace

QString settingsPageText(const QString& name, int language) {
    const int l = (language >= 0 && language <= 2) ? language : 1;
    for (const PageText& t : kTexts)
        if (name == QLatin1String(t.name)) return QString::fromUtf8(t.text[size_t(l)]);
    return {};
}

} // namespace zav
