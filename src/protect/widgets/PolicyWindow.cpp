#include "protect/widgets/PolicyWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace zav {

PolicyWindow::PolicyWindow(QWidget* parent) : QDialog(parent) {
    // A title and a minimise button only: there is no close button to offer.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowStaysOnTopHint);
}

void PolicyWindow::closeByPolicy() {
    closing_ = true;
    close();
    closing_ = false;
}

void PolicyWindow::closeEvent(QCloseEvent* event) {
    if (closing_)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void PolicyWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return; // Escape would reject (hide) the dialog
    QDialog::keyPressEvent(event);
}

} // namespace zav
