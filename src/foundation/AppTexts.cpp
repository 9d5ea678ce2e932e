#include "foundation/AppTexts.h"

namespace zav {

namespace {

const char* const kPageCaptions[kLanguageCount][kPageCount] = {
    {"首        页", "旁路数据", "主路数据", "输出数据", "电池数据", "整机状态", "单元状态", "记录下载",
     "维护代码", "额定设置", "用服设置", "检测校正", "远程控制", "软件烧录", "帮        助", "关        于", "事件日志", "趋势"},
    {"Home", "BypassData", "MainIpData", "OutputData", "BatteryData", "CabStatus", "UnitStatus",
     "HisLogDown", "SCodeDown", "RateSetting", "ServSetting", "DetectAdjust", "ControlCmd", "FwProgram",
     "Help", "About", "EventLog", "Trends"},
    {"首        頁", "旁路數據", "主路數據", "輸出數據", "電池數據", "整機狀態", "單元狀態", "記錄下載",
     "維護代碼", "額定設置", "用服設置", "檢測校正", "遠程控制", "軟體燒錄", "幫        助", "關        於", "事件日誌", "趨勢"},
};

const char* const kCommonMessages[kLanguageCount][kCommonMessageCount] = {
    {
        "校正条件不足，无法校正!",
        "当前可校正单元编号：",
        "当前值范围",
        "当前值范围 0.5-5.0，单位Hz",
        "当前值范围 0.1-5.0，单位Hz/s",
        "当前值范围 0.0-5.0，单位mV/℃",
        "当前值范围 1-30000，单位AH",
        "当前值范围 100.0 ~ 300.0，单位V",
        "当前值范围 -3 ~ 3，单位V",
        "错误地址",
        "串口不存在或被其它应用程序占用!",
        "未输入数字或数字错误!",
        "请检查数值!",
        "范围 0000000 ~ 9999999，7位",
        "",
        "范围 1 ~ 48，单位:小时",
        "",
        "范围 720 ~ 30000，单位:小时",
        "请选择烧录文件！",
        "范围 1 ~ 300，单位:分钟",
        "范围 5 ~ 3000，单位:分钟",
        "范围 1 ~ 5，单位:分钟",
        "当前值范围 0 ~ 3000，单位:天",
        "当前值范围 25 ~ 70，单位:℃",
        "当前值范围 1000 ~ 60000，单位:小时",
        "当前值范围 0 ~ 1023",
        "当前值范围 0 ~ 6000，单位:分钟",
        "最大长度 10个字符",
        "最大长度 15个字符",
        "时间，9分钟",
        "当前值范围 0 ~ 999，单位:分钟",
        "当前值范围 0 ~ 60，单位:秒",
        "当前值范围 0 ~ 99，单位:A",
        "当前值范围 50.0 ~ 400.0，单位V",
        "当前值范围 30 ~ 3000，单位:天",
    },
    {
        "Conditions not OK!",
        "Current unit ID:",
        "Range",
        "Range 0.5-5.0, unit Hz",
        "Range 0.1-5.0, uint Hz/s",
        "Range 0.0-5.0, uint mV/oC",
        "Range 1-30000, uint AH",
        "Range 100.0 ~ 300.0, unit V",
        "Range -3 ~ 3, unit V",
        "Wrong address!",
        "Serial port does not exist or has been occupied by other applications!",
        "No data or wrong data!",
        "Check the value, please!",
        "Range 0000000 ~ 9999999, 7 Bits",
        "",
        "Range 1 ~ 48, unit Hours",
        "",
        "Range 720 ~ 30000, unit Hours",
        "Please select the target file!",
        "Range 1 ~ 300, unit Min.",
        "Range 5 ~ 3000, unit Min.",
        "Range 1 ~ 5, unit Min.",
        "Range 0 ~ 3000, unit Day.",
        "Range 25 ~ 70, unit oC",
        "Rang 1000 ~ 60000, unit Hours",
        "Rang 0 ~ 1023",
        "Range 0 ~ 6000, unit Min.",
        "Max Length 10 Characters",
        "Max Length 15 Characters",
        "Time, 9 Minute",
        "Range 0 ~ 999, unit Min.",
        "Range 0 ~ 60, unit s",
        "Range 0 ~ 99, unit A",
        "Range 50.0 ~ 400.0, unit V",
        "Range 30 ~ 3000, unit Day.",
    },
    {
        "校正條件不足，無法校正!",
        "當前可校正單元編號：",
        "當前值範圍",
        "當前值範圍 0.5-5.0，單位Hz",
        "當前值範圍 0.1-5.0，單位Hz/s",
        "當前值範圍 0.0-5.0，單位mV/℃",
        "當前值範圍 1-30000，單位AH",
        "當前值範圍 100.0 ~ 300.0，單位V",
        "當前值範圍 -3 ~ 3，單位V",
        "錯誤位址",
        "串口不存在或被其他應用程式佔用!",
        "未輸入數位或數位錯誤!",
        "請檢查數值!",
        "範圍 0000000 ~ 9999999，7位",
        "",
        "範圍 1 ~ 48，單位:小時",
        "",
        "範圍 720 ~ 30000，單位:小時",
        "請選擇燒錄檔！",
        "範圍 1 ~ 300，單位:分鐘",
        "範圍 5 ~ 3000，單位:分鐘",
        "範圍 1 ~ 5，單位:分鐘",
        "當前值範圍 0 ~ 3000，單位:天",
        "當前值範圍 25 ~ 70，單位:℃",
        "當前值範圍 1000 ~ 60000, 單位:小時",
        "當前值範圍 0 ~ 1023",
        "當前值範圍 0 ~ 6000, 單位:小時",
        "最大長度 10個字元",
        "最大長度 15個字元",
        "時間，9分鐘",
        "範圍 0 ~ 999，單位:分鐘",
        "當前值範圍 0 ~ 60，單位: 秒",
        "範圍 0 ~ 99，單位:A",
        "當前值範圍 50.0 ~ 400.0，單位V",
        "當前值範圍 30 ~ 3000，單位:天",
    },
};

const char* const kLinkStatus[kLanguageCount][2] = {
    {"UPS未连接", "UPS已连接"},
    {"UPS not Connected", "UPS Connected"},
    {"UPS未連接", "UPS已連接"},
};

const char* const kTrayQuestion[kLanguageCount] = {
    "窗口关闭时是否最小化到托盘?", "Minimize the window to tray?", "窗口关闭时是否最小化到托盘?"};

const char* const kProfileWriteFailed[kLanguageCount] = {
    "设置未能保存：无法写入 ZAV.ini!", "The setting could not be saved: ZAV.ini cannot be written!",
    "設置未能保存：無法寫入 ZAV.ini!"};

const char* const kLanguageTexts[kLanguageCount] = {"CN", "EN", "CHT"};
constexpr int kLocaleIds[kLanguageCount] = {2052, 1033, 1028};

} // namespace

int clampLanguage(int language) {
    return (language >= 0 && language < kLanguageCount) ? language : LangEN;
}

int languageFromText(const QString& text) {
    if (text == QLatin1String("CN")) return LangCN;
    if (text == QLatin1String("CHT")) return LangCHT;
    return LangEN;
}

QString languageText(int language) { return QString::fromLatin1(kLanguageTexts[clampLanguage(language)]); }

int languageLocaleId(int language) { return kLocaleIds[clampLanguage(language)]; }

bool isPrcChineseLocale(const QLocale& locale) {
    return locale.language() == QLocale::Chinese && locale.territory() == QLocale::China;
}

int startLanguage(const QString& stored, const QLocale& systemLocale) {
    if (stored == QLatin1String(kLanguageUnset))
        return isPrcChineseLocale(systemLocale) ? LangCN : LangEN;
    return languageFromText(stored);
}

QString commonMessage(int row, int language) {
    if (row < 0 || row >= kCommonMessageCount) return {};
    return QString::fromUtf8(kCommonMessages[clampLanguage(language)][row]);
}

QString pageCaption(int page, int language) {
    if (page < 0 || page >= kPageCount) return {};
    return QString::fromUtf8(kPageCaptions[clampLanguage(language)][page]);
}

QString linkStatusText(bool linkOk, int language) {
    return QString::fromUtf8(kLinkStatus[clampLanguage(language)][linkOk ? 1 : 0]);
}

QString trayQuestion(int language) { return QString::fromUtf8(kTrayQuestion[clampLanguage(language)]); }

QString profileWriteFailedText(int language) {
    return QString::fromUtf8(kProfileWriteFailed[clampLanguage(language)]);
}

} // namespace zav
