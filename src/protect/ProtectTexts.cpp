#include "protect/ProtectTexts.h"

#include <algorithm>

namespace zav {

namespace {

// clang-format off
const char* const kTexts[int(ProtectText::Count)][3] = {
    {"关机设置", "Shutdown Settings", "關機設置"},
    {"关机使能", "Shutdown Enable", "關機使能"},
    {"自动保存打开的文档", "Close applications and save open documents", "自動保存打開的文檔"},
    {"关机前想要执行的外部程序", "External program to run before shutdown", "關機前想要執行的外部程式"},
    {"浏  览", "Browse", "瀏  覽"},
    {"重新启动时显示自动保存的文件", "Show the saved files at the next start", "重新啟動時顯示自動保存的檔案"},
    {"市电异常发生时: ", "On utility failure: ", "市電異常發生時: "},
    {"经过此时间关闭服务器(分钟)", "Shut the server down after (min)", "經過此時間關閉伺服器(分鐘)"},
    {"电池电压低时:", "On battery voltage low:", "電池電壓低時:"},
    {"外部程序执行最大允许时间(分钟)", "Longest run time of the external program (min)", "外部程式執行最大允許時間(分鐘)"},
    {"服务器关闭后经过此时间关闭UPS(秒)", "Switch the UPS off this long after the server (s)", "伺服器關閉後經過此時間關閉UPS(秒)"},
    {"确定", "OK", "確定"},
    {"关机倒计时", "Shutdown Countdown", "關機倒計時"},
    {"系统关机倒计时：", "System shutdown in: ", "系統關機倒計時："},
    {"秒", "s", "秒"},
    {"取消关机", "Cancel Shutdown", "取消關機"},
    {"立刻关机", "Shut Down Now", "立刻關機"},
    {"关机文件记录", "Shutdown File Record", "關機檔案記錄"},
    {"上次关闭系统时关闭的应用程序:", "Applications closed at the last shutdown:", "上次關閉系統時關閉的應用程式:"},
    {"上次关闭系统时应用程序的文档另存为:", "Their documents were saved as:", "上次關閉系統時應用程式的文檔另存為:"},
    {"确定", "OK", "確定"},
    {"Cannot find the application", "Cannot find the application", "Cannot find the application"},
    {"系统拒绝关闭计算机（没有关机权限），计算机没有关闭！请立即手动关闭计算机。",
     "The system refused to power the PC off (no right to do it): the PC is still running! Shut it down by hand now.",
     "系統拒絕關閉電腦（沒有關機權限），電腦沒有關閉！請立即手動關閉電腦。"},
    {"无法关闭计算机，计算机没有关闭！请立即手动关闭计算机。",
     "The PC could not be powered off: it is still running! Shut it down by hand now.",
     "無法關閉電腦，電腦沒有關閉！請立即手動關閉電腦。"},
    {"演示运行：此刻计算机将被强制关闭（实际未关机）。",
     "Dry run: the PC would be powered off now (nothing was switched off).",
     "演示執行：此刻電腦將被強制關閉（實際未關機）。"},
    {"关机设置无法写入配置文件！", "The shutdown settings could not be written to the configuration file!",
     "關機設置無法寫入設定檔！"},
    {"通讯中断：倒计时暂停", "link lost: countdown held", "通訊中斷：倒計時暫停"},
    {"已通知UPS在 %1 关闭输出（还有 %2 秒）", "The UPS has been told to switch its output off at %1 (in %2 s).",
     "已通知UPS在 %1 關閉輸出（還有 %2 秒）"},
    {"UPS即将关闭输出", "UPS Output Switching Off", "UPS即將關閉輸出"},
    {"事件已消失，但UPS已被通知关闭输出：它将在 %1 关闭输出（还有 %2 秒），负载届时将断电。",
     "The event is gone, but the UPS has been told to switch its output off: it does so at %1 (in %2 s) and "
     "the load then loses power.",
     "事件已消失，但UPS已被通知關閉輸出：它將在 %1 關閉輸出（還有 %2 秒），負載屆時將斷電。"},
    {"关机设置已保存并立即生效。", "The shutdown settings are kept and apply now.", "關機設置已保存並立即生效。"},
};
// clang-format on

} // namespace

QString protectText(ProtectText id, int language) {
    return QString::fromUtf8(kTexts[int(id)][std::clamp(language, 0, 2)]);
}

} // namespace zav
