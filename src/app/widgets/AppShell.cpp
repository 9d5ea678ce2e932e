#include "app/widgets/AppShell.h"

#include "app/widgets/FormPassword.h"

#include <QDialog>

namespace zav {

namespace {

// S-code analysis, shutdown countdown and close list bring their own content; until they are
// installed the windows exist (hidden) under their names.
QDialog* emptyWindow(const char* name, QWidget* owner) {
    auto* dialog = new QDialog(owner);
    dialog->setObjectName(QString::fromLatin1(name));
    return dialog;
}

} // namespace

AppShell::AppShell(SerialChannel& channel, ShellOptions options) {
    UserDialogs* dialogs = options.dialogs;
    form1_ = std::make_unique<MainWindow>(channel, std::move(options));
    MainWindow* main = form1_.get();
    formSCode_ = emptyWindow("FormSCode", main);
    formPassword_ = new FormPassword(main->passwords(), main->profile(), *dialogs,
                                     [main] { return main->language(); }, main);
    main->setFormPassword(formPassword_);
    formCountDown_ = emptyWindow("FormCountDown", main);
    fmCloseFile_ = emptyWindow("fmCloseFile", main);
}

AppShell::~AppShell() = default;

} // namespace zav
