#include "app/CommandLine.h"

#include "foundation/AppTexts.h"

#include <QCommandLineParser>
#include <QProcess>

namespace zav {

namespace {

struct Options {
    QCommandLineOption demo{QStringLiteral("demo"),
                            QStringLiteral("Start a virtual UPS on a pseudo-terminal and put its "
                                           "device path into the port box.")};
    QCommandLineOption connect{QStringLiteral("connect"),
                               QStringLiteral("Press Connect once the window is up.")};
    QCommandLineOption dryRunPowerOff{QStringLiteral("dry-run-poweroff"),
                                      QStringLiteral("Never power the PC off: the shutdown sequence only "
                                                     "says what it would do (always so with --demo).")};
    QCommandLineOption simArgs{QStringLiteral("sim-args"),
                               QStringLiteral("Options for the virtual UPS of --demo, for example "
                                              "'--model 7 --event \"20s utility-fail\"'."),
                               QStringLiteral("options")};
    QCommandLineOption page{QStringLiteral("page"),
                            QStringLiteral("Show page <n> of the page tree at start (0-15)."),
                            QStringLiteral("n")};
    QCommandLineOption config{QStringLiteral("config"),
                              QStringLiteral("Use <path> as ZAV.ini."), QStringLiteral("path")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};

    void addTo(QCommandLineParser& parser) const {
        parser.setApplicationDescription(
            QStringLiteral("ZAV: monitoring and service tool for uninterruptible power supplies."));
        parser.addOptions({demo, connect, dryRunPowerOff, simArgs, page, config, help});
    }
};

} // namespace

CommandLineOptions parseCommandLine(const QStringList& arguments) {
    CommandLineOptions result;
    Options options;
    QCommandLineParser parser;
    options.addTo(parser);
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("Unexpected argument: ") + parser.positionalArguments().first();
        return result;
    }
    result.help = parser.isSet(options.help);
    result.demo = parser.isSet(options.demo);
    result.connect = parser.isSet(options.connect);
    result.dryRunPowerOff = parser.isSet(options.dryRunPowerOff) || result.demo;
    result.simArguments = QProcess::splitCommand(parser.value(options.simArgs));
    if (!result.simArguments.isEmpty() && !result.demo) result.error = QStringLiteral("--sim-args needs --demo");
    result.configPath = parser.value(options.config);
    if (parser.isSet(options.config) && result.configPath.isEmpty())
        result.error = QStringLiteral("--config needs a file path");
    if (parser.isSet(options.page)) {
        bool ok = false;
        const int page = parser.value(options.page).toInt(&ok);
        if (!ok || page < 0 || page >= kPageCount)
            result.error = QStringLiteral("--page needs a number from 0 to %1").arg(kPageCount - 1);
        else
            result.page = page;
    }
    return result;
}

QString commandLineHelp() {
    Options options;
    QCommandLineParser parser;
    options.addTo(parser);
    // Without a running application Qt does not know the program's name.
    return parser.helpText().replace(QLatin1String("<executable_name>"), QLatin1String("zav"));
}

} // namespace zav
