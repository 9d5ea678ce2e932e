#include "FirmwareOptions.h"

#include "VirtualUps.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace zav::sim {

namespace {
const struct {
    const char* name;
    BootFault fault;
} kBootFaults[] = {{"wrong-keys", BootFault::WrongKeys},
                   {"silent-after-kernel", BootFault::SilentAfterKernel},
                   {"corrupt-app", BootFault::CorruptApplication},
                   {"cable-pull", BootFault::CablePulled},
                   {"hang-up", BootFault::HangUp}};
const struct {
    const char* name;
    LogoFault fault;
} kLogoFaults[] = {{"bad-crc", LogoFault::BadCrc}, {"wrong-address", LogoFault::WrongAddress}, {"type3", LogoFault::Type3},
                   {"hang-up", LogoFault::HangUp}};
} // namespace

void addFirmwareOptions(QCommandLineParser& p) {
    p.addOption({"bootloader-link", "Serve a DSP in serial boot mode on a second pty, linked here.", "path"});
    p.addOption({"boot-keys", "The code-security keys and target IDs the kernel accepts: 64 hex digits "
                              "(default all F).", "hex"});
    p.addOption({"boot-fault", "wrong-keys, silent-after-kernel, corrupt-app, cable-pull or hang-up.", "kind"});
    p.addOption({"logo-type", "DSP type the logo handshake reports: 1 (default) or 2.", "n"});
    p.addOption({"logo-fault", "bad-crc, wrong-address, type3 or hang-up.", "kind"});
}

QString readFirmwareOptions(const QCommandLineParser& p, FirmwareOptions& o) {
    o.bootloaderLink = p.value("bootloader-link");
    if (p.isSet("boot-keys")) {
        const QString keys = p.value("boot-keys");
        if (!QRegularExpression("^[0-9A-Fa-f]{64}$").match(keys).hasMatch())
            return "--boot-keys must be 64 hex digits (8 keys, then 8 target IDs)";
        o.bootKeys = keys.toLatin1().toUpper();
    }
    if (p.isSet("boot-fault")) {
        const QString name = p.value("boot-fault");
        bool found = false;
        for (const auto& f : kBootFaults)
            if (name == f.name) o.bootFault = f.fault, found = true;
        if (!found) return "--boot-fault must be wrong-keys, silent-after-kernel, corrupt-app, cable-pull or hang-up";
    }
    if (p.isSet("logo-type")) {
        const QString t = p.value("logo-type");
        if (t != "1" && t != "2") return "--logo-type must be 1 or 2";
        o.logoType = t.toInt();
    }
    if (p.isSet("logo-fault")) {
        const QString name = p.value("logo-fault");
        bool found = false;
        for (const auto& f : kLogoFaults)
            if (name == f.name) o.logoFault = f.fault, found = true;
        if (!found) return "--logo-fault must be bad-crc, wrong-address, type3 or hang-up";
    }
    return {};
}

void applyFirmwareOptions(const FirmwareOptions& o, VirtualUps& ups, Bootloader* boot) {
    ups.logo().setTargetType(o.logoType);
    ups.logo().setFault(o.logoFault);
    if (boot) {
        boot->setKeys(o.bootKeys);
        boot->setFault(o.bootFault);
    }
}

} // namespace zav::sim
