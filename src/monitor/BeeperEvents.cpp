#include "monitor/BeeperEvents.h"

namespace zav {

namespace {

constexpr int M = AlarmMinor;
constexpr int S = AlarmSerious;

// The trailing blanks of event 10 are part of its texts.
const std::array<BeeperEvent, kAlarmEventCount> kEvents{{
    {0, "CheckBoxBattNotConn", M, 83, {"电池无", "Batt Not Connected", "電池無"}},
    {1, "CheckBoxMaintCBClosed", S, 84, {"维修空开闭合", "Maint CB Closed", "維修開關閉合"}},
    {2, "CheckBoxEPO", S, 85, {"紧急关机", "EPO", "緊急關機"}},
    {3, "CheckBoxGenIp", M, 87, {"发电机接入", "Generator Input", "發電機接入"}},
    {4, "CheckBoxUtilityAbnormal", M, 88, {"市电异常", "Utility Abnormal", "市電異常"}},
    {5, "CheckBoxBypSeqErr", M, 89, {"旁路相序接反", "Byp Sequence Err", "旁路相序接反"}},
    {6, "CheckBoxBypVoltAbnormal", M, 90, {"旁路电压异常", "Byp Volt Abnormal", "旁路電壓異常"}},
    {7, "CheckBoxBypFail", M, 91, {"旁路故障", "Byp Module Fail", "旁路故障"}},
    {8, "CheckBoxBypOvLoad", M, 92, {"旁路过载", "Byp Ov Load", "旁路超載"}},
    {9, "CheckBoxBypOvLoadTout", S, 93, {"旁路过载延时到", "Byp Over Load Tout", "旁路超載超時"}},
    {10, "CheckBoxBypFreqOvTrack", M, 94, {"旁路频率超跟踪 ", "Byp Freq Ov Track", "旁路頻率非同步 "}},
    {11,
     "CheckBoxExceedTxTimeLmt",
     M,
     95,
     {"本小时切换次数限制", "Exceed Tx Time Lmt", "本小時切換次數限制"}},
    {12, "CheckBoxOpShorted", S, 96, {"输出短路", "Output Shorted", "輸出短路"}},
    {13, "CheckBoxBattEOD", S, 97, {"电池EOD", "Batt EOD", "電池EOD"}},
    {14, "CheckBoxOnUpsInhibited", S, 105, {"逆变供电禁止", "On Ups Inhibited", "變流供電禁止"}},
    {15, "CheckBoxManTranByp", S, 106, {"手动旁路", "Manual Transfer Byp", "手動旁路"}},
    {16, "CheckBoxBattVoltLow", M, 107, {"电池电压低", "Batt Volt Low", "電池電壓低"}},
    {17, "CheckBoxBattReverse", S, 108, {"电池接反", "Batt Reverse", "電池接反"}},
    {18, "CheckBoxIpNeutralLost", S, 110, {"输入N线断开", "Ip Neutral Lost", "輸入N線斷開"}},
    {19, "CheckBoxBypFanFail", S, 111, {"旁路风扇故障", "Byp Fan Fail", "旁路風扇故障"}},
    {20, "CheckBoxLostRedundant", M, 112, {"失去N+X冗余", "Lost N+X Redundant", "失去N+X冗餘"}},
    {21, "CheckBoxEODSysInhibited", S, 113, {"EOD系统禁止", "EOD Sys Inhibited", "EOD系統禁止"}},
    {22, "CheckBoxRecFail", S, 122, {"整流器故障", "REC Fail", "整流器故障"}},
    {23, "CheckBoxInvFail", S, 123, {"逆变器故障", "INV Fail", "變流器故障"}},
    {24, "CheckBoxRecOvTemp", S, 124, {"整流器过温", "REC Ov Temp.", "整流器過溫"}},
    {25, "CheckBoxUnitFanFail", S, 125, {"风扇故障", "Fan Fail", "風扇故障"}},
    {26, "CheckBoxOpOvLoad", S, 126, {"输出过载", "Output Ov Load", "輸出超載"}},
    {27, "CheckBoxOvLoadTout", S, 127, {"过载超时", "INV Ov LoadTout", "超載超時"}},
    {28, "CheckBoxInvOvTemp", S, 128, {"逆变器过温", "INV Ov Temp.", "變流器過溫"}},
    {29, "CheckBoxInvProtect", S, 129, {"逆变保护", "INV Protect", "變流保護"}},
    {30, "CheckBoxManualShutdown", S, 130, {"手动关机", "Manual Shutdown", "手動關機"}},
}};

// One event of one unit: present-flag, start detection on the remembered word.
void evaluateOne(LiveStores& live, int event, int unit, int upsModel, int language, AlarmTick& out) {
    const int reg = alarmRegister(event, unit);
    const uint16_t v = live.LiveStatus[reg];
    if (alarmPresent(event, v)) out.flags |= kEvents[size_t(event)].alarmClass;
    if (v == live.PreviousStatus[reg]) return;
    // The remembered word changes before the box is shown, so an open box is never opened twice.
    live.PreviousStatus.set(reg, v);
    if (alarmPresent(event, v))
        out.warnings.append({event, unit, alarmWarningText(event, unit, upsModel, language)});
}

} // namespace

const std::array<BeeperEvent, kAlarmEventCount>& beeperEvents() {
    return kEvents;
}

int alarmRegister(int event, int unit) {
    const int base = kEvents[size_t(event)].reg;
    return event >= kFirstUnitEvent ? base + kPowerUnitStride * (unit - 1) : base;
}

bool alarmPresent(int event, uint16_t value) {
    return event == 0 ? value == 0 : value == 1;
}

QString alarmWarningText(int event, int unit, int upsModel, int language) {
    const QString text = pickText(kEvents[size_t(event)].texts, language);
    const QString label = unit > 0 ? QStringLiteral("%1#").arg(unit) : QString();
    if (upsModel == 0 || upsModel == 1) return label + text;
    if (upsModel == 2) return text + label;
    return text;
}

AlarmTick evaluateAlarms(LiveStores& live, bool linkOk, const AlarmChoices& choices, int upsModel,
                         int language, int beatMs) {
    AlarmTick out;
    if (!linkOk) return out; // nothing evaluated, nothing queued
    for (int e = 0; e < kFirstUnitEvent; ++e)
        if (choices.ticked[size_t(e)]) evaluateOne(live, e, 0, upsModel, language, out);
    for (int unit = 1; unit <= kPowerUnitCount; ++unit)
        for (int e = kFirstUnitEvent; e < kAlarmEventCount; ++e)
            if (choices.ticked[size_t(e)]) evaluateOne(live, e, unit, upsModel, language, out);

    if (choices.beeperOn) {
        if (out.flags & AlarmSerious)
            out.sound = ToneCommand{kAlarmToneHz, beatMs};
        else if (out.flags & AlarmMinor)
            out.sound = ToneCommand{kAlarmToneHz, kChirpMs};
        else
            out.sound = ToneCommand{kRestFrequency, beatMs};
    }
    return out;
}

} // namespace zav
