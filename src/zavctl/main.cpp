// zavctl: the UPS tool for shells and scripts. One subcommand per job, the same core and checks as
// the window's pages, JSON or CSV on stdout, messages on stderr, and an exit status that is 0 only
// when the UPS did what was asked.

#include "Commands.h"
#include "CtlCommon.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace zavctl;

namespace {

// One line a subcommand; each lives in its own <Name>Command.cpp.
const Command kCommands[] = {
    {"poll", "connect and print the live data, one JSON line per cycle (and UPS: --addr 1,2,5)", runPoll},
    {"scan", "find which addresses answer on a port, at which rate and model", runScan},
    {"command", "send a remote-control command (--list names them) and report the UPS's answer", runCommand},
    {"calibrate", "write a measured true value to a calibration register and show the new reading", runCalibrate},
    {"shutdown-policy", "print the PC-shutdown policy loaded from ZAV.ini (--check)", runShutdownPolicy},
    {"get", "print the settings by name (JSON or CSV)", runGet},
    {"set", "write settings NAME=VALUE with the pages' checks, then read them back", runSet},
    {"history", "download the history log: the CSV file of the page's Save (or --json)", runHistory},
    {"scodes", "download the S-codes: the CSV file of the page's Save (or --json)", runSCodes},
    {"analyze", "analyse S-code lines: the 128 items with state and severity", runAnalyze},
    {"snapshot", "save the field-data workbook or text file (--out)", runSnapshot}, {"restore-settings", "copy a workbook's settings onto the UPS, with the pages' checks", runRestoreSettings},
    {"flash", "program a DSP's flash through its serial bootloader (programming port, no Modbus link)", runFlash},
    {"logo", "upload a start-up logo over the Modbus link and wait for the UPS's confirmation", runLogo},
    {"journal", "print the event journal of zav (or of zavd with --db) as JSON or CSV", runJournal},
    {"trends", "print the kept trends of the live values for a time range as JSON or CSV", runTrends},
};

void printUsage(FILE* to) {
    std::fputs("usage: zavctl COMMAND [options]   (zavctl COMMAND --help for its options)\n\ncommands:\n", to);
    // One column for the names, as wide as the longest, so each summary stays apart from its name.
    int width = 0;
    for (const Command& c : kCommands) width = std::max(width, int(std::strlen(c.name)));
    for (const Command& c : kCommands) std::fprintf(to, "  %-*s  %s\n", width, c.name, c.summary);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    if (args.size() < 2) {
        printUsage(stderr);
        return ExitUsage;
    }
    if (args[1] == "--help" || args[1] == "-h" || args[1] == "help") {
        printUsage(stdout);
        return ExitOk;
    }
    const QString name = args.takeAt(1);
    for (const Command& c : kCommands)
        if (name == QLatin1String(c.name)) return c.run(app, args);
    std::fprintf(stderr, "zavctl: unknown command '%s'\n", qPrintable(name));
    printUsage(stderr);
    return ExitUsage;
}
