#include "protect/widgets/FormUpsOff.h"

#include "protect/ProtectTexts.h"

#include <QLabel>
#include <QVBoxLayout>

namespace zav {

FormUpsOff::FormUpsOff(QWidget* parent) : PolicyWindow(parent) {
    setObjectName(QStringLiteral("FormUpsOff"));
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

} // namespace zav
