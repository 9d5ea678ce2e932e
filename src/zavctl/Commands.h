#pragma once
// The zavctl subcommands. Each takes the arguments with the program name first and the subcommand
// removed ("zavctl", "--port", ...), and returns the process exit status (CtlCommon.h).

#include <QCoreApplication>
#include <QStringList>

namespace zavctl {

using CommandRunner = int (*)(QCoreApplication& app, const QStringList& args);

struct Command {
    const char* name;
    const char* summary; // one line for `zavctl --help`
    CommandRunner run;
};

int runPoll(QCoreApplication& app, const QStringList& args);
int runScan(QCoreApplication& app, const QStringList& args); // ScanCommand.cpp
int runCommand(QCoreApplication& app, const QStringList& args); // CommandCommand.cpp
int runCalibrate(QCoreApplication& app, const QStringList& args); // CalibrateCommand.cpp
int runShutdownPolicy(QCoreApplication& app, const QStringList& args); // ProtectCommand.cpp
int runGet(QCoreApplication& app, const QStringList& args); // SettingsCommand.cpp
int runSet(QCoreApplication& app, const QStringList& args);

int runHistory(QCoreApplication& app, const QStringList& args); // RecordsCommand.cpp
int runSCodes(QCoreApplication& app, const QStringList& args);
int runAnalyze(QCoreApplication& app, const QStringList& args);
int runSnapshot(QCoreApplication& app, const QStringList& args); int runRestoreSettings(QCoreApplication& app, const QStringList& args); // FieldDataCommand.cpp

int runFlash(QCoreApplication& app, const QStringList& args); // FlashCommand.cpp
int runLogo(QCoreApplication& app, const QStringList& args);

int runJournal(QCoreApplication& app, const QStringList& args); // JournalCommand.cpp
int runTrends(QCoreApplication& app, const QStringList& args); // TrendsCommand.cpp

} // namespace zavctl
