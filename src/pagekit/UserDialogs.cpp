#include "pagekit/UserDialogs.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace zav {

namespace {

QMessageBox* openBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons) {
    auto* box = new QMessageBox(QMessageBox::Information, QGuiApplication::applicationDisplayName(), text, buttons,
                                parent);
    box->setObjectName(QStringLiteral("UserMessageBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}

} // namespace

void MessageBoxDialogs::inform(QWidget* parent, const QString& text) {
    openBox(parent, text, QMessageBox::Ok)->open();
}

void MessageBoxDialogs::askYesNo(QWidget* parent, const QString& text, std::function<void(bool yes)> answered) {
    QMessageBox* box = openBox(parent, text, QMessageBox::Yes | QMessageBox::No);
    QObject::connect(box, &QDialog::finished, box, [box, answered = std::move(answered)] {
        const bool yes = box->clickedButton() == box->button(QMessageBox::Yes);
        if (answered) answered(yes);
    });
    box->open();
}

} // namespace zav
