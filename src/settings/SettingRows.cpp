#include "settings/SettingRows.h"

namespace zav {

namespace {

using G = SettingGroup;
using Models = char[10];

QString pick(const Texts3& t, int language) {
    const int l = (language >= 0 && language <= 2) ? language : 1;
    return QString::fromUtf8(t[size_t(l)]);
}

SettingRow row(G g, Texts3 c, const char* label, const char* oldName, const char* newName, NewKind kind,
               Show show, ItemList items, int reg, const Models& models) {
    return SettingRow{g, c, label, oldName, newName, kind, show, items, reg, modelMask(models)};
}

SettingRow edit(G g, Texts3 c, const char* label, const char* oldName, const char* newName, Show show,
                int reg, const Models& models, int maxLength, InputFilter filter) {
    SettingRow r = row(g, c, label, oldName, newName, NewKind::Edit, show, ItemList::None, reg, models);
    r.maxLength = uint8_t(maxLength);
    r.filter = filter;
    return r;
}

SettingRow list(G g, Texts3 c, const char* label, const char* oldName, const char* newName, Show show,
                ItemList items, int reg, const Models& models) {
    return row(g, c, label, oldName, newName, NewKind::Combo, show, items, reg, models);
}

SettingRow packed(G g, Texts3 c, const char* label, const char* oldName, const char* newName, ItemList items,
                  int reg, int shift, int width, const Models& models) {
    SettingRow r = list(g, c, label, oldName, newName, Show::Packed, items, reg, models);
    r.shift = uint8_t(shift);
    r.width = uint8_t(width);
    return r;
}

// A bit word: the Old field shows the number, one check box per bit is its New control.
SettingRow bitWord(G g, Texts3 c, const char* label, const char* oldName, int reg) {
    return row(g, c, label, oldName, nullptr, NewKind::BitBoxes, Show::BitWord, ItemList::None, reg,
               "xxxxxxxxx");
}

SettingRow ruled(SettingRow r, CaptionRule rule) {
    r.captionRule = rule;
    return r;
}

SettingRow spanning(SettingRow r, int registers) {
    r.regCount = uint8_t(registers);
    return r;
}

SettingRow field(SettingRow r, int shift, int width) {
    r.shift = uint8_t(shift);
    r.width = uint8_t(width);
    return r;
}

SettingRow dry(G g, const char* label, const char* oldName, const char* newName, int reg, int shift,
               const Models& models, int preset, int presetModel6) {
    SettingRow r = packed(g, {"", "", ""}, label, oldName, newName,
                          g == G::IPDry ? ItemList::InputDry : ItemList::OutputDry, reg, shift, 8, models);
    r.captionRule = CaptionRule::DryContact;
    r.preset = int8_t(preset);
    r.presetModel6 = int8_t(presetModel6);
    return r;
}

// The write side of a row: its script name, its place in the page's write list and its unit.
SettingRow as(SettingRow r, const char* key, int order, const char* unit) {
    r.key = key;
    r.setOrder = uint8_t(order);
    r.unit = unit;
    return r;
}

SettingRow limits(SettingRow r, int rank, int min, int max) {
    r.range = RangeRule::Fixed;
    r.checkRank = uint8_t(rank);
    r.min = min;
    r.max = max;
    return r;
}

SettingRow ranged(SettingRow r, RangeRule rule, int rank) {
    r.range = rule;
    r.checkRank = uint8_t(rank);
    return r;
}

SettingRow hinted(SettingRow r, int hint) {
    r.hint = int8_t(hint);
    return r;
}

constexpr auto D = InputFilter::Digits;
constexpr auto Dec = InputFilter::Decimal;
constexpr auto Txt = InputFilter::Ascii;

QVector<SettingRow> buildRows() {
    QVector<SettingRow> rows = {
        // Rated settings (GroupBoxRateSet)
        as(list(G::Rate, {"机柜容量", "CabinetKva", "機櫃容量"}, "Label28", "Edit21", "ComboBox16",
                Show::ListNumber, ItemList::CabinetCapacity, 321, "xxx------"),
           "rated.cabinet_kva", 1, "kVA"),
        as(edit(G::Rate, {"使用容量", "CabinetUsed", "使用容量"}, "Label37", "Edit1", "EditUseCabCap",
                Show::Integer, 322, "xxx------", 3, D),
           "rated.cabinet_used_kva", 7, "kVA"),
        as(ruled(list(G::Rate, {"模块容量", "ModuleKva", "模块容量"}, "Label29", "Edit22", "ComboBox17",
                      Show::ListNumber, ItemList::ModuleCapacity, 323, "xxxxxxxx-"),
                 CaptionRule::RatedModuleCapacity),
           "rated.module_kva", 2, "kVA"),
        as(ruled(edit(G::Rate, {"使用容量", "ModuleUsed", "使用容量"}, "Label34", "Edit2", "EditUseModCap",
                      Show::Integer, 324, "xxxxxxxx-", 2, D),
                 CaptionRule::RatedModuleUsed),
           "rated.module_used_kva", 8, "kVA"),
        as(list(G::Rate, {"输入相电压", "Input Phase Voltage", "輸入相電壓"}, "Label30", "Edit23",
                "ComboBox18", Show::ListNumber, ItemList::Voltage, 325, "xxxxxxxx-"),
           "input.voltage", 3, "V"),
        as(list(G::Rate, {"输入频率", "Input Frequency", "輸入頻率"}, "Label31", "Edit24", "ComboBox20",
                Show::ListNumber, ItemList::Frequency, 326, "xxxxxxxx-"),
           "input.frequency", 5, "Hz"),
        as(list(G::Rate, {"输出相电压", "Output Phase Voltage", "輸出相電壓"}, "Label32", "Edit25",
                "ComboBox19", Show::ListNumber, ItemList::Voltage, 327, "xxxxxxxxx"),
           "output.voltage", 4, "V"),
        as(list(G::Rate, {"输出频率", "Output Frequency", "輸出頻率"}, "Label33", "Edit26", "ComboBox21",
                Show::ListNumber, ItemList::Frequency, 328, "xxxxxxxxx"),
           "output.frequency", 6, "Hz"),

        // System codes and UPS information (tabs of PageControlSysCode)
        as(bitWord(G::SysCode1, {"系统码", "System Code", "系統碼"}, "LabelSysCode1", "Editsyscode1", 329),
           "system.code1", 9, ""),
        as(bitWord(G::SysCode4, {"系统码", "System Code", "系統碼"}, "LabelSysCode4", "Editsyscode4", 330),
           "system.code2", 10, ""),
        hinted(limits(as(edit(G::SysInfo, {"UPS模式", "UPS Mode", "UPS模式"}, "LabelUPSMode",
                              "EditUPSModeOld", "EditUPSModeNew", Show::UpsMode, 331, "xxxxxxxxx", 4, D),
                         "ups.mode", 11, ""),
                      1, 0, 1023),
               25),
        hinted(as(spanning(edit(G::SysInfo, {"UPS型号", "UPS Type", "UPS型號"}, "LabelUPSType",
                                "EditUPSTypeOld", "EditUPSTypeNew", Show::Text, 427, "xxxxxxxxx", 10, Txt),
                           5),
                  "ups.type", 12, ""),
               27),
        hinted(as(spanning(edit(G::SysInfo, {"公司名称", "Company Name", "公司名稱"}, "LabelCompanyName",
                                "EditCompanyNameOld", "EditCompanyNameNew", Show::Text, 432, "xxxxxxxxx", 15,
                                Txt),
                           8),
                  "ups.company", 13, ""),
               28),

        // System settings (GroupBoxSeverSet), rows 0..38
        as(list(G::Server, {"系统模式", "System Mode", "系統模式"}, "Label14", "EditModeOld", "ComboBoxMode",
                Show::Mode, ItemList::Mode, 301, "xxxxxxxxx"),
           "system.mode", 0, ""),
        as(list(G::Server, {"机器数量", "Units in System", "機器數量"}, "Label15", "EditNumOld",
                "ComboBoxNum", Show::UnitCount, ItemList::UnitCount, 302, "xxxxxxxx-"),
           "system.units", 1, ""),
        ranged(as(list(G::Server, {"系统ID", "System ID", "系統ID"}, "Label16", "EditIdOld", "ComboBoxID",
                       Show::ListIndex, ItemList::UnitId, 303, "xxxxxxxx-"),
                  "system.unit_id", 2, ""),
               RangeRule::UnitId, 4),
        hinted(ranged(as(edit(G::Server, {"调整输出电压", "Output Voltage Adjust", "調整輸出電壓"}, "Label17",
                              "EditOutVOld", "EditOutV", Show::Integer, 304, "xxxxxxxxx", 3, D),
                         "output.voltage_adjust", 3, "V"),
                      RangeRule::OutputVoltage, 1),
               2),
        hinted(limits(as(edit(G::Server, {"频率跟踪速度", "Frequency Slew Rate", "頻率追蹤速度"}, "Label18",
                              "EditFreq1Old", "EditFreq1", Show::Tenths, 305, "xxxxxxxx-", 3, Dec),
                         "frequency.slew_rate", 4, "Hz/s"),
                      2, 1, 50),
               4),
        hinted(limits(as(edit(G::Server, {"频率跟踪限制", "Frequency Synchronization Window", "頻率追蹤限制"},
                              "Label13", "EditFreq2Old", "EditFreq2", Show::Tenths, 306, "xxxxxxxxx", 3, Dec),
                         "frequency.sync_window", 5, "Hz"),
                      3, 5, 50),
               3),
        as(list(G::Server, {"单色屏背光时间(Min)", "LCD Backlight Time(Min)", "單色屏背光時間(Min)"},
                "Label25", "EditBlkPrd", "ComboBoxBklTime", Show::Backlight, ItemList::Backlight, 373,
                "xxxxxxxxx"),
           "lcd.backlight_time", 16, "min"),
        hinted(limits(as(edit(G::Server, {"Logo显示时间(秒)", "Logo Show Time(s)", "Logo顯示時間(秒)"},
                              "LabelLogoShowTime", "EditLogoShowTime", "EditLogoShowTimeNew", Show::Integer,
                              440, "xxx------", 2, D),
                         "logo.show_time", 11, "s"),
                      8, 0, 60),
               31),
        hinted(as(spanning(edit(G::Server, {"系列号", "Serial Number", "系列號"}, "Label48", "Edit3", "Edit4",
                                Show::Serial, 308, "xxxx-----", 7, D),
                           2),
                  "ups.serial_number", 6, ""),
               13),
        as(list(G::Server, {"冗余模块数", "Redundant Modules", "冗餘模組數"}, "Label7", "EditModRedundantOld",
                "ComboBoxModRedundant", Show::ListIndex, ItemList::Redundant, 374, "xxx------"),
           "modules.redundant", 17, ""),
        as(packed(G::Server, {"旁路电压上限(%)", "Bypass Voltage Upper Limit(%)", "旁路電壓上限(%)"},
                  "Label8", "EditBypVoltUpLmtOld", "ComboBoxBypVoltUpLmt", ItemList::BypVoltUp, 375, 0, 3,
                  "xxxxxxxxx"),
           "bypass.voltage_upper_limit", 18, "%"),
        as(packed(G::Server, {"旁路电压下限(%)", "Bypass Voltage Lower Limit(%)", "旁路電壓下限(%)"},
                  "Label9", "EditBypVoltDnLmtOld", "ComboBoxBypVoltDnLmt", ItemList::BypVoltDn, 375, 3, 3,
                  "xxxxxxxxx"),
           "bypass.voltage_lower_limit", 18, "%"),
        as(packed(G::Server, {"旁路频率范围(Hz)", "Bypass Frequency Range(Hz)", "旁路頻率範圍(Hz)"},
                  "Label19", "EditBypFreqRangeOld", "ComboBoxBypFreqRange", ItemList::BypFreq, 375, 6, 2,
                  "xxxxxxxxx"),
           "bypass.frequency_range", 18, "Hz"),
        as(ruled(packed(G::Server,
                        {"回切主路延时(s)", "Battery Transfer to Main Delay(s)", "回切主路延時(s)"},
                        "LabelBattTxRecDelay", "EditBattTxRecDlyOld", "ComboBoxBattTxRecDly",
                        ItemList::Retransfer, 375, 8, 2, "xxx-----x"),
                 CaptionRule::Retransfer),
           "bypass.retransfer_delay", 18, ""),
        as(packed(G::Server, {"EOD后系统启动", "System Start after EOD", "EOD後系統啟動"}, "Label61",
                  "EditEodEndSysStartOld", "ComboBoxEodEndSysStart", ItemList::EodStart, 375, 10, 2,
                  "xxxxxxxxx"),
           "system.start_after_eod", 18, ""),
        as(packed(G::Server, {"自老化电流(%)", "Self-Aging Current(%)", "自老化電流(%)"}, "LabelAgingCurrent",
                  "EditAgingCurrOld", "ComboBoxAgingCurr", ItemList::AgingCurrent, 375, 12, 3, "xxxxx-x--"),
           "system.self_aging_current", 18, "%"),
        as(packed(G::Server, {"风扇3级调速", "Fan 3-Level Speed", "風扇3級調速"}, "LabelFan3Level",
                  "EditFan3LevelOld", "ComboBoxFan3Level", ItemList::NoYes, 375, 15, 1, "xxxxx-x--"),
           "fan.three_level_speed", 18, ""),
        as(packed(G::Server, {"允许缺相工作", "Allow Phase Loss Operation", "允許缺相工作"}, "Label45",
                  "EditAllowLostPhsWork", "ComboBoxAllowLostPhsWork", ItemList::NoYes, 376, 0, 1,
                  "x--x-----"),
           "input.allow_phase_loss", 19, ""),
        as(packed(G::Server, {"温升限制级别", "Temperature Rise Limit Level", "溫升限制級別"}, "Label46",
                  "EditDeltaTmpErrRange", "ComboBoxDeltaTmpErrRange", ItemList::Level4, 376, 1, 2,
                  "x--x-----"),
           "temperature.rise_limit_level", 19, ""),
        as(packed(G::Server, {"进风口温度级别", "Air Inlet Temperature Level", "進風口溫度級別"},
                  "LabelFanFaultOff", "EditFanFaultOff", "ComboBoxFanFaultOff", ItemList::Level4, 376, 3, 2,
                  "x--x-----"),
           "temperature.inlet_level", 19, ""),
        as(packed(G::Server, {"电动机模式", "Motor Mode", "電動機模式"}, "LabelMotorMode", "EditMotorMode",
                  "ComboBoxMotorMode", ItemList::NoYes, 376, 5, 1, "x--x-----"),
           "output.motor_mode", 19, ""),
        as(packed(G::Server, {"变频器模式", "Frequency Converter Mode", "變頻器模式"}, "LabelFreqTransMode",
                  "EditFreqTransMode", "ComboBoxFreqTransMode", ItemList::NoYes, 376, 6, 1, "xxxxxxxx-"),
           "output.frequency_converter_mode", 19, ""),
        as(packed(G::Server, {"旁路反灌保护使能", "Bypass Backfeed Protection Enable", "旁路反灌保護使能"},
                  "LabelBypBackfeedProtectEnable", "EditBypBackfeedProtectEnable",
                  "ComboBoxBypBackfeedProtectEnable", ItemList::NoYes, 376, 7, 1, "---x-----"),
           "bypass.backfeed_protection", 19, ""),
        as(packed(G::Server, {"输入高压快检使能", "Input Overvoltage Fast Check Enable", "輸入高壓快檢使能"},
                  "Label88", "EditOverVoltFastCheck", "ComboBoxOverVoltFastCheck", ItemList::NoYes, 376, 9, 1,
                  "x--x-----"),
           "input.overvoltage_fast_check", 19, ""),
        as(ruled(packed(G::Server, {"充电器故障报警使能", "Charger Fail Alarm Enable", "充電器故障報警使能"},
                        "LabelChgFailAlmEn", "EditChgFailAlmEn", "ComboBoxChgFailAlmEn", ItemList::NoYes, 376,
                        10, 1, "x--x-xxx-"),
                 CaptionRule::ChargerAlarm),
           "charger.fail_alarm", 19, ""),
        as(packed(G::Server, {"输出短路切旁路使能", "Output Short to Bypass Enable", "輸出短路切旁路使能"},
                  "LabelOpShortTxBypEn", "EditOpShortTxBypEn", "ComboBoxOpShortTxBypEn", ItemList::NoYes, 376,
                  11, 1, "x--x-----"),
           "output.short_to_bypass", 19, ""),
        hinted(limits(as(edit(G::Server,
                              {"模块风扇维护周期", "Module Fan Maintenance Period", "模組風扇維護週期"},
                              "LabelModFanRunTime", "EditModFanRunTimeOld", "EditModFanRunTimeNew",
                              Show::Integer, 422, "x--x-----", 5, D),
                         "maintenance.module_fan_period", 9, "h"),
                      6, 1000, 60000),
               24),
        hinted(limits(as(edit(G::Server,
                              {"旁路风扇维护周期", "Bypass Fan Maintenance Period", "旁路風扇維護週期"},
                              "LabelBypFanRunTime", "EditBypFanRunTimeOld", "EditBypFanRunTimeNew",
                              Show::Integer, 421, "x--x-----", 5, D),
                         "maintenance.bypass_fan_period", 7, "h"),
                      5, 1000, 60000),
               24),
        hinted(limits(as(edit(G::Server,
                              {"模块电容维护周期", "Module Capacitor Maintenance Period", "模組電容維護週期"},
                              "LabelModCapacitorRunTime", "EditModCapacitorRunTimeOld",
                              "EditModCapacitorRunTimeNew", Show::Integer, 423, "x--x-----", 5, D),
                         "maintenance.module_capacitor_period", 8, "h"),
                      7, 1000, 60000),
               24),
        hinted(as(edit(G::Server, {"从输出后备时间", "Slave Output Backup Time", "從輸出後備時間"},
                       "LabelSlaveStandbyTime", "EditSlaveStandbyTimeOld", "EditSlaveStandbyTimeNew",
                       Show::Integer, 388, "-----x-xx", 3, D),
                  "output.slave_backup_time", 10, "min"),
               30),
        as(packed(G::Server,
                  {"发电机接入关闭充电器使能", "Charger Off on Generator Enable", "發電機接入關閉充電器使能"},
                  "LabelGenInChgOff", "EditGenInChgOff", "ComboBoxGenInChgOff", ItemList::NoYes, 376, 12, 1,
                  "x--x-----"),
           "generator.charger_off", 19, ""),
        as(packed(G::Server, {"主路反灌检测使能", "Mains Backfeed Detection Enable", "主路反灌檢測使能"},
                  "LabelMainFBDetEn", "EditMainFBDetEn", "ComboBoxMainFBDetEn", ItemList::NoYes, 376, 13, 1,
                  "xxx-x-x--"),
           "input.mains_backfeed_detection", 19, ""),
        as(packed(G::Server, {"逆变控制方式使能", "Inverter Control Way Enable", "逆變控制方式使能"},
                  "LabelInvCtrWay", "EditInvCtrWay", "ComboBoxInvCtrWay", ItemList::NoYes, 376, 14, 1,
                  "---------"),
           "inverter.control_way", 19, ""),
        as(list(G::Server, {"机柜基础功率模块数", "Cabinet Base Power Modules", "機櫃基礎功率模組數"},
                "LabelPowerMods", "EditPowerMods", "ComboBoxPowerMods", Show::ListNumber, ItemList::PowerMods,
                441, "x--------"),
           "modules.cabinet_base_count", 12, ""),
        as(packed(G::Server,
                  {"发电机接入关闭充电模块使能", "Charger Modules Off on Generator Enable",
                   "發電機接入關閉充電模組使能"},
                  "LabelGenInExtChgrModEn", "EditGenInExtChgrModEn", "ComboBoxGenInExtChgrModEn",
                  ItemList::NoYes, 376, 15, 1, "x--------"),
           "generator.charger_modules_off", 19, ""),
        as(spanning(row(G::Server, {"系统时间", "System Time", "系統時間"}, "Label87", "EditSysTimeOld",
                        "DateTimePickerDataNew", NewKind::Clock, Show::Clock, ItemList::None, 424,
                        "-xxx-----"),
                    3),
           "system.time", 20, ""),
        hinted(as(edit(G::Server,
                       {"机柜防尘网维护周期(天)", "Cabinet Dust Filter Maintenance(Day)",
                        "機櫃防塵網維護週期(天)"},
                       "LabelCabDustMaintTime", "EditCabDustMaintTimeOld", "EditCabDustMaintTimeNew",
                       Show::Integer, 442, "x--------", 4, D),
                  "maintenance.dust_filter_period", 14, "d"),
               34),
        as(list(G::Server, {"逆变软起时间(毫秒)", "Inverter Soft Start Time(ms)", "逆變軟起時間(毫秒)"},
                "LabelSoftStartTime", "EditSoftStartTime", "ComboBoxSoftStartTime", Show::ListNumber,
                ItemList::SoftStart, 333, "---------"),
           "inverter.soft_start_time", 13, "ms"),
        as(packed(G::Server, {"每小时切换次数限制", "Transfers per Hour Limit", "每小時切換次數限制"},
                  "LabelTxtimes", "EditTxtimes", "ComboBoxTxtimes", ItemList::TransfersPerHour, 334, 0, 16,
                  "x--------"),
           "bypass.transfers_per_hour", 15, ""),

        // Battery settings (GroupBoxBattSet), rows 0..21
        as(packed(G::Batt, {"电池类型", "Battery Type", "電池類型"}, "Label85", "EditBattType",
                  "ComboBoxBattType", ItemList::BattType, 386, 0, 3, "x--------"),
           "battery.type", 20, ""),
        as(list(G::Batt, {"电池节数", "Battery Number", "電池節數"}, "Label67", "EditBattNumOld",
                "ComboBoxBattNum", Show::ListNumber, ItemList::BattCount, 311, "xxxxxxxx-"),
           "battery.count", 1, ""),
        hinted(limits(as(edit(G::Batt, {"电池AH", "Battery AH", "電池AH"}, "Label68", "EditBattAh",
                              "EditBattAhNew", Show::Integer, 312, "xxxxxxxxx", 5, D),
                         "battery.capacity", 7, "Ah"),
                      1, 1, 30000),
               6),
        as(list(G::Batt, {"单体浮充电压(V)", "Float Charge Voltage/Cell(V)", "單體浮充電壓(V)"}, "Label66",
                "EditFloatOld", "ComboBoxFloat", Show::ListScaled, ItemList::Float, 313, "xxxxxxxx-"),
           "battery.float_voltage", 2, "V"),
        as(list(G::Batt, {"单体均充电压(V)", "Boost Charge Voltage/Cell(V)", "單體均充電壓(V)"}, "Label70",
                "EditBoostOld", "ComboBoxBoost", Show::ListScaled, ItemList::Boost, 314, "xxxxxxxxx"),
           "battery.boost_voltage", 3, "V"),
        as(ruled(list(G::Batt, {"EOD电压0.6C(V)", "EOD Voltage/Cell,@0.6C Current(V)", "EOD电压0.6C(V)"},
                      "Label72", "EditEod1Old", "ComboBoxEod1", Show::ListScaled, ItemList::Eod1, 315,
                      "xxxxxxxxx"),
                 CaptionRule::Eod1),
           "battery.eod_voltage_0_6c", 4, "V"),
        as(ruled(list(G::Batt, {"EOD电压0.15C(V)", "EOD Voltage/Cell,@0.15C Current(V)", "EOD电压0.15C(V)"},
                      "Label73", "EditEod2Old", "ComboBoxEod2", Show::ListScaled, ItemList::Eod2, 316,
                      "xxxxxxxxx"),
                 CaptionRule::Eod2),
           "battery.eod_voltage_0_15c", 5, "V"),
        as(ruled(list(G::Batt,
                      {"功率模块充电电流限值(%)", "PM Charge Current Percent Limit(%)",
                       "功率模組充電電流限值(%)"},
                      "Label74", "EditChgOld", "ComboBoxChg", Show::ChargeLimit, ItemList::ChargeLimit, 317,
                      "xxxxxxxxx"),
                 CaptionRule::ChargeLimitUnit),
           "battery.charge_current_limit", 6, ""),
        hinted(ranged(as(edit(G::Batt, {"充电温度补偿", "Temperature Compensate", "充電溫度補償"}, "Label1",
                              "EditTempCompOld", "EditTempComp", Show::Tenths, 307, "xxxxxxxx-", 3, Dec),
                         "battery.temperature_compensation", 14, "mV/degC"),
                      RangeRule::TempComp, 2),
               5),
        hinted(limits(as(edit(G::Batt, {"均充时间限制", "Boost Charge Time Limit", "均充時間限制"}, "Label22",
                              "EditBoostLmtOld", "EditBoostLmt", Show::Integer, 318, "xxxxxxxxx", 2, D),
                         "battery.boost_time_limit", 8, "h"),
                      3, 1, 48),
               15),
        hinted(limits(as(edit(G::Batt, {"自动均充周期", "Auto Boost Period", "自動均充週期"}, "Label23",
                              "EditBoostPrdOld", "EditBoostPrd", Show::Integer, 319, "xxxxxxxxx", 5, D),
                         "battery.auto_boost_period", 9, "h"),
                      4, 720, 30000),
               17),
        hinted(limits(as(edit(G::Batt, {"自动放电周期", "Auto Maintenance Discharge Period", "自動放電週期"},
                              "Label24", "EditDischgPrdOld", "EditDischgPrd", Show::Integer, 320, "xxxxxxxxx",
                              5, D),
                         "battery.auto_discharge_period", 10, "h"),
                      5, 720, 30000),
               17),
        hinted(
            ranged(as(edit(G::Batt, {"深度放电允许时间", "Battery Deep Discharge Time", "深度放電允許時間"},
                           "LabelDeepDischgTime", "EditDeepDischgTimeOld", "EditDeepDischgTime",
                           Show::Integer, 381, "-----x-xx", 3, D),
                      "battery.deep_discharge_time", 11, "min"),
                   RangeRule::DeepDischarge, 6),
            19),
        hinted(limits(as(edit(G::Batt, {"电池无检测周期", "No Battery Detect Period", "電池無檢測週期"},
                              "LabelNoBattDetPrd", "EditNoBattDetPrdOld", "EditNoBattDetPrd", Show::Integer,
                              382, "-----x-xx", 4, D),
                         "battery.no_battery_check_period", 12, "min"),
                      7, 5, 3000),
               20),
        hinted(limits(as(edit(G::Batt, {"电池无检测时间", "No Battery Detect Time", "電池無檢測時間"},
                              "LabelNoBattDetOffTime", "EditNoBattDetOffTimeOld", "EditNoBattDetOffTime",
                              Show::Integer, 383, "-----x-x-", 1, D),
                         "battery.no_battery_check_time", 13, "min"),
                      8, 1, 5),
               21),
        hinted(limits(as(edit(G::Batt, {"电池维护提示周期", "Battery Maintenance Period", "電池維護提示週期"},
                              "LabelBattMaintTime", "EditBattRunTimeOld", "EditBattRunTimeNew", Show::Integer,
                              384, "x--x-xxxx", 4, D),
                         "battery.maintenance_period", 15, "d"),
                      9, 0, 3000),
               22),
        hinted(as(field(edit(G::Batt, {"电池过温告警点", "Battery Over-Temperature Alarm", "電池過溫告警點"},
                             "LabelBattOvTmp", "EditBattOvTmpOld", "EditBattOvTmpNew", Show::Integer, 385,
                             "xxxx-----", 2, D),
                        0, 8),
                  "battery.overtemperature_alarm", 19, "degC"),
               23),
        hinted(as(field(edit(G::Batt, {"环境过温告警点", "Ambient Over-Temperature Alarm", "環境過溫告警點"},
                             "LabelBattAmbientOvTmp", "EditBattAmbientOvTmpOld", "EditBattAmbientOvTmpNew",
                             Show::Integer, 385, "xxxx-----", 2, D),
                        8, 8),
                  "battery.ambient_overtemperature_alarm", 19, "degC"),
               23),
        hinted(
            limits(as(edit(G::Batt, {"电池备用时间", "Battery Backup Time", "電池備用時間"}, "Label86",
                           "EditStandbyTimeOld", "EditStandbyTimeNew", Show::Integer, 387, "x--------", 4, D),
                      "battery.backup_time", 16, "min"),
                   10, 0, 6000),
            26),
        hinted(limits(as(edit(G::Batt,
                              {"充电模块(选件)充电电流限值", "Charger Module (Option) Current Limit",
                               "充電模組(選件)充電電流限值"},
                              "LabelChgModCurrLimit", "EditChgModCurrLimitOld", "EditChgModCurrLimitNew",
                              Show::Integer, 389, "x--------", 2, D),
                         "charger.module_current_limit", 17, "A"),
                      11, 0, 99),
               32),
        as(list(G::Batt, {"电池低压点倍数", "Battery Low Voltage Multiple", "電池低壓點倍數"},
                "LabelBattLowVoltMult", "EditBattLowVoltMult", "ComboBoxBattLowVoltMult", Show::ListScaled,
                ItemList::LowVoltMult, 332, "------xxx"),
           "battery.low_voltage_multiple", 18, ""),
        as(field(list(G::Batt,
                      {"电池充电电流限值(C)", "Battery Charge Current Limit(C)", "電池充電電流限值(C)"},
                      "LabelBattLmtChgCurrent", "EditBattLmtChgCurrent", "ComboBoxBattLmtChgCurrent",
                      Show::BattChargeCurrent, ItemList::BattChargeCurrent, 386, "x--------"),
                 3, 5),
           "battery.charge_current_limit_c", 20, "C"),

        // Configuration codes (tab "用服配置")
        as(bitWord(G::CfgCode1, {"定制码", "Custom Code", "定制碼"}, "LabelCfgCode1", "EditCfgCode1", 369),
           "custom.code1", 1, ""),
        as(packed(G::CfgCode2, {"休眠负载级别(%)", "Dormancy Load Level(%)", "休眠負載級別(%)"},
                  "LabelDormancyLoadLevel", "EditDormancyLoadLevelOld", "ComboBoxDormancyLoadLevel",
                  ItemList::Dormancy, 370, 0, 3, "x--------"),
           "custom.dormancy_load_level", 2, "%"),
        as(packed(G::CfgCode2, {"轮流休眠时间(月)", "Rotation Sleep Period(Month)", "輪流休眠時間(月)"},
                  "LabelRotationPrt", "EditRotationPrtOld", "ComboBoxRotationPrt", ItemList::Rotation, 370, 3,
                  3, "x--------"),
           "custom.rotation_period", 2, "months"),
        as(packed(G::CfgCode2, {"环境过温关机使能", "Ambient Over-Temperature Shutdown", "環境過溫關機使能"},
                  "Label94", "EditAmbOvTmpShutdown", "ComboBoxAmbOvTmpShutdown", ItemList::NoYes, 370, 15, 1,
                  "xxx------"),
           "custom.ambient_overtemperature_shutdown", 2, ""),
        as(packed(G::CfgCode2, {"发电机接入充电级别", "Generator Charge Level", "發電機接入充電級別"},
                  "LabelGenInChgCurrLevel", "EditGenInChgCurrLevel", "ComboBoxGenInChgCurrLevel",
                  ItemList::GenChargeLevel, 370, 6, 2, "x--------"),
           "custom.generator_charge_level", 2, ""),

        // Dry contacts: low byte contact 1 (3), high byte contact 2 (4)
        as(dry(G::IPDry, "LabelIPDry1", "EditIPDry1", "ComboBoxIPDry1", 377, 0, "xxxx--x--", 0, 0),
           "dry.input1", 1, ""),
        as(dry(G::IPDry, "LabelIPDry2", "EditIPDry2", "ComboBoxIPDry2", 377, 8, "xxxx-----", 3, -1),
           "dry.input2", 1, ""),
        as(dry(G::IPDry, "LabelIPDry3", "EditIPDry3", "ComboBoxIPDry3", 378, 0, "xxxx-----", 5, -1),
           "dry.input3", 2, ""),
        as(dry(G::IPDry, "LabelIPDry4", "EditIPDry4", "ComboBoxIPDry4", 378, 8, "---------", -1, -1),
           "dry.input4", 2, ""),
        as(dry(G::OPDry, "LabelOPDry1", "EditOPDry1", "ComboBoxOPDry1", 379, 0, "xxxx--x--", 0, 0),
           "dry.output1", 3, ""),
        as(dry(G::OPDry, "LabelOPDry2", "EditOPDry2", "ComboBoxOPDry2", 379, 8, "xxxx--x--", 10, 1),
           "dry.output2", 3, ""),
        as(dry(G::OPDry, "LabelOPDry3", "EditOPDry3", "ComboBoxOPDry3", 380, 0, "xxxx--x--", 3, 2),
           "dry.output3", 4, ""),
        as(dry(G::OPDry, "LabelOPDry4", "EditOPDry4", "ComboBoxOPDry4", 380, 8, "xxxx--x--", 6, 3),
           "dry.output4", 4, "")};
    return rows;
}

struct DryName {
    const char* oldName;
    const char* name;       // models 0-3
    const char* nameModel6; // model 6
};
const DryName kDryNames[] = {
    {"EditIPDry1", "J5", "Pin4"}, {"EditIPDry2", "J6-2", "J6-2"}, {"EditIPDry3", "J7", "J7"},
    {"EditIPDry4", "J4", "J4"},   {"EditOPDry1", "J6-1", "Pin3"}, {"EditOPDry2", "J8", "Pin6"},
    {"EditOPDry3", "J9", "Pin7"}, {"EditOPDry4", "J10", "Pin9"},
};

const GroupGeometry kGeometry[] = {
    {G::Rate, "GroupBoxRateSet", 12, 21, 112, 20, 168, 20, 98, 52, 80, 260, true, 0},
    {G::SysCode1, "TabSheetSysCode1", 13, 216, 133, 214, 0, 0, 115, 80, 0, 380, false, 0},
    {G::SysCode4, "TabSheetSysCode4", 13, 216, 133, 214, 0, 0, 115, 80, 0, 380, false, 0},
    {G::SysInfo, "TabSheetSysCode5", 10, 20, 110, 18, 270, 18, 95, 150, 150, 430, false, 0},
    {G::Server, "GroupBoxSeverSet", 20, 20, 275, 19, 430, 19, 250, 145, 145, 660, true, 0},
    {G::Batt, "GroupBoxBattSet", 20, 20, 275, 19, 430, 19, 250, 145, 145, 600, true, 0},
    {G::CfgCode1, "GroupBoxCfgCode1", 13, 216, 133, 214, 0, 0, 115, 80, 0, 380, false, 250},
    {G::CfgCode2, "GroupBoxCfgCode2", 10, 24, 158, 22, 216, 22, 145, 54, 120, 350, false, 160},
    {G::IPDry, "GroupBoxIPDryContact", 10, 24, 70, 22, 200, 22, 58, 125, 150, 360, false, 160},
    {G::OPDry, "GroupBoxOPDryContact", 10, 24, 70, 22, 200, 22, 58, 125, 150, 360, false, 160},
};

// Check-box captions of the bit words by model (columns M0..M8); nullptr: the model hides the box.
using BitCaptions = std::array<const char*, 9>;
const BitCaptions kSysCode1[16] = {
    {"Derate(0)", "Derate(0)", "Derate(0)", "Derate(0)", "Derate(0)", "Derate(0)", "Derate(0)", "Derate(0)",
     nullptr},
    {"Out 3/1(1)", "33/31(1)", "33/31(1)", "Out 3/1(1)", "33/31(1)", "11/31(1)", "11/31(1)", "11/31(1)",
     "FanFullSpeed(1)"},
    {"AutoBoost(2)", "AutoBoost(2)", "AutoBoost(2)", "AutoBoost(2)", "AutoBoost(2)", "DCBusLevel(2)",
     "AutoBoost(2)", "DCBusLevel(2)", nullptr},
    {"AutoMaint(3)", "AutoMaint(3)", "AutoMaint(3)", "AutoMaint(3)", "AutoMaint(3)", "AutoMaint(3)",
     "AutoMaint(3)", "AutoMaint(3)", nullptr},
    {"RmOrHt(4)", "RmOrHt(4)", "RmOrHt(4)", "RmOrHt(4)", "RmOrHt(4)", "Transformer(4)", "Transformer(4)",
     "Transformer(4)", "Transformer(4)"},
    {"NotTxTLmt(5)", "NotTxTLmt(5)", "NotTxTLmt(5)", "NotTxTLmt(5)", "NotTxTLmt(5)", "NotTxTLmt(5)",
     "NotTxTLmt(5)", "NotTxTLmt(5)", nullptr},
    {"Hi2LowVoltSys(6)", "FreqSelfAdpt(6)", "FreqSelfAdpt(6)", "Hi2LowVoltSys(6)", "FreqSelfAdpt(6)",
     "FreqSelfAdpt(6)", "FreqSelfAdpt(6)", "FreqSelfAdpt(6)", "FreqSelfAdpt(6)"},
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {"RecCtrWay(8)", "RecCtrWay(8)", "RecCtrWay(8)", "RecCtrWay(8)", "RecCtrWay(8)", "InvAutoStart(8)",
     "RecCtrWay(8)", "InvAutoStart(8)", "FanLow(8)"},
    {"PFFlag(9)", "PFFlag(9)", "PFFlag(9)", "PFFlag(9)", "PFFlag(9)", "PFFlag(9)", "PFFlag(9)", "PFFlag(9)",
     "PFFlag(9)"},
    {"AllowDcOvRst(A)", "AllowDcOvRst(A)", "AllowDcOvRst(A)", "AllowDcOvRst(A)", "AllowDcOvRst(A)",
     "AllowDcOvRst(A)", "AllowDcOvRst(A)", "AllowDcOvRst(A)", "Generator(A)"},
    {"OvLdToutExt(B)", "OvLdToutExt(B)", "OvLdToutExt(B)", "OvLdToutExt(B)", "OvLdToutExt(B)",
     "OvLdToutExt(B)", "OvLdToutExt(B)", "OvLdToutExt(B)", "OvLdToutExt(B)"},
    {"InhibitAdj(C)", "InhibitAdj(C)", "InhibitAdj(C)", "InhibitAdj(C)", "InhibitAdj(C)", "InhibitAdj(C)",
     "InhibitAdj(C)", "InhibitAdj(C)", nullptr},
    {"DcBusLevel(D)", "DcBusLevel(D)", "DcBusLevel(D)", "DcBusLevel(D)", "DcBusLevel(D)", "NoBattExistChk(D)",
     "DcBusLevel(D)", "NoBattExistChk(D)", nullptr},
    {"PFExterm(E)", "PFExterm(E)", "PFExterm(E)", "PFExterm(E)", "PFExterm(E)", "DisPhsErrStart(E)",
     "PFExterm(E)", "DisPhsErrStart(E)", "DisPhsErrStart(E)"},
    {"ModFanFailOff(F)", nullptr, nullptr, "ModFanFailOff(F)", nullptr, "ParallelPm(F)", "FanFailBzOnEn(F)",
     "ParallelPm(F)", "DisBattSocEn(F)"},
};

const BitCaptions kSysCode4[16] = {
    {nullptr, "RB(0)", "RB(0)", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {"In 3/1(1)", nullptr, nullptr, "In 3/1(1)", nullptr, nullptr, nullptr, nullptr, nullptr},
    {nullptr, "ButtFncPwdL1(2)", "ButtFncPwdL1(2)", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {"DispLLVolt(3)", "DispLLVolt(3)", "DispLLVolt(3)", "DisLLVolt(3)", nullptr, nullptr, nullptr, nullptr,
     nullptr},
    {nullptr, "NeutralLostClr(4)", "NeutralLostClr(4)", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {"SntComAlmEn(5)", "SntComAlmEn(5)", "SntComAlmEn(5)", "NotDisCn(5)", nullptr, "PFExtern(5)", nullptr,
     "PFExtern(5)", nullptr},
    {nullptr, nullptr, nullptr, "NotDisRateKVA(6)", nullptr, "EpoNormClose(6)", nullptr, "EpoNormClose(6)",
     "EpoNormClose(6)"},
    {"DCBusVoltCtrl0(7)", nullptr, nullptr, "DCBusVoltCtrl0(7)", nullptr, "DryNormOpen(7)", nullptr,
     "DryNormOpen(7)", "DryNormOpen(7)"},
    {"DCBusVoltCtrl1(8)", nullptr, nullptr, "DCBusVoltCtrl1(8)", nullptr, nullptr, nullptr, nullptr,
     "HiEfficiency(8)"},
    {"NotPwmAvg(9)", nullptr, nullptr, "NotPwmAvg(9)", nullptr, "Eod2LevelEn(9)", "Eod2LevelEn(9)",
     "Eod2LevelEn(9)", "Eod2LevelEn(9)"},
    {"AgeTxBattEn(A)", "AgeTxBattEn(A)", "AgeTxBattEn(A)", "AgeTxBattEn(A)", "AgeTxBattEn(A)", nullptr,
     "AgeTxBattEn(A)", nullptr, nullptr},
    {"OpShortClrEn(B)", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
};

// Register 369: every box is shown on every model, only the captions change.
const BitCaptions kCfgCode1[16] = {
    {"Tx2InvIntEnable(0)", "Tx2InvIntEnable(0)", "Tx2InvIntEnable(0)", "Tx2InvIntEnable(0)", "Reserved(0)",
     "Reserved(0)", "Tx2InvIntEnable(0)", "Reserved(0)", "Reserved(0)"},
    {"ModOnOffEnable(1)", "ModOnOffEnable(1)", "ModOnOffEnable(1)", "ModOnOffEnable(1)", "Reserved(1)",
     "Reserved(1)", "Reserved(1)", "Reserved(1)", "Reserved(1)"},
    {"SleepEnable(2)", "Reserved(2)", "Reserved(2)", "Reserved(2)", "Reserved(2)", "Reserved(2)",
     "Reserved(2)", "Reserved(2)", "Reserved(2)"},
    {"DeepSleepEnable(3)", "Reserved(3)", "Reserved(3)", "Reserved(3)", "Reserved(3)", "Reserved(3)",
     "Reserved(3)", "Reserved(3)", "Reserved(3)"},
    {"BypTxInstalled(4)", "Reserved(4)", "Reserved(4)", "BypTxInstalled(4)", "Reserved(4)", "KoreaEco(4)",
     "Reserved(4)", "KoreaEco(4)", "KoreaEco(4)"},
    {"SciLcdEnable(5)", "Reserved(5)", "Reserved(5)", "Reserved(5)", "Reserved(5)", "2PhaseOut(5)",
     "Reserved(5)", "2PhaseOut(5)", "Reserved(5)"},
    {"InletOvTmpAlmEn(6)", "Reserved(6)", "Reserved(6)", "InletOvTmpAlmEn(6)", "Reserved(6)", "usedAsOne(6)",
     "Reserved(6)", "usedAsOne(6)", "Reserved(6)"},
    {"ForbidTx2Byp(7)", "ForbidTx2Byp(7)", "ForbidTx2Byp(7)", "ForbidTx2Byp(7)", "ForbidTx2Byp(7)",
     "Reserved(7)", "ForbidTx2Byp(7)", "Reserved(7)", "Reserved(7)"},
    {"LocalEpoDisable(8)", "EpoDisable(8)", "EpoDisable(8)", "LocalEpoDisable(8)", "Reserved(8)",
     "Reserved(8)", "Reserved(8)", "Reserved(8)", "Reserved(8)"},
    {"RemoteEpoDisable(9)", "Reserved(9)", "Reserved(9)", "RemoteEpoDisable(9)", "Reserved(9)", "Reserved(9)",
     "RemoteEpoDisable(9)", "Reserved(9)", "Reserved(9)"},
    {"BypOvTmpForbidByp(A)", "Reserved(A)", "Reserved(A)", "Reserved(A)", "Reserved(A)", "Reserved(A)",
     "Reserved(A)", "Reserved(A)", "Reserved(A)"},
    {"NoBattery(B)", "NoBattery(B)", "NoBattery(B)", "NoBattery(B)", "Reserved(B)", "Reserved(B)",
     "Reserved(B)", "Reserved(B)", "Reserved(B)"},
    {"DisablePmNumErr(C)", "BypTxInstalled(C)", "BypTxInstalled(C)", "DisablePmNumErr(C)", "Reserved(C)",
     "Reserved(C)", "Reserved(C)", "Reserved(C)", "Reserved(C)"},
    {"FBDetOnlyAtBatt(D)", "FBDetOnlyAtBatt(D)", "FBDetOnlyAtBatt(D)", "Reserved(D)", "Reserved(D)",
     "Reserved(D)", "phaseErrStart(D)", "Reserved(D)", "Reserved(D)"},
    {"OpTxInstalled(E)", "OpTxInstalled(E)", "OpTxInstalled(E)", "ColoredPortraitMode(E)", "Reserved(E)",
     "Reserved(E)", "OpTxInstalled(E)", "Reserved(E)", "Reserved(E)"},
    {"IpTxInstalled(F)", "IpTxInstalled(F)", "IpTxInstalled(F)", "ColoredLcdFourLang(F)", "Reserved(F)",
     "Reserved(F)", "IpTxInstalled(F)", "Reserved(F)", "Reserved(F)"},
};

const BitCaptions& bitCaptions(BitWord word, int bit) {
    switch (word) {
    case BitWord::SysCode1:
        return kSysCode1[bit];
    case BitWord::SysCode4:
        return kSysCode4[bit];
    case BitWord::CfgCode1:
        break;
    }
    return kCfgCode1[bit];
}

bool validModel(int model) {
    return model >= 0 && model <= 8;
}
bool validBit(int bit) {
    return bit >= 0 && bit <= 15;
}

} // namespace

const QVector<SettingRow>& settingRows() {
    static const QVector<SettingRow> rows = buildRows();
    return rows;
}

QVector<const SettingRow*> rowsOf(SettingGroup group) {
    QVector<const SettingRow*> out;
    for (const SettingRow& r : settingRows())
        if (r.group == group) out << &r;
    return out;
}

const SettingRow* rowByOldName(const QString& oldName) {
    for (const SettingRow& r : settingRows())
        if (oldName == QLatin1String(r.oldName)) return &r;
    return nullptr;
}

const SettingRow* rowByNewName(const QString& newName) {
    for (const SettingRow& r : settingRows())
        if (r.newName && newName == QLatin1String(r.newName)) return &r;
    return nullptr;
}

const SettingRow* rowByKey(const QString& key) {
    for (const SettingRow& r : settingRows())
        if (key == QLatin1String(r.key)) return &r;
    return nullptr;
}

uint16_t fieldValue(const SettingRow& row, const RegisterStore& SettingData) {
    const uint16_t word = SettingData[row.reg];
    if (row.width >= 16) return word;
    return uint16_t((word >> row.shift) & ((1u << row.width) - 1u));
}

QString rowCaption(const SettingRow& row, int model, int language, const RegisterStore& SettingData) {
    const bool towers3to7 = model >= 3 && model <= 7;
    switch (row.captionRule) {
    case CaptionRule::Fixed:
        break;
    case CaptionRule::RatedModuleCapacity:
        return pick(towers3to7 ? Texts3{"额定容量", "RateKva", "额定容量"}
                               : Texts3{"模块容量", "ModuleKva", "模块容量"},
                    language);
    case CaptionRule::RatedModuleUsed:
        return pick(towers3to7 ? Texts3{"使用容量", "UsedKva", "使用容量"}
                               : Texts3{"使用容量", "ModuleUsed", "使用容量"},
                    language);
    case CaptionRule::Retransfer:
        if (model == 8) return pick({"开关机模式", "Power On Off Mode", "開關機模式"}, language);
        break;
    case CaptionRule::ChargerAlarm:
        if (model == 5 || model == 7)
            return pick({"充电器故障报警禁止", "Charger Fail Alarm Disable", "充電器故障報警使能"}, language);
        break;
    case CaptionRule::ChargeLimitUnit:
        if (model >= 5)
            return pick(
                {"功率模块充电电流限值(A)", "PM Charge Current Percent Limit(A)", "功率模組充電電流限值(A)"},
                language);
        break;
    case CaptionRule::Eod1:
    case CaptionRule::Eod2: {
        // Models with two EOD levels relabel the rows when the UPS has them enabled (330 bit 9).
        const bool twoLevels = (model == 5 || model == 7 || model == 8) && (SettingData[330] & 0x0200);
        if (!twoLevels) break;
        return row.captionRule == CaptionRule::Eod1
                   ? pick({"电池启动EOD(V)", "Battery Boot EOD(V)", "电池启动EOD(V)"}, language)
                   : pick({"市电转电池EOD(V)", "Utility to Battery EOD(V)", "市电转电池EOD(V)"}, language);
    }
    case CaptionRule::DryContact:
        for (const DryName& d : kDryNames)
            if (QLatin1String(d.oldName) == QLatin1String(row.oldName))
                return QString::fromLatin1(model == 6 ? d.nameModel6 : d.name);
        return {};
    }
    return pick(row.caption, language);
}

const GroupGeometry& groupGeometry(SettingGroup group) {
    for (const GroupGeometry& g : kGeometry)
        if (g.group == group) return g;
    return kGeometry[0];
}

int bitWordRegister(BitWord word) {
    switch (word) {
    case BitWord::SysCode1:
        return 329;
    case BitWord::SysCode4:
        return 330;
    case BitWord::CfgCode1:
        break;
    }
    return 369;
}

SettingGroup bitWordGroup(BitWord word) {
    switch (word) {
    case BitWord::SysCode1:
        return SettingGroup::SysCode1;
    case BitWord::SysCode4:
        return SettingGroup::SysCode4;
    case BitWord::CfgCode1:
        break;
    }
    return SettingGroup::CfgCode1;
}

QString bitBoxName(BitWord word, int bit) {
    const char* stem = word == BitWord::SysCode1   ? "CheckBoxSysCode1Bit"
                       : word == BitWord::SysCode4 ? "CheckBoxSysCode4Bit"
                                                   : "CheckBoxCfgCode1Bit";
    return QLatin1String(stem) + QString::number(bit);
}

bool bitBoxShown(BitWord word, int bit, int model) {
    return validModel(model) && validBit(bit) && bitCaptions(word, bit)[size_t(model)] != nullptr;
}

QString bitBoxCaption(BitWord word, int bit, int model) {
    if (!validBit(bit)) return {};
    if (bitBoxShown(word, bit, model)) return QString::fromLatin1(bitCaptions(word, bit)[size_t(model)]);
    const QString digit = QString::number(bit, 16).toUpper();
    if (word == BitWord::SysCode1 && bit == 7) return QStringLiteral("LogoType(7)");
    return QStringLiteral("Reserved(%1)").arg(digit);
}

bool cfgCode2GroupShown(int model) {
    return model >= 0 && model <= 2;
}
bool dryContactTabShown(int model) {
    return (model >= 0 && model <= 3) || model == 6;
}

} // namespace zav
