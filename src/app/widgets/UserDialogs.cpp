#include "app/widgets/UserDialogs.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace zav {

void MessageBoxDialogs::inform(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QGuiApplication::applicationDisplayName(), text);
}

bool MessageBoxDialogs::askYesNo(QWidget* parent, const QString& text) {
    return QMessageBox::information(parent, QGuiApplication::applicationDisplayName(), text,
                                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace zav
