// zav: the desktop monitoring and service tool for uninterruptible power supplies.

#include "app/CommandLine.h"
#include "foundation/ConfigLocation.h"
#include "app/DemoUps.h"
#include "foundation/QuitSignals.h"
#include "journal/JournalConfig.h"
#include "app/widgets/AppShell.h"
#include "pagekit/FocusRing.h"
#include "pagekit/UserDialogs.h"
#include "link/QtSerialChannel.h"
#include "protect/platform/SystemPowerOff.h"

#include <QApplication>
#include <QFileInfo>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdio>

using namespace zav;

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineOptions options = parseCommandLine(arguments);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "zav: %s\n\n%s", qPrintable(options.error), qPrintable(commandLineHelp()));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(commandLineHelp()), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zav"));
    installFocusRing(app); // the widget with the keyboard focus shows a highlight outline

    QtSerialChannel channel;
    MessageBoxDialogs dialogs;
    ShellOptions shell;
    shell.profilePath = profilePathForProcess(options.configPath, QApplication::applicationDirPath());
    shell.satelliteBase = QApplication::applicationFilePath();
    shell.trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    shell.listPorts = &QtSerialChannel::availablePorts;
    shell.dialogs = &dialogs;
    // The virtual UPS's events stay out of the journal of the real one.
    if (options.demo) shell.journalPath = QFileInfo(defaultWindowJournalPath()).absolutePath() + QStringLiteral("/demo-journal.sqlite");
    // The PC is powered off for real only when neither --demo nor --dry-run-poweroff is given.
    SystemPowerOff systemPowerOff;
    if (!options.dryRunPowerOff) shell.powerOff = &systemPowerOff;
    // With a tray icon the program lives on when its window is hidden.
    QApplication::setQuitOnLastWindowClosed(!shell.trayAvailable);

    AppShell windows(channel, shell);
    MainWindow& form1 = windows.mainWindow();
    QObject::connect(&form1, &MainWindow::quitRequested, &app, [&windows] { windows.endProgram(); },
                     Qt::QueuedConnection);

    // A logout, `kill` or Ctrl+C ends the program as its Exit would.
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitAsked, &form1, [&form1](int number) {
        std::fprintf(stderr, "zav: ending on signal %d\n", number);
        form1.exitApplication();
    });

    DemoUps demo;
    if (options.demo) {
        QString error;
        if (demo.start(DemoUps::simulatorProgram(QApplication::applicationDirPath()), options.simArguments, &error))
            form1.setPortText(demo.devicePath());
        else
            dialogs.inform(&form1, error);
    }
    if (options.page >= 0) form1.showPage(options.page);
    form1.show();
    if (options.connect) QTimer::singleShot(0, &form1, &MainWindow::buttonConnectClick);
    return app.exec();
}

