#include "app/widgets/AppShell.h"

#include "foundation/InstallLayout.h"
#include "session/UpsSession.h"

#include "app/widgets/FormPassword.h"
#include "protect/CloseList.h"
#include "protect/widgets/FormCountDown.h"
#include "protect/widgets/FmCloseFile.h"
#include "protect/widgets/ProtectionController.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>

namespace zav {

namespace {

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
}

AppShell::~AppShell() = default;

void AppShell::endProgram() {
    protection_->standDown();
    QCoreApplication::exit(0);
}

} // namespace zav
