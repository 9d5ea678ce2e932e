#include "protect/widgets/FormCountDown.h"

#include "protect/ProtectTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zav {

FormCountDown::FormCountDown(QWidget* parent) : PolicyWindow(parent) {
    setObjectName(QStringLiteral("FormCountDown"));
    auto* column = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    lead_ = new QLabel(this);
    lead_->setObjectName(QStringLiteral("Label1"));
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("LabelCount"));
    QFont big = count_->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    count_->setFont(big);
    count_->setMinimumWidth(80);
    count_->setAlignment(Qt::AlignCenter);
    unit_ = new QLabel(this);
    unit_->setObjectName(QStringLiteral("Label2"));
    row->addWidget(lead_);
    row->addWidget(count_);
    row->addWidget(unit_);
    column->addLayout(row);
    held_ = new QLabel(this);
    held_->setObjectName(QStringLiteral("LabelHeld"));
    held_->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    held_->hide();
    column->addWidget(held_);
    upsOff_ = new QLabel(this);
    upsOff_->setObjectName(QStringLiteral("LabelUpsOff"));
    upsOff_->setWordWrap(true);
    upsOff_->hide();
    column->addWidget(upsOff_);
    auto* buttons = new QHBoxLayout;
    cancel_ = new QPushButton(this);
    cancel_->setObjectName(QStringLiteral("ButtonCancel"));
    shut_ = new QPushButton(this);
    shut_->setObjectName(QStringLiteral("ButtonShut"));
    buttons->addWidget(cancel_);
    buttons->addWidget(shut_);
    column->addLayout(buttons);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        emit cancelRequested();
        closeByPolicy();
    });
    connect(shut_, &QPushButton::clicked, this, &FormCountDown::shutNowRequested);
    applyLanguage(1);
}

void FormCountDown::applyLanguage(int language) {
    language_ = language;
    held_->setText(protectText(ProtectText::LinkLostHeld, language));
    setUpsOff(upsOffAt_, upsOffLeft_);
    setWindowTitle(protectText(ProtectText::CountDownCaption, language));
    lead_->setText(protectText(ProtectText::CountDownLead, language));
    unit_->setText(protectText(ProtectText::Seconds, language));
    cancel_->setText(protectText(ProtectText::CancelShutdown, language));
    shut_->setText(protectText(ProtectText::ShutNow, language));
}

void FormCountDown::setSeconds(int seconds) { count_->setText(QString::number(seconds)); }

QString FormCountDown::secondsText() const { return count_->text(); }

void FormCountDown::setHeld(bool held) {
    if (held_->isHidden() == held) held_->setVisible(held);
}

void FormCountDown::setUpsOff(const QDateTime& at, qint64 secondsLeft) {
    upsOffAt_ = at;
    upsOffLeft_ = secondsLeft;
    if (at.isValid())
        upsOff_->setText(protectText(ProtectText::UpsOffOrdered, language_)
                             .arg(at.toString(QStringLiteral("HH:mm:ss")))
                             .arg(secondsLeft));
    if (upsOff_->isHidden() == at.isValid()) upsOff_->setVisible(at.isValid());
}

QString FormCountDown::heldText() const { return held_->isHidden() ? QString() : held_->text(); }

QString FormCountDown::upsOffText() const { return upsOff_->isHidden() ? QString() : upsOff_->text(); }

} // namespace zav
