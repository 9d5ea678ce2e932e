#include "service/Calibration.h"

#include "foundation/AppTexts.h"
#include "foundation/NumberFormats.h"
#include "settings/SettingFormats.h"

namespace zav {

namespace {

using T = CalTab;
using K = CalKind;

// clang-format off
const std::vector<CalibrationRow> kRows = {
    {T::Module, "EditModCurrentInvValA", 72, "EditModMsrInvVoltA", "ButtonModVoltAdj", 336, K::Ac, {"逆变电压A", "Inverter Voltage A", "逆變電壓A"}},
    {T::Module, "EditModCurrentInvValB", 73, "EditModMsrInvVoltB", "Button1", 337, K::Ac, {"逆变电压B", "Inverter Voltage B", "逆變電壓B"}},
    {T::Module, "EditModCurrentInvValC", 74, "EditModMsrInvVoltC", "Button2", 338, K::Ac, {"逆变电压C", "Inverter Voltage C", "逆變電壓C"}},
    {T::Module, "EditModCurrentBypValA", 75, "EditModMsrBypValA", "Button3", 339, K::Ac, {"旁路电压A", "Bypass Voltage A", "旁路電壓A"}},
    {T::Module, "EditModCurrentBypValB", 76, "EditModMsrBypValB", "Button4", 340, K::Ac, {"旁路电压B", "Bypass Voltage B", "旁路電壓B"}},
    {T::Module, "EditModCurrentBypValC", 77, "EditModMsrBypValC", "Button5", 341, K::Ac, {"旁路电压C", "Bypass Voltage C", "旁路電壓C"}},
    {T::Module, nullptr, 0, "EditModMsrInvDCVoltA", "Button6", 342, K::Dc, {"逆变直流电压A", "Inverter DC Voltage A", "逆變直流電壓A"}},
    {T::Module, nullptr, 0, "EditModMsrInvDCVoltB", "Button7", 343, K::Dc, {"逆变直流电压B", "Inverter DC Voltage B", "逆變直流電壓B"}},
    {T::Module, nullptr, 0, "EditModMsrInvDCVoltC", "Button8", 344, K::Dc, {"逆变直流电压C", "Inverter DC Voltage C", "逆變直流電壓C"}},
    {T::Module, "EditCurrentIpValA", 13, "EditMsrIpValA", "ButtonAdjIpA", 345, K::Ac, {"输入电压A", "Input Voltage A", "輸入電壓A"}},
    {T::Module, "EditCurrentIpValB", 14, "EditMsrIpValB", "ButtonAdjIpB", 346, K::Ac, {"输入电压B", "Input Voltage B", "輸入電壓B"}},
    {T::Module, "EditCurrentIpValC", 15, "EditMsrIpValC", "ButtonAdjIpC", 347, K::Ac, {"输入电压C", "Input Voltage C", "輸入電壓C"}},
    {T::Module, "EditBattPos", 50, "EditMstrBattPos", "ButtonAdjBattPos", 348, K::Ac, {"正电池电压", "Positive Battery Voltage", "正電池電壓"}},
    {T::Module, "EditBattNeg", 51, "EditMstrBattNeg", "ButtonAdjBattNeg", 349, K::Ac, {"负电池电压", "Negative Battery Voltage", "負電池電壓"}},
    {T::Cabinet, "EditCabOpVoltA1", 25, "EditCabOpVoltA2", "ButtonCabVoltAdj", 401, K::Ac, {"输出电压A", "Output Voltage A", "輸出電壓A"}},
    {T::Cabinet, "EditCabOpVoltB1", 26, "EditCabOpVoltB", "ButtonCabOpVoltB", 402, K::Ac, {"输出电压B", "Output Voltage B", "輸出電壓B"}},
    {T::Cabinet, "EditCabOpVoltC1", 27, "EditCabOpVoltC2", "ButtonCabOpVoltC", 403, K::Ac, {"输出电压C", "Output Voltage C", "輸出電壓C"}},
    {T::Cabinet, "EditCabBypVoltA1", 1, "EditCabBypVoltA2", "ButtonCabBypVoltA", 404, K::Ac, {"旁路电压A", "Bypass Voltage A", "旁路電壓A"}},
    {T::Cabinet, "EditCabBypVoltB1", 2, "EditCabBypVoltB2", "ButtonCabBypVoltB", 405, K::Ac, {"旁路电压B", "Bypass Voltage B", "旁路電壓B"}},
    {T::Cabinet, "EditCabBypVoltC1", 3, "EditCabBypVoltC2", "ButtonCabBypVoltC", 406, K::Ac, {"旁路电压C", "Bypass Voltage C", "旁路電壓C"}},
    {T::Transformer, "EditOutTranfAuxV1Old", 407, "EditOutTranfAuxV1New", "ButtonOutTranfAuxV1", 407, K::Transformer,
     {"负载10%输出变压器副边电压", "Output transformer secondary voltage, 10% load", "負載10%輸出變壓器副邊電壓"}},
    {T::Transformer, "EditOutTranfAuxV2Old", 408, "EditOutTranfAuxV2New", "ButtonOutTranfAuxV2", 408, K::Transformer,
     {"负载90%输出变压器副边电压", "Output transformer secondary voltage, 90% load", "負載90%輸出變壓器副邊電壓"}},
    {T::Transformer, "EditInTranfOrigV1Old", 409, "EditInTranfOrigV1New", "ButtonInTranfOrigV1", 409, K::Transformer,
     {"负载10%输入变压器原边电压", "Input transformer primary voltage, 10% load", "負載10%輸入變壓器原邊電壓"}},
    {T::Transformer, "EditInTranfOrigV2Old", 410, "EditInTranfOrigV2New", "ButtonInTranfOrigV2", 410, K::Transformer,
     {"负载90%输入变压器原边电压", "Input transformer primary voltage, 90% load", "負載90%輸入變壓器原邊電壓"}},
};

struct PageText {
    const char* key;
    const char* text[3];
};
const PageText kPageTexts[] = {
    {"TabSheetModVoltAdj", {"模块校正", "Module Calibration", "模塊校正"}},
    {"TabSheetCabVoltAdj", {"机柜校正", "Cabinet Calibration", "機櫃校正"}},
    {"TabSheetTransfAdj", {"变压器校正", "Transformer Calibration", "變壓器校正"}},
    {"calibrate", {"校正", "Calibrate", "校正"}},
    {"measured", {"当前值(V)", "Measured (V)", "當前值(V)"}},
    {"true", {"实测值(V)", "True value (V)", "實測值(V)"}},
};
// The question before a calibration write: the channel, then the true value it gets.
const char* const kCalQuestion[3] = {
    "“%1”\n\n将把 %2 V 作为实测真值写入UPS，UPS将据此修正该通道的测量值。\n\n确定写入吗？",
    "\"%1\"\n\n%2 V goes to the UPS as the true value; the UPS corrects its measurement of this channel "
    "from it.\n\nWrite it?",
    "「%1」\n\n將把 %2 V 作為實測真值寫入UPS，UPS將據此修正該通道的測量值。\n\n確定寫入嗎？"};
// clang-format on

bool fitsRange(CalKind kind, int v) {
    switch (kind) {
    case K::Ac: return v >= 1000 && v <= 3000;          // 100.0 V to 300.0 V
    case K::Dc: return v >= -300 && v <= 300;           // -3.00 V to 3.00 V
    case K::Transformer: return v >= 0 && v <= 4000;    // 0.0 V to 400.0 V
    }
    return false;
}

} // namespace

const std::vector<CalibrationRow>& calibrationRows() { return kRows; }

const CalibrationRow* calibrationRowForButton(const QString& button) {
    for (const CalibrationRow& r : kRows)
        if (button == QLatin1String(r.button)) return &r;
    return nullptr;
}

const CalibrationRow* calibrationRowForRegister(int reg) {
    for (const CalibrationRow& r : kRows)
        if (r.reg == reg) return &r;
    return nullptr;
}

bool modelHasCalTab(int upsModel, CalTab tab) {
    switch (tab) {
    case T::Module: return upsModel >= 0 && upsModel <= 7;
    case T::Cabinet: return upsModel >= 0 && upsModel <= 2;
    case T::Transformer: return upsModel != 4 && upsModel != 5;
    }
    return false;
}

CalTab firstCalTab(int upsModel) { return upsModel == 8 ? T::Transformer : T::Module; }

CalibrationEntry checkCalibrationEntry(const CalibrationRow& row, const QString& text) {
    CalibrationEntry e;
    // A box without a single digit would convert to 0: that is no entry, not a true value of 0 V.
    bool anyDigit = false;
    for (QChar c : text)
        anyDigit = anyDigit || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    int v = 0;
    if (!anyDigit || !decimalTextToScaled(text, row.kind == K::Dc ? 2 : 1, &v)) {
        e.error = CalibrationEntry::NoData;
        return e;
    }
    // The range is checked on the whole number, before it becomes a 16-bit word: 6700.0 V must not
    // wrap round to 146.4 V.
    if (!fitsRange(row.kind, v)) {
        e.error = CalibrationEntry::CheckValue;
        return e;
    }
    e.value = uint16_t(int16_t(v)); // DC offsets go as signed words; the others are positive anyway
    return e;
}

uint16_t markCalibrationUnread(RegisterStore& SettingData, const CalibrationRow& row, uint16_t value) {
    const uint16_t held = SettingData[row.reg];
    SettingData.set(row.reg, uint16_t(~value));
    return held;
}

bool calibrationKeyAccepted(CalKind kind, QChar key, const QString& current) {
    if (key.isDigit() && key.unicode() < 128) return true;
    if (key == QLatin1Char('+')) return true;
    if (key == QLatin1Char('-')) return kind == K::Dc;
    if (key == QLatin1Char('.') || key == QLatin1Char(','))
        return !current.contains(QLatin1Char('.')) && !current.contains(QLatin1Char(','));
    return false;
}

QString calibrationHint(CalKind kind, int language) {
    switch (kind) {
    case K::Ac: return commonMessage(7, language);
    case K::Dc: return commonMessage(8, language);
    case K::Transformer: return commonMessage(33, language);
    }
    return {};
}

QString calibrationEntryMessage(CalibrationEntry::Error error, CalKind kind, int language) {
    if (error == CalibrationEntry::NoData) return commonMessage(MsgNoData, language);
    if (error != CalibrationEntry::CheckValue) return {};
    // The bounds of fitsRange, as typed.
    const char* range = "";
    switch (kind) {
    case K::Ac: range = "100.0 ~ 300.0 V"; break;
    case K::Dc: range = "-3.00 ~ 3.00 V"; break;
    case K::Transformer: range = "0.0 ~ 400.0 V"; break;
    }
    static const char* const kAllowed[3] = {"允许范围：", "Allowed: ", "允許範圍："};
    return commonMessage(MsgCheckValue, language) + QLatin1Char('\n') +
           QString::fromUtf8(kAllowed[clampLanguage(language)]) + QLatin1String(range);
}

CalDisplay modVoltAdjDisplay(int upsModel, const RegisterStore& LiveData, int language) {
    CalDisplay d;
    const int unit = LiveData[71] & 0x000F;
    if (unit == 0) {
        d.label = commonMessage(MsgConditionsNotOk, language);
        return d;
    }
    for (const CalibrationRow& r : kRows)
        if (r.tab == T::Module && r.display) d.texts.emplace_back(r.display, FormatTenths(LiveData[r.displayReg]));
    if (upsModel == 8)
        d.label = commonMessage(MsgConditionsNotOk, language);
    else if (upsModel != 0 && upsModel != 3)
        d.label = commonMessage(MsgCurrentUnitId, language) + QString::number(unit);
    return d;
}

CalDisplay cabVoltAdjDisplay(int upsModel, const RegisterStore& LiveData, const RegisterStore& LiveStatus,
                             int language) {
    CalDisplay d;
    const bool possible = upsModel >= 0 && upsModel <= 2 && LiveStatus[81] != 0;
    for (const CalibrationRow& r : kRows)
        if (r.tab == T::Cabinet) d.texts.emplace_back(r.display, possible ? FormatTenths(LiveData[r.displayReg]) : QString());
    if (!possible) d.label = commonMessage(MsgConditionsNotOk, language);
    return d;
}

CalDisplay transformerDisplay(const RegisterStore& SettingData) {
    CalDisplay d;
    for (const CalibrationRow& r : kRows)
        if (r.tab == T::Transformer) d.texts.emplace_back(r.display, FormatTenths(SettingData[r.displayReg]));
    return d;
}

QString calibrationValueText(const CalibrationRow& row, uint16_t value) {
    // Exact decimal digits from the word, so the question shows what goes on the wire.
    const int decimals = row.kind == K::Dc ? 2 : 1;
    const int scale = row.kind == K::Dc ? 100 : 10;
    const int v = row.kind == K::Dc ? int(int16_t(value)) : int(value);
    const int a = v < 0 ? -v : v;
    return QStringLiteral("%1%2.%3")
        .arg(v < 0 ? QStringLiteral("-") : QString())
        .arg(a / scale)
        .arg(a % scale, decimals, 10, QLatin1Char('0'));
}

QString calibrationQuestion(const CalibrationRow& row, uint16_t value, int language) {
    const int l = (language >= 0 && language <= 2) ? language : 1;
    return QString::fromUtf8(kCalQuestion[l]).arg(QString::fromUtf8(row.caption[l]), calibrationValueText(row, value));
}

QString calibrationPageText(const char* key, int language) {
    const int l = (language >= 0 && language <= 2) ? language : 1;
    for (const PageText& t : kPageTexts)
        if (qstrcmp(t.key, key) == 0) return QString::fromUtf8(t.text[l]);
    return {};
}

} // namespace zav
