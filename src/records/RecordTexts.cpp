#include "records/RecordTexts.h"

#include <array>

namespace zav {

namespace {

using Texts3 = std::array<const char*, 3>; // CN, EN, CHT

int lang(int language) {
    return language >= 0 && language <= 2 ? language : 1;
}
QString pick(const Texts3& t, int language) {
    return QString::fromUtf8(t[size_t(lang(language))]);
}

// Many events take two adjacent codes (the fault and its cause) with one text.
struct EventRange {
    int first, last;
    Texts3 text;
};

// clang-format off
const EventRange kEvents[] = {
    {0, 0, {"UPS供电", "Load On UPS", "UPS供電"}},
    {1, 1, {"旁路供电", "Load On Bypass", "旁路供電"}},
    {2, 2, {"均不供电", "No Load", "均不供電"}},
    {3, 3, {"电池均充", "Battery Boost", "電池均充"}},
    {4, 4, {"电池浮充", "Battery Float", "電池浮充"}},
    {5, 5, {"电池放电", "Battery Discharge", "電池放電"}},
    {6, 6, {"电池已接入", "Battery Connected", "電池已接入"}},
    {7, 7, {"电池未接入", "Battery Not Connected", "電池未接入"}},
    {8, 8, {"维修空开闭合", "Maintenance CB Closed", "維修空開閉合"}},
    {9, 9, {"维修空开断开", "Maintenance CB Open", "維修空開斷開"}},
    {10, 11, {"紧急关机", "EPO", "緊急關機"}},
    {12, 13, {"模块开机不足", "Module On Less", "模組開機不足"}},
    {14, 15, {"发电机接入", "Generator Input", "發電機接入"}},
    {16, 17, {"市电异常", "Utility Abnormal", "市電異常"}},
    {18, 19, {"旁路相序反", "Bypass Sequence Error", "旁路相序反"}},
    {20, 21, {"旁路电压异常", "Bypass Volt Abnormal", "旁路電壓異常"}},
    {22, 23, {"旁路模块故障", "Bypass Module Fail", "旁路模組故障"}},
    {24, 25, {"旁路过载", "Bypass Overload", "旁路過載"}},
    {26, 27, {"旁路过载超时", "Bypass Overload Tout", "旁路過載超時"}},
    {28, 29, {"旁路频率超跟踪范围", "Bypass Freq Over Track", "旁路頻率超跟蹤範圍"}},
    {30, 31, {"切换次数超限", "Exceed Tx Times Lmt", "切換次數超限"}},
    {32, 33, {"输出短路", "Output Short Circuit", "輸出短路"}},
    {34, 35, {"电池放电终止", "Battery EOD", "電池放電終止"}},
    {36, 36, {"电池自检", "Battery Test", "電池自檢"}},
    {37, 37, {"电池自检成功", "Battery Test OK", "電池自檢成功"}},
    {38, 38, {"电池自检失败", "Battery Test Fail", "電池自檢失敗"}},
    {39, 39, {"电池维护", "Battery Maintenance", "電池維護"}},
    {40, 40, {"电池维护成功", "Batt Maintenance OK", "電池維護成功"}},
    {41, 41, {"电池维护失败", "Batt Maintenance Fail", "電池維護失敗"}},
    {42, 42, {"停止测试", "Stop Test", "停止測試"}},
    {43, 43, {"故障清除", "Fault Clear", "故障清除"}},
    {44, 44, {"历史清除", "Log Clear", "歷史清除"}},
    {45, 45, {"通信节点加入", "Module Inserted", "模組通訊加入"}},
    {46, 46, {"通信节点退出", "Module Exit", "模組通訊退出"}},
    {47, 48, {"整流故障", "Rectifier Fail", "整流故障"}},
    {49, 50, {"逆变故障", "Inverter Fail", "變流故障"}},
    {51, 52, {"整流过温", "Rectifier Over Temp.", "整流過溫"}},
    {53, 54, {"风扇故障", "Fan Fail", "風扇故障"}},
    {55, 56, {"输出过载", "Output Overload", "輸出過載"}},
    {57, 58, {"逆变过载超时", "Inverter Overload Tout", "變流過載超時"}},
    {59, 60, {"逆变过温", "Inverter Over Temp.", "變流過溫"}},
    {61, 62, {"禁止切换到逆变", "On UPS Inhibited", "禁止切換到變流"}},
    {63, 63, {"手动切换旁路", "Manual Transfer Bypass", "手動切換旁路"}},
    {64, 64, {"退出手动旁路", "Esc Manual Bypass", "退出手動旁路"}},
    {65, 66, {"电池电压低", "Battery Volt Low", "電池電壓低"}},
    {67, 68, {"电池接反", "Battery Wiring Error", "電池接反"}},
    {69, 70, {"逆变保护", "Inverter Protect", "變流保護"}},
    {71, 71, {"输入零线丢失", "Input Neutral Lost", "輸入零線丟失"}},
    {72, 73, {"旁路风扇故障", "Bypass Fan Fail", "旁路風扇故障"}},
    {74, 74, {"手动关机", "Manual Shutdown", "手動關機"}},
    {75, 75, {"手动均充", "Manual Boost Charge", "手動均充"}},
    {76, 76, {"手动浮充", "Manual Float Charge", "手動浮充"}},
    {77, 77, {"保留", "Reserved", "保留"}}, // no event uses this code
    {78, 79, {"并机线故障", "Parallel Cable Error", "並機線故障"}},
    {80, 80, {"本次累计时间", "This Timer", "本次時間"}},
    {81, 82, {"电池或充电器故障", "Battery or Charger Fail", "電池或充電器故障"}},
    {83, 84, {"冗余丢失", "N+X Redundant Lost", "冗餘丟失"}},
    {85, 86, {"放电终止禁止开机", "EOD System Inhibited", "放電終止禁止開機"}},
    {87, 88, {"信号线故障", "Signal Cable Fail", "信號線故障"}},
    {89, 90, {"环境过温", "Ambient Over Temp.", "環境過溫"}},
    {91, 92, {"整流CAN通信故障", "REC CAN Fail", "整流CAN通訊故障"}},
    {93, 94, {"逆变IO CAN通信故障", "INV IO CAN Fail", "變流IO CAN通訊故障"}},
    {95, 96, {"逆变数据CAN通信故障", "INV DATA CAN Fail", "變流資料CAN通訊故障"}},
    {97, 98, {"均流故障", "Power Share Fail", "均流故障"}},
    {99, 100, {"同步脉冲故障", "Sync Pulse Fail", "同步脈衝故障"}},
    {101, 102, {"输入电压检测故障", "Input Volt Detect Fail", "輸入電壓檢測故障"}},
    {103, 103, {"电池电压检测故障", "Battery Volt Detect fail", "電池電壓檢測故障"}},
    {104, 104, {"电池电压检测故障", "Battery Volt Detect Fail", "電池電壓檢測故障"}},
    {105, 106, {"输出电压故障", "Output Volt Fail", "輸出電壓故障"}},
    {107, 108, {"旁路电压检测故障", "Bypass Volt Detect Fail", "旁路電壓檢測故障"}},
    {109, 110, {"逆变桥故障", "INV Bridge Fail", "變流橋故障"}},
    {111, 112, {"出风口温度异常", "Outlet Temp. Error", "出風口溫度異常"}},
    {113, 114, {"输入电流不平衡", "Input Curr Unbalance", "輸入電流不平衡"}},
    {115, 116, {"直流母线过压", "DC Bus Over Volt", "直流母線過壓"}},
    {117, 118, {"整流软启动失败", "REC Soft Start Fail", "整流軟啟動失敗"}},
    {119, 120, {"继电器吸合故障", "Relay Connect Fail", "繼電器吸合故障"}},
    {121, 122, {"继电器短路", "Relay Short Circuit", "繼電器短路"}},
    {123, 124, {"PWM同步故障", "PWM Sync Fail", "PWM同步故障"}},
    {125, 126, {"智能休眠", "Intelligent Sleep", "智慧休眠"}},
    {127, 127, {"手动切换到逆变", "Manual Transfer to INV", "手動切換到變流"}},
    {128, 129, {"输入过流超时", "Input Over Curr Tout", "輸入過流超時"}},
    {130, 131, {"无进风口温度传感器", "No Inlet Temp. Sensor", "無進風口溫度感測器"}},
    {132, 133, {"无出风口温度传感器", "No Outlet Temp. Sensor", "無出風口溫度感測器"}},
    {134, 135, {"进风口过温", "Inlet Over Temp.", "進風口過溫"}},
    {136, 136, {"电容时间清零", "Capacitor Time Reset", "電容時間清零"}},
    {137, 137, {"风扇时间清零", "Fan Time Reset", "風扇時間清零"}},
    {138, 138, {"电池历史清零", "Battery History Reset", "電池歷史清零"}},
    {139, 139, {"旁路风扇时间清零", "Bypass Fan Time Reset", "旁路風扇時間清零"}},
    {140, 141, {"电池过温", "Battery Over Temp.", "電池過溫"}},
    {142, 143, {"旁路风扇寿命到期", "Bypass Fan Expired", "旁路風扇壽命到期"}},
    {144, 145, {"电容寿命到期", "Capacitor Expired", "電容壽命到期"}},
    {146, 147, {"风扇寿命到期", "Fan Expired", "風扇壽命到期"}},
    {148, 149, {"逆变IGBT驱动封锁", "INV IGBT Driver Block", "變流IGBT驅動封鎖"}},
    {150, 151, {"防尘网到期", "Dust Filter Expired", "防塵網到期"}},
    {152, 153, {"电池寿命到期", "Battery Expired", "電池壽命到期"}},
    {154, 155, {"BMS通信故障", "BMS RS485 Error", "RS485通信故障"}},
    {156, 157, {"BMS故障", "BMS Fail", "BMS故障"}},
    {158, 159, {"CAN通信故障", "CAN Error", "CAN通訊故障"}},
    {160, 161, {"单体欠压", "Cell Undervoltage", "單體欠壓"}},
    {162, 163, {"单体过压", "Cell Overvoltage", "單體過壓"}},
    {164, 165, {"单体压差过大", "Cell Volt Difference Fail", "單體壓差過大"}},
    {166, 167, {"电池低温", "Batt Low Temperature", "電池低溫"}},
    {168, 169, {"电池过温", "Battery Over Temp.", "電池過溫"}},
    {170, 171, {"BMS禁止充电", "BMS Charge Inhibited", "BMS禁止充電"}},
    {172, 173, {"BMS禁止放电", "BMS Discharge Inhibited", "BMS禁止放電"}},
    {174, 174, {"录波触发", "Wave Trigger", "錄波觸發"}},
    {175, 176, {"旁路CAN通信故障", "Bypass CAN Fail", "旁路CAN通訊故障"}},
    {177, 178, {"旁路功率保险丝故障", "Bypass Power Fuse Fail", "旁路功率保險絲故障"}},
    {179, 180, {"固件错误", "Firmware Error", "韌體錯誤"}},
    {181, 182, {"无输入SCR温度传感器", "No Ip SCR Temp. Sensor", "無輸入SCR溫度感測器"}},
    {183, 184, {"输入SCR过温", "Input SCR Over Temp.", "輸入SCR過溫"}},
    {185, 186, {"额定容量设置超范围", "Rated KVA Set OvRange", "額定容量設置超範圍"}},
    {187, 188, {"IGBT或旁路风扇故障", "IGBT Or Bypass Fan Fail", "IGBT或旁路風扇故障"}},
    {189, 190, {"输入SCR风扇故障", "Input SCR Fan Fail", "輸入SCR風扇故障"}},
    {191, 191, {"系统设置错误", "System Setting Error", "系統設置錯誤"}},
    {192, 193, {"旁路过温", "Bypass Over Temp.", "旁路過溫"}},
    {194, 195, {"模块ID重复", "Module ID Duplicate", "模組ID重複"}},
    {196, 197, {"电解液泄漏", "Electrolyte Leakage", "電解液洩漏"}},
    {198, 199, {"功率单元数量异常", "Power Units Num. Error", "功率单元数量异常"}},
};
// clang-format on

const Texts3 kActions[2] = {{"消失", "Clear", "消失"}, {"发生", "Set", "發生"}};
const Texts3 kHeader[kHistoryColumns] = {{"序号", "Num.", "序號"},
                                         {"编号", "ID", "編號"},
                                         {"事件", "EventLog", "事件"},
                                         {"动作", "Action", "動作"},
                                         {"时间", "DateAndTime", "時間"}};

} // namespace

QString historyEventText(int code, int language) {
    for (const EventRange& e : kEvents)
        if (code >= e.first && code <= e.last) return pick(e.text, language);
    return {};
}

QString historyActionText(int action, int language) {
    return action == 0 || action == 1 ? pick(kActions[action], language) : QString();
}

QString historyHeaderText(int column, int language) {
    return column >= 0 && column < kHistoryColumns ? pick(kHeader[column], language) : QString();
}

QString downloadCaption(bool running, int language) {
    return running ? pick({"取消", "Cancel", "取消"}, language)
                   : pick({"下载", "Download", "下載"}, language);
}

QString scodeDownloadCaption(bool running, int language) {
    return running ? pick({"取消", "Cancel", "取消"}, language)
                   : pick({"下载", "Download", "下载"}, language);
}

QString historyHintText(bool finished, int language) {
    if (finished)
        return pick({"从UPS下载历史记录已完成!", "Download history from the UPS has been completed!",
                     "從UPS下載歷史記錄已完成!"},
                    language);
    return pick(
        {"从UPS下载历史记录时，数据将停止更新，可能需耗时几分钟，请耐心等待...",
         "Downloading history from the UPS, the UPS data will not update, and may take a few minutes, "
         "please be patient...",
         "從UPS下載歷史記錄時，資料將停止更新，可能需耗時幾分鐘，請耐心等待..."},
        language);
}

QString scodeHintText(bool finished, int language) {
    if (finished)
        return pick({"从UPS下载维护码已完成!", "Download SCode from the UPS has been completed!",
                     "從UPS下載維護碼已完成!"},
                    language);
    return pick({"从UPS下载维护码时，数据将停止更新，可能需耗时几分钟，请耐心等待...",
                 "Downloading SCode from the UPS, the UPS data will not update, and may take a few minutes, "
                 "please be patient...",
                 "從UPS下載維護碼時，資料將停止更新，可能需耗時幾分鐘，請耐心等待..."},
                language);
}

QString recordHint(RecordRun run, QString (*pageText)(bool finished, int language), int language) {
    switch (run) {
    case RecordRun::NotStarted:
        return pick({"按\"下载\"从UPS读取记录；读取期间实时数据暂停更新。",
                     "Press \"Download\" to read the records from the UPS; the live data pause meanwhile.",
                     "按\"下載\"從UPS讀取記錄；讀取期間即時資料暫停更新。"},
                    language);
    case RecordRun::Running: return pageText(false, language);
    case RecordRun::Finished: return pageText(true, language);
    case RecordRun::Stopped:
        return pick({"下载已停止，已读取的记录保留在表中。", "Download stopped; the records read so far stay in the table.",
                     "下載已停止，已讀取的記錄保留在表中。"},
                    language);
    }
    return {};
}

QString recordsCutText(int held, int kept, int language) {
    return pick({"UPS存有 %1 条记录，表中只容得下前 %2 条。", "The UPS holds %1 records; only the first %2 fit the table.",
                 "UPS存有 %1 筆記錄，表中只容得下前 %2 筆。"},
                language)
        .arg(held)
        .arg(kept);
}

QString historyFilterHint(int language) {
    return pick({"筛选：只显示含此文字的记录", "Filter: show only the records that contain this text",
                 "篩選：只顯示含此文字的記錄"},
                language);
}

QString runningTimeNote(int language) {
    return pick({"此型号的“%1”列是UPS的运行时间（小时:分:秒，如 00773:41:00），不是日期",
                 "On this model \"%1\" is the UPS's running time in hours:minutes:seconds "
                 "(e.g. 00773:41:00), not a date",
                 "此型號的「%1」欄是UPS的運行時間（小時:分:秒，如 00773:41:00），不是日期"},
                language)
        .arg(historyHeaderText(kHistoryColumns - 1, language));
}

QString scodeFilterHint(int language) {
    return pick({"筛选：只显示含此文字的维护码记录（整条记录）",
                 "Filter: show only the S-code records that contain this text",
                 "篩選：只顯示含此文字的維護碼記錄（整筆記錄）"},
                language);
}

QString scodeSortKeyName(int key, int language) {
    return key == 0 ? pick({"序号", "Number", "序號"}, language) : pick({"时间", "Time", "時間"}, language);
}

QString downloadOrderText(int language) {
    return pick({"下载顺序", "Download order", "下載順序"}, language);
}

QString sortChoiceText(const QString& key, bool ascending, int language) {
    return ascending ? pick({"%1 升序 ▲", "%1 ascending ▲", "%1 升冪 ▲"}, language).arg(key)
                     : pick({"%1 降序 ▼", "%1 descending ▼", "%1 降冪 ▼"}, language).arg(key);
}

QString sortChoiceHint(bool titleClicks, int language) {
    const QString hint = pick({"记录在表中的顺序；保存的文件始终按下载顺序",
                               "The order of the records in the table; a saved file keeps the download order",
                               "記錄在表中的順序；儲存的檔案始終按下載順序"},
                              language);
    if (!titleClicks) return hint;
    return hint + '\n' +
           pick({"单击标题行的单元格也可排序：升序、降序、恢复下载顺序",
                 "A click on a title cell sorts too: ascending, descending, back to the download order",
                 "單擊標題列的儲存格也可排序：升冪、降冪、恢復下載順序"},
                language);
}

QString savedToText(const QString& path, int records, int language) {
    return pick({"已保存 %1 条记录到 %2", "Saved %1 records to %2", "已保存 %1 筆記錄到 %2"}, language)
        .arg(records)
        .arg(path);
}

QString saveCaption(int language) {
    return pick({"保存", "Save", "保存"}, language);
}
QString historySaveHint(int language) {
    return pick({"保存历史记录到本地", "Save the history log to a local file", "保存歷史記錄到本地"},
                language);
}
QString scodeSaveHint(int language) {
    return pick({"保存维护码到本地文件夹", "Save the S-codes to a local folder", "保存維護碼到本地資料夾"},
                language);
}
QString saveDialogTitle(int language) {
    return pick({"保存为", "Save as", "保存為"}, language);
}
QString analyzeCaption(int language) {
    return pick({"解析", "Analyze", "解析"}, language);
}
QString analyzeHint(int language) {
    return pick({"如果想要解析S-code，请在上面的输入框中输入S-code并点击 \"解析\" 按钮",
                 "To analyze an S-code, enter it in the box above and click the \"Analyze\" button",
                 "如果想要解析S-code，請在上面的輸入框中輸入S-code並點擊 \"解析\" 按鈕"},
                language);
}
QString analyzeSelectedCaption(int language) {
    return pick({"解析所选记录", "Analyze Selected", "解析所選記錄"}, language);
}
QString analyzeMoreHint(int language) {
    return pick({"或选中一条记录并点击 \"解析所选记录\"；双击记录的标题行可把它填入上面的输入框",
                 "Or select a record and click \"Analyze Selected\"; a double-click on its title row fills the box",
                 "或選中一筆記錄並點擊 \"解析所選記錄\"；雙擊記錄的標題列可把它填入上面的輸入框"},
                language);
}
QString scodeTabCaption(int language) {
    return pick({"维护码下载", "SCode Download", "維護碼下載"}, language);
}
QString triggerTabCaption(int language) {
    return pick({"触发控制", "Trigger Control", "觸發控制"}, language);
}
QString formSCodeCaption() {
    return QString::fromUtf8("SCode解析");
}

} // namespace zav
