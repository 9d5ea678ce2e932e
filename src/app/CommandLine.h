#pragma once
// Command-line options of zav.

#include <QString>
#include <QStringList>

namespace zav {

struct CommandLineOptions {
    bool demo = false;    // start the virtual UPS on a pseudo-terminal and offer its path
    bool connect = false; // press Connect once the window is up
    bool dryRunPowerOff = false; // the shutdown sequence only records the power-off (always with --demo)
    QStringList simArguments;    // options for the virtual UPS of --demo (--sim-args)
    int page = -1;        // tree node to show at start, -1: the home page
    QString configPath;   // the ZAV.ini to use
    bool help = false;
    QString error;        // not empty: the arguments were not understood
};

// arguments[0] is the program name, as in QCoreApplication::arguments().
CommandLineOptions parseCommandLine(const QStringList& arguments);
QString commandLineHelp();

} // namespace zav
