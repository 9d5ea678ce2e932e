#include "flash/FlashTexts.h"

#include "app/AppTexts.h"

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
