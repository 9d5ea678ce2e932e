#include "flash/FlashTexts.h"

#include "foundation/AppTexts.h"

#include <cstring>

namespace zav {

namespace {

int lang(int language) { return language < 0 || language > 2 ? 1 : language; }

const char* const kFlashMessages[3][6] = {
    {"没有可用的FlashAPI接口文件！", "解锁失败！", "烧入成功！", "烧入失败！", "无响应！", "连接失败！请检查配置！"},
    {"No Flash API Interface file!", "Unlock failed!", "Pass!", "Fail!", "No response!",
     "Fail! Please check configuration!"},
    {"沒有可用的FlashAPI接口文件！", "解鎖失敗！", "燒入成功！", "燒入失敗！", "無響應！", "連接失敗！請檢查配置！"},
};

const char* const kAlarmCaption[3] = {"告警", "Alarm", "告警"};

// LogoMessage order; PortFailed comes from the common message table.
const char* const kLogoMessages[3][10] = {
    {"请选择Logo文件", "串口未连接", "File error", "未识别的DSP", "握手失败，请检查UPS是否已经EPO!",
     "Logo升级通信失败", "Logo升级失败", "Logo升级成功，请重启UPS", "",
     "UPS连接未能恢复，请检查串口后重新连接"},
    {"Please chose logo file", "Please connect serial port", "File error", "Unidentified DSP",
     "Handshake fail, please check if UPS has EPO!", "Up logo communication fail", "Up logo fail",
     "Upgrade logo ok, please restart UPS", "",
     "The UPS link could not be reopened; check the port and connect again"},
    {"请选择Logo文件", "串口未连接", "File error", "未识别的DSP", "握手失败，请检查UPS是否已经EPO!",
     "Logo升级通信失败", "Logo升级失败", "Logo升级成功，请重启UPS", "",
     "UPS連接未能恢復，請檢查串口後重新連接"},
};

// BootImageFault order from Unreadable on; %1 is a block or byte count.
const char* const kImageProblems[3][5] = {
    {"文件无法读取", "文件开头不是引导表标识 0x08AA", "引导表不完整（读到 %1 个数据块后文件结束，没有长度为 0 的结束块）",
     "引导表中没有数据块（只有表头和结束块）", "结束块之后多出 %1 个字节"},
    {"the file cannot be read", "it does not start with the boot table key 0x08AA",
     "the boot table is cut off after %1 block(s) (no closing block of size 0)",
     "the boot table holds no data block (only the header and the closing block)",
     "%1 byte(s) follow the closing block"},
    {"文件無法讀取", "文件開頭不是引導表標識 0x08AA", "引導表不完整（讀到 %1 個數據塊後文件結束，沒有長度為 0 的結束塊）",
     "引導表中沒有數據塊（只有表頭和結束塊）", "結束塊之後多出 %1 個字節"},
};
const char* const kImageRefused[3] = {"%1 不是完整的DSP引导映像，未发送任何数据：%2",
                                      "%1 is not a whole DSP boot image; nothing was sent: %2",
                                      "%1 不是完整的DSP引導映像，未發送任何數據：%2"};
const char* const kLinkConnected[3] = {"请先断开UPS通信连接，再进行烧录！",
                                       "The UPS link is connected: disconnect it before programming!",
                                       "請先斷開UPS通訊連接，再進行燒錄！"};

const char* const kEraseItems[3][2] = {{"全部", "程序区"}, {"All Flash", "Program Area"}, {"全部", "程序區"}};

struct Caption {
    const char* name;
    const char* text[3];
};
const Caption kCaptions[] = {
    {"TabSheet22", {"软件烧录", "Programming", "軟件燒錄"}},
    {"TabSheetUpgrade", {"软件更新", "Software update", "軟件更新"}},
    {"LabelFilePath", {"程序文件", "Program file", "程式文件"}},
    {"ButtonBrowse", {"选择...", "Browse...", "選擇..."}},
    {"LabelProgramPort", {"串口", "Port", "串口"}},
    {"LabelProgramBaud", {"波特率", "Baud rate", "波特率"}},
    {"LabelDspType", {"DSP型号", "DSP type", "DSP型號"}},
    {"LabelErase", {"擦除", "Erase", "擦除"}},
    {"GroupBoxCSM", {"Code Security Password", "Code Security Password", "Code Security Password"}},
    {"GroupBoxTargetID", {"Target ID", "Target ID", "Target ID"}},
    {"ButtonProgram", {"烧写", "Program", "燒寫"}},
    {"ButtonProgramReset", {"取消", "Cancel", "取消"}},
    {"GroupBoxUpLogo", {"Logo更新", "Logo update", "Logo更新"}},
    {"LabelChoseLogo", {"选择Logo文件", "Logo file", "選擇Logo文件"}},
    {"ButtonChosLogo", {"选择...", "Browse...", "選擇..."}},
    {"ButtonUpLogo", {"更新", "Update", "更新"}},
};

} // namespace

QString flashMessageText(FlashMessage row, int language) {
    const int r = int(row);
    if (r < 0 || r > 5) return {};
    return QString::fromUtf8(kFlashMessages[lang(language)][r]);
}

bool flashMessageIsWarning(FlashMessage row) { return row != FlashMessage::Pass; }

QString flashAlarmCaption(int language) { return QString::fromUtf8(kAlarmCaption[lang(language)]); }

QString logoMessageText(LogoMessage message, int language) {
    if (message == LogoMessage::PortFailed) return commonMessage(MsgPortFailed, lang(language));
    const int r = int(message);
    if (r < 0 || r > 9) return {};
    return QString::fromUtf8(kLogoMessages[lang(language)][r]);
}

QString bootImageProblemText(const BootImageCheck& check, int language) {
    if (check.whole()) return {};
    const QString text = QString::fromUtf8(kImageProblems[lang(language)][int(check.fault) - 1]);
    switch (check.fault) {
    case BootImageFault::CutOff: return text.arg(check.blocks);
    case BootImageFault::BytesAfterEnd: return text.arg(check.extraBytes);
    default: return text;
    }
}

QString imageRefusedText(const QString& fileName, const BootImageCheck& check, int language) {
    return QString::fromUtf8(kImageRefused[lang(language)]).arg(fileName, bootImageProblemText(check, language));
}

QString linkConnectedText(int language) { return QString::fromUtf8(kLinkConnected[lang(language)]); }

QStringList eraseItems(int language) {
    const int l = lang(language);
    return {QString::fromUtf8(kEraseItems[l][0]), QString::fromUtf8(kEraseItems[l][1])};
}

QString flashCaption(const char* objectName, int language) {
    for (const Caption& c : kCaptions)
        if (std::strcmp(c.name, objectName) == 0) return QString::fromUtf8(c.text[lang(language)]);
    return {};
}

} // namespace zav
