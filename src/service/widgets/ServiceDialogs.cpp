#include "service/widgets/ServiceDialogs.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

namespace zav {

void StandardServiceDialogs::inform(QWidget* parent, const QString& text, const char* name) {
    // open(), not exec(): a nested event loop would let Timer1 re-enter the scheduler.
    auto* box = new QMessageBox(QMessageBox::Information, QGuiApplication::applicationDisplayName(), text,
                                QMessageBox::Ok, parent);
    box->setObjectName(QLatin1String(name));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void StandardServiceDialogs::ask(QWidget* parent, const QString& question, const char* name,
                                 std::function<void(bool yes)> answer) {
    auto* box = new QMessageBox(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), question,
                                QMessageBox::Yes | QMessageBox::No, parent);
    box->setObjectName(QLatin1String(name));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Enter or a stray click on the default must not carry out a destructive command.
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    // finished comes once however the box closes; the box dies with `parent`, and the answer with it.
    QObject::connect(box, &QMessageBox::finished, box, [box, answer = std::move(answer)](int) {
        answer(box->clickedButton() == box->button(QMessageBox::Yes));
    });
    box->open();
}

ServiceDialogs& standardServiceDialogs() {
    static StandardServiceDialogs dialogs;
    return dialogs;
}

} // namespace zav
