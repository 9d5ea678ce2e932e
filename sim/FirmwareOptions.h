#pragma once
// Options of zav-ups-sim for the firmware pages: the DSP bootloader on a second pty and the logo
// receiver behind the command 357.

#include "Bootloader.h"
#include "LogoReceiver.h"

#include <QString>

class QCommandLineParser;

namespace zav::sim {

class VirtualUps;

struct FirmwareOptions {
    QString bootloaderLink; // serve the bootloader, reachable through this link
    QByteArray bootKeys = QByteArray(64, 'F');
    BootFault bootFault = BootFault::None;
    int logoType = 1;
    LogoFault logoFault = LogoFault::None;
};

void addFirmwareOptions(QCommandLineParser& parser);
// Reads them; the error for the user, or empty.
QString readFirmwareOptions(const QCommandLineParser& parser, FirmwareOptions& out);
void applyFirmwareOptions(const FirmwareOptions& options, VirtualUps& ups, Bootloader* boot);

} // namespace zav::sim
