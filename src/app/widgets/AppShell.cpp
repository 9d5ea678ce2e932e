#include "app/widgets/AppShell.h"

#include "foundation/InstallLayout.h"
#include "session/UpsSession.h"

#include "app/widgets/FormPassword.h"
#include "foundation/ProfileFile.h"
#include "journal/DesktopNotifier.h"
#include "journal/JournalFeed.h"
#include "journal/TrendFeed.h"
#include "journal/widgets/NotifyChoiceBox.h"
#include "protect/CloseList.h"
#include "protect/widgets/FormCountDown.h"
#include "protect/widgets/FmCloseFile.h"
#include "protect/widgets/ProtectionController.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimer>

namespace zav {

namespace {

Q_LOGGING_CATEGORY(lcEvents, "zav.journal")

// A window whose content is still to come exists (hidden) under its name.
QDialog* emptyWindow(const char* name, QWidget* owner) {
    auto* dialog = new QDialog(owner);
    dialog->setObjectName(QString::fromLatin1(name));
    return dialog;
}

} // namespace

AppShell::AppShell(SerialChannel& channel, ShellOptions options) {
    UserDialogs* dialogs = options.dialogs;
    // The companion beside the program, its record beside ZAV.ini.
    ProtectionOptions protect;
    protect.powerOff = options.powerOff;
    protect.companionProgram =
        programFile(QFileInfo(options.satelliteBase).absolutePath(), ProgramFileKind::Helper, QStringLiteral("zav-closeapp"));
    protect.closeRecordPath = QFileInfo(options.profilePath).absolutePath() + u'/' + QLatin1String(kCloseAppFileName);
    const QString journalPath = options.journalPath;
    form1_ = std::make_unique<MainWindow>(channel, std::move(options));
    MainWindow* main = form1_.get();
    formSCode_ = emptyWindow("FormSCode", main);
    formPassword_ = new FormPassword(main->passwords(), main->profile(), *dialogs,
                                     [main] { return main->language(); }, main);
    formPassword_->setTrayAvailable(main->trayInUse());
    // The dialog's language choice goes through the same handlers as the home page's hot spot.
    formPassword_->setLanguageSwitch([main](int language) {
        static constexpr void (MainWindow::*kSwitch[])() = {&MainWindow::labelChineseClick,
                                                            &MainWindow::labelEnglishClick,
                                                            &MainWindow::labelCHTClick};
        (main->*kSwitch[clampLanguage(language)])();
    });
    formPassword_->setTimingSwitch([main](const TimingOptions& timing) { main->scheduler().setTiming(timing); });
    main->setFormPassword(formPassword_);
    protection_ = new ProtectionController(main->context(), main, std::move(protect));
    formCountDown_ = protection_->formCountDown();
    fmCloseFile_ = protection_->fmCloseFile();

    // The events of the UPS: the journal, the event command and the desktop notifications. The
    // window works the same without them (a journal that cannot be opened is logged and left off).
    JournalSettings journal = loadJournalSettings(main->profile());
    if (!journalPath.isEmpty()) journal.database = journalPath;
    journal_ = new JournalFeed(main->scheduler(), journal, QString(), [](bool warning, const QString& line) {
        if (warning) qCWarning(lcEvents).noquote() << line;
        else qCDebug(lcEvents).noquote() << line;
    }, main);
    journal_->events().setLanguageSource([main] { return main->language(); });
    main->context().journal = journal_->journal().isOpen() ? &journal_->journal() : nullptr;
    QObject::connect(&journal_->journal(), &EventJournal::failed, main, [main] { main->context().journal = nullptr; });
    // The event names the port the UPS answers on.
    journal_->events().setUpsNameSource([&channel] { return channel.portName(); });
    // The trends of each live cycle, beside the journal, under the same UPS name.
    trends_ = new TrendFeed(main->scheduler(), journal, QString(), [](bool warning, const QString& line) {
        if (warning) qCWarning(lcEvents).noquote() << line;
        else qCDebug(lcEvents).noquote() << line;
    }, main);
    trends_->setUpsNameSource([&channel] { return channel.portName(); });
    main->context().trends = trends_;
    // Each second of the protection, after the controller's own step.
    QObject::connect(protection_->timerShutdown(), &QTimer::timeout, journal_,
                     [this] { journal_->protectionStepped(protection_->policy()); });
    notifier_ = new DesktopNotifier(QDBusConnection::sessionBus(), main);
    notifier_->setChoices(journal.notify);
    QObject::connect(journal_, &JournalFeed::happened, notifier_, [this, main](const UpsEvent& e) {
        notifier_->setLanguage(main->language());
        notifier_->notify(e);
    });
    formPassword_->addGroup(new NotifyChoiceBox(
        main->profile(), [main] { return main->language(); },
        [this](const NotifyChoiceBox::Choices& c) { notifier_->setChoices(c); }, formPassword_));
}

AppShell::~AppShell() = default;

void AppShell::endProgram() {
    protection_->standDown();
    QCoreApplication::exit(0);
}

} // namespace zav
