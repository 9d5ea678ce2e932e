#include "protect/widgets/FormUpsOff.h"

#include "protect/ProtectTexts.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace zav {

FormUpsOff::FormUpsOff(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormUpsOff"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowStaysOnTopHint);
    auto* column = new QVBoxLayout(this);
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("LabelUpsOffWarning"));
    text_->setWordWrap(true);
    text_->setMinimumWidth(360);
    text_->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    column->addWidget(text_);
    applyLanguage(1);
}

void FormUpsOff::applyLanguage(int language) {
    language_ = language;
    setWindowTitle(protectText(ProtectText::UpsOffCaption, language));
    if (at_.isValid()) setDue(at_, secondsLeft_);
}

void FormUpsOff::setDue(const QDateTime& at, qint64 secondsLeft) {
    at_ = at;
    secondsLeft_ = secondsLeft;
    text_->setText(protectText(ProtectText::UpsOffAfterEvent, language_)
                       .arg(at.toString(QStringLiteral("HH:mm:ss")))
                       .arg(secondsLeft));
}

QString FormUpsOff::text() const { return text_->text(); }

void FormUpsOff::closeByPolicy() {
    closing_ = true;
    close();
    closing_ = false;
}

void FormUpsOff::closeEvent(QCloseEvent* event) {
    // It stays until the order's time has passed: the load is about to lose power.
    if (closing_)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void FormUpsOff::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return; // Escape would reject (hide) the dialog
    QDialog::keyPressEvent(event);
}

} // namespace zav
