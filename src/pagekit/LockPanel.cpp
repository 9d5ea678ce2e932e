#include "pagekit/LockPanel.h"

#include "foundation/Passwords.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zav {

LockPanel::LockPanel(const LockNames& names, const PasswordBook& passwords, QWidget* host)
    : QFrame(host), passwords_(passwords) {
    setObjectName(QString::fromLatin1(names.panel));
    setAutoFillBackground(true); // hides the page underneath
    setFrameShape(QFrame::StyledPanel);

    auto* box = new QFrame(this);
    box->setFrameShape(QFrame::StyledPanel);
    label_ = new QLabel(box);
    edit_ = new QLineEdit(box);
    edit_->setObjectName(QString::fromLatin1(names.edit));
    edit_->setEchoMode(QLineEdit::Password);
    edit_->setFixedWidth(160);
    ok_ = new QPushButton(box);
    ok_->setObjectName(QString::fromLatin1(names.button));

    auto* row = new QHBoxLayout(box);
    row->addWidget(label_);
    row->addWidget(edit_);
    row->addWidget(ok_);
    auto* outer = new QVBoxLayout(this);
    outer->addStretch(2);
    auto* centre = new QHBoxLayout;
    centre->addStretch();
    centre->addWidget(box);
    centre->addStretch();
    outer->addLayout(centre);
    outer->addStretch(3);

    connect(ok_, &QPushButton::clicked, this, &LockPanel::tryUnlock);
    connect(edit_, &QLineEdit::returnPressed, this, &LockPanel::tryUnlock);
    retranslate();
    host->installEventFilter(this);
    setGeometry(host->rect());
    raise();
    showContent(false);
}

void LockPanel::showContent(bool shown) {
    for (QWidget* child : parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != this) child->setVisible(shown);
}

void LockPanel::focusPassword() {
    if (!unlocked_) edit_->setFocus(Qt::OtherFocusReason);
}

void LockPanel::retranslate() {
    label_->setText(QCoreApplication::translate("LockPanel", "密码"));
    ok_->setText(QCoreApplication::translate("LockPanel", "确定"));
}

void LockPanel::tryUnlock() {
    if (!passwords_.opens(edit_->text())) return;
    unlocked_ = true;
    hide();
    showContent(true);
    emit unlocked();
}

void LockPanel::relock() {
    unlocked_ = false;
    edit_->clear();
    showContent(false);
    show();
    raise();
}

bool LockPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return QFrame::eventFilter(watched, event);
}

} // namespace zav
