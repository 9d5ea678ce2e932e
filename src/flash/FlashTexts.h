#pragma once
// Texts of the firmware page: the message tables of the programming run and of the logo upload
// (language first: 0 CN, 1 EN, 2 CHT), the log lines (always English) and the page's captions.

#include "flash/FlashFile.h"

#include <QString>
#include <QStringList>

namespace zav {

// FlashMessageTable rows.
enum class FlashMessage : int {
    NoKernelFile = 0,
    UnlockFailed = 1,
    Pass = 2,
    Fail = 3,
    NoResponse = 4,
    CheckConfiguration = 5,
};
QString flashMessageText(FlashMessage row, int language);
// Pass is shown in a plain box; the others carry the caption "Alarm" and the warning icon.
bool flashMessageIsWarning(FlashMessage row);
QString flashAlarmCaption(int language);

enum class LogoMessage : int {
    NoFile,
    NotConnected,
    FileError,
    UnidentifiedType,
    HandshakeFailed,
    BlockFailed,
    FinishFailed,
    Success,
    PortFailed, // row 10 of the common message table
    LinkRestoreFailed,
};
QString logoMessageText(LogoMessage message, int language);

// Why a file is not a whole boot image (empty for a whole one), and the page's box that refuses it
// before anything is sent: "<file> is not a whole DSP boot image; nothing was sent: <why>".
QString bootImageProblemText(const BootImageCheck& check, int language);
QString imageRefusedText(const QString& fileName, const BootImageCheck& check, int language);

// Program pressed while the UPS link is connected: the two never share a moment.
QString linkConnectedText(int language);

// ComboBoxErase items in the language.
QStringList eraseItems(int language);

// The run's log lines, in English whatever the language.
namespace flashlog {
inline constexpr char kResetTarget[] = "****** Please reset target in SCI bootloader mode ******";
inline constexpr char kChecksumPrefix[] = "Program Checksum = ";
inline constexpr char kPinging[] = "Pinging target...";
inline constexpr char kPing[] = ".";
inline constexpr char kNoResponse[] = "No response!";
inline constexpr char kLocked[] = "Baudrate locked!";
inline constexpr char kBootloading[] = "Bootloading...";
inline constexpr char kNoKernel[] = "No Flash API Interface file!";
inline constexpr char kOk[] = "OK.";
inline constexpr char kCheckConfiguration[] = "Fail! Please check configuration!";
inline constexpr char kConnectFail[] = "Connect Fail! Please check configuration!";
inline constexpr char kSuccess[] = "Program  Success!";
inline constexpr char kChecksumDiffers[] = "The flash checkSum is not equal to program checkSum ";
inline constexpr char kFailed[] = "Program  Failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!";
// Lines of our own for ends the target gives no word about.
inline constexpr char kTargetSilent[] = "No answer from the target after the application was sent.";
inline constexpr char kPortError[] = "Serial port error: ";
inline constexpr char kNoApplication[] = "The application file cannot be read: ";
} // namespace flashlog

// Captions of the firmware page (tabs, groups, buttons, labels) by objectName.
QString flashCaption(const char* objectName, int language);

} // namespace zav
