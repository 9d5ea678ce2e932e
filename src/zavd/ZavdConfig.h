#pragma once
// zavd.conf: one INI file read with the project's profile-file class.
//
//   [Link]       Port, Protocol (ascii|rtu), Baud (auto|1200..38400), Address (1..254), Model (auto|0..8),
//                Timing (fast|classic), ExtraGapMs (0..1000)
//   [Server]     Listen (address), ListenPort, MaxConnections, UpsName, Description, Users (names)
//   [Power]      PowerOff (dry-run|system)
//   [ShutEvents] the keys of the PC protection, as in ZAV.ini (CheckBoxShutdownEnable, ...)
//   [Journal]    StateDirectory (default /var/lib/zav: the journal is journal.sqlite in it; "off": no
//                journal), MaxAgeDays (1..36500), MaxSizeMB (1..100000)
//   [EventCommand] Program (a program and its arguments, run without a shell for every event),
//                TimeoutSeconds (1..3600)
//   [User NAME]  Password, Actions (SET, FSD), InstCmds (names or ALL), Upsmon (primary|secondary)
//
// A bad or missing value stops the start: the error names the key and the file. So do a key given
// twice in a section, a check box with a value other than 1/0 (yes/no, true/false, on/off), and a
// program line (CheckBoxRunExProcedure) in a file that other users can write. Only a regular file
// is read.

#include "session/UpsSession.h"
#include "journal/JournalConfig.h"
#include "protect/ShutdownConfig.h"
#include "zavd/NutProtocol.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace zav {

struct ZavdConfig {
    ConnectRequest link;
    TimingOptions timing;
    QString listenAddress = QStringLiteral("127.0.0.1");
    int listenPort = 3493;
    int maxConnections = 64;
    QString upsName = QStringLiteral("zav");
    QString description = QStringLiteral("ZAV UPS");
    bool dryRun = true; // the power-off only says what it would do until PowerOff=system
    ShutdownConfig shutdown;
    QVector<NutUser> users;
    JournalSettings journal; // database empty: no journal
    QStringList warnings; // said at start, not fatal (a password file other users can read)
};

inline constexpr const char* kDefaultZavdConfig = "/etc/zav/zavd.conf";
inline constexpr const char* kDefaultZavdStateDirectory = "/var/lib/zav";

// Reads `path` into `out`; returns the error text ("zavd.conf: [Link] Port: ...") or empty.
// `portGiven`: the command line names the port, so the file need not.
QString loadZavdConfig(const QString& path, ZavdConfig& out, bool portGiven = false);

} // namespace zav
