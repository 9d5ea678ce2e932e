#include "settings/AlarmEvents.h"

#include "foundation/ProfileFile.h"

namespace zav {

const QVector<AlarmEvent>& alarmEvents() {
    static const QVector<AlarmEvent> events = {
        {0, "CheckBoxBattNotConn", {"电池无", "No Battery", "電池無"}},
        {1, "CheckBoxMaintCBClosed", {"维修空开闭合", "Maint. Breaker Closed", "維修空開閉合"}},
        {2, "CheckBoxEPO", {"紧急关机", "Emergency Power Off", "緊急關機"}},
        {3, "CheckBoxGenIp", {"发电机接入", "Generator Connected", "發電機接入"}},
        {4, "CheckBoxUtilityAbnormal", {"市电异常", "Utility Abnormal", "市電異常"}},
        {5, "CheckBoxBypSeqErr", {"旁路相序接反", "Bypass Phase Sequence Reversed", "旁路相序接反"}},
        {6, "CheckBoxBypVoltAbnormal", {"旁路电压异常", "Bypass Voltage Abnormal", "旁路電壓異常"}},
        {7, "CheckBoxBypFail", {"旁路故障", "Bypass Fault", "旁路故障"}},
        {8, "CheckBoxBypOvLoad", {"旁路过载", "Bypass Overload", "旁路過載"}},
        {9, "CheckBoxBypOvLoadTout", {"旁路过载延时到", "Bypass Overload Time-out", "旁路過載延時到"}},
        {10,
         "CheckBoxBypFreqOvTrack",
         {"旁路频率超跟踪 ", "Bypass Frequency Out of Track", "旁路頻率超跟蹤 "}},
        {11, "CheckBoxExceedTxTimeLmt", {"切换次数限制", "Transfer Count Limit", "切換次數限制"}},
        {12, "CheckBoxOpShorted", {"输出短路", "Output Short Circuit", "輸出短路"}},
        {13, "CheckBoxBattEOD", {"电池EOD", "Battery EOD", "電池EOD"}},
        {14, "CheckBoxOnUpsInhibited", {"逆变供电禁止", "Inverter Supply Inhibited", "逆變供電禁止"}},
        {15, "CheckBoxManTranByp", {"手动切旁路", "Manual Transfer to Bypass", "手動切旁路"}},
        {16, "CheckBoxBattVoltLow", {"电池电压低", "Battery Voltage Low", "電池電壓低"}},
        {17, "CheckBoxBattReverse", {"电池接反", "Battery Reversed", "電池接反"}},
        {18, "CheckBoxIpNeutralLost", {"输入N线断开", "Input Neutral Lost", "輸入N線斷開"}},
        {19, "CheckBoxBypFanFail", {"旁路风扇故障", "Bypass Fan Fault", "旁路風扇故障"}},
        {20, "CheckBoxLostRedundant", {"失去N+X冗余", "N+X Redundancy Lost", "失去N+X冗餘"}},
        {21, "CheckBoxEODSysInhibited", {"EOD系统禁止", "System Inhibited after EOD", "EOD系統禁止"}},
        {22, "CheckBoxRecFail", {"整流器故障", "Rectifier Fault", "整流器故障"}},
        {23, "CheckBoxInvFail", {"逆变器故障", "Inverter Fault", "逆變器故障"}},
        {24, "CheckBoxRecOvTemp", {"整流器过温", "Rectifier Over-Temperature", "整流器過溫"}},
        {25, "CheckBoxUnitFanFail", {"单元风扇故障", "Unit Fan Fault", "單元風扇故障"}},
        {26, "CheckBoxOpOvLoad", {"输出过载", "Output Overload", "輸出過載"}},
        {27, "CheckBoxOvLoadTout", {"过载超时", "Overload Time-out", "過載超時"}},
        {28, "CheckBoxInvOvTemp", {"逆变器过温", "Inverter Over-Temperature", "逆變器過溫"}},
        {29, "CheckBoxInvProtect", {"逆变保护", "Inverter Protection", "逆變保護"}},
        {30, "CheckBoxManualShutdown", {"手动关机", "Manual Shutdown", "手動關機"}},
    };
    return events;
}

QString alarmEventCaption(const AlarmEvent& event, int language) {
    const int l = (language >= 0 && language <= 2) ? language : 1;
    return QString::fromUtf8(event.caption[size_t(l)]);
}

QHash<QString, bool> loadAlarmEvents(const ProfileFile& profile) {
    QHash<QString, bool> ticks;
    for (const AlarmEvent& e : alarmEvents())
        ticks.insert(QLatin1String(e.name),
                     profile.readBool(QLatin1String(kUpsEventsSection), QLatin1String(e.name), true));
    return ticks;
}

bool saveAlarmEvents(ProfileFile& profile, const QHash<QString, bool>& ticks) {
    bool ok = true;
    for (const AlarmEvent& e : alarmEvents())
        ok = profile.writeBool(QLatin1String(kUpsEventsSection), QLatin1String(e.name),
                               ticks.value(QLatin1String(e.name), true)) &&
             ok;
    return ok;
}

int loadBeeperSwitch(const ProfileFile& profile) {
    const int item = profile.readInteger(QLatin1String(kBeeperSection), QLatin1String(kBeepOnOffKey), 1);
    return item == 0 ? 0 : 1;
}

bool saveBeeperSwitch(ProfileFile& profile, int item) {
    return profile.writeInteger(QLatin1String(kBeeperSection), QLatin1String(kBeepOnOffKey), item);
}

} // namespace zav
