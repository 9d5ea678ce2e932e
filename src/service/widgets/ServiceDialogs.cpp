#include "service/widgets/ServiceDialogs.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

namespace zav {

namespace {
// Shown without a nested event loop (exec() would let Timer1 re-enter the scheduler) and without
// modality: a window-modal box would also block every other window of the main window, the
// shutdown countdown among them, whose buttons must always work. The pages re-check the link when
// an answer arrives, so what the user does meanwhile in the window cannot make the answer unsafe.
void showModeless(QMessageBox* box, const char* name) {
    box->setObjectName(QLatin1String(name));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal); // QMessageBox makes itself modal otherwise
    box->show();
    box->raise();
    box->activateWindow();
}
} // namespace

void StandardServiceDialogs::inform(QWidget* parent, const QString& text, const char* name) {
    showModeless(new QMessageBox(QMessageBox::Information, QGuiApplication::applicationDisplayName(), text,
                                 QMessageBox::Ok, parent),
                 name);
}

void StandardServiceDialogs::ask(QWidget* parent, const QString& question, const char* name,
                                 std::function<void(bool yes)> answer) {
    auto* box = new QMessageBox(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), question,
                                QMessageBox::Yes | QMessageBox::No, parent);
    // Enter or a stray click on the default must not carry out a destructive command.
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    // finished comes once however the box closes; the box dies with `parent`, and the answer with it.
    QObject::connect(box, &QMessageBox::finished, box, [box, answer = std::move(answer)](int) {
        answer(box->clickedButton() == box->button(QMessageBox::Yes));
    });
    showModeless(box, name);
}

ServiceDialogs& standardServiceDialogs() {
    static StandardServiceDialogs dialogs;
    return dialogs;
}

} // namespace zav
