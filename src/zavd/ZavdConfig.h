#pragma once
// zavd.conf: one INI file read with the project's profile-file class.
//
//   [Link]       Port, Protocol (ascii|rtu), Baud (auto|1200..38400), Address (1..254), Model (auto|0..8),
//                Timing (fast|classic), ExtraGapMs (0..1000)
//   [Server]     Listen (address), ListenPort, MaxConnections, UpsName, Description, Users (names),
//                UpsNames (names: several UPSes)
//   [Ups NAME]   Description, Port, Protocol, Baud, Address, Model (a key not given is [Link]'s)
//   [Power]      PowerOff (dry-run|system), FedBy (UPS names), FedByRule (any|all)
//   [ShutEvents] the keys of the PC protection, as in ZAV.ini (CheckBoxShutdownEnable, ...)
//   [Journal]    StateDirectory (default /var/lib/zav: the journal is journal.sqlite in it; "off": no
//                journal), MaxAgeDays (1..36500), MaxSizeMB (1..100000), TrendMaxSizeMB (1..100000: the
//                trends, in journal-trends.sqlite in the same folder)
//   [EventCommand] Program (a program and its arguments, run without a shell for every event),
//                TimeoutSeconds (1..3600)
//   [User NAME]  Password, Actions (SET, FSD), InstCmds (names or ALL), Upsmon (primary|secondary),
//                Upses (the UPS names the user may act on; default all)
//
// A file without UpsNames describes one UPS: [Link] and [Server] UpsName/Description, as always.
// With UpsNames every name has its [Ups NAME] section; UPSes on the same port share one bus, so
// they must agree on its rate (not auto) and framing and differ in their addresses.
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

// One UPS of the service: its NUT name and description and where it is.
struct ZavdUpsConfig {
    QString name;
    QString description;
    ConnectRequest link;
};

struct ZavdConfig {
    // The first UPS, as a one-UPS file describes it (upses[0] holds the same).
    ConnectRequest link;
    TimingOptions timing;
    QString listenAddress = QStringLiteral("127.0.0.1");
    int listenPort = 3493;
    int maxConnections = 64;
    QString upsName = QStringLiteral("zav");
    QString description = QStringLiteral("ZAV UPS");
    QVector<ZavdUpsConfig> upses; // every UPS, in the order of UpsNames
    // The PC-shutdown policy follows the UPSes that feed this machine: with "any" an event on one of
    // them counts, with "all" only an event on every one. Default: the first UPS.
    QStringList fedBy;
    bool fedByAll = false;
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

// The UPSes sharing one port must agree on it: "" or the reason they do not (names the UPSes).
QString checkSharedPorts(const QVector<ZavdUpsConfig>& upses);

} // namespace zav
