#include "pagekit/LockPanel.h"

#include "foundation/Passwords.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zav {

LockPanel::LockPanel(const LockNames& names, const PasswordBook& passwords, QWidget* host,
                     UnlockThrottle* throttle)
    : QFrame(host), passwords_(passwords), throttle_(throttle),
      clock_([] { return QDeadlineTimer::current().deadline(); }) {
    if (!throttle_) {
        ownThrottle_ = std::make_unique<UnlockThrottle>();
        throttle_ = ownThrottle_.get();
    }
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

    result_ = new QLabel(box);
    result_->setObjectName(QString::fromLatin1(names.edit) + QStringLiteral("Result"));
    result_->setAlignment(Qt::AlignCenter);
    result_->hide();

    auto* lines = new QVBoxLayout(box);
    auto* row = new QHBoxLayout;
    row->addWidget(label_);
    row->addWidget(edit_);
    row->addWidget(ok_);
    lines->addLayout(row);
    lines->addWidget(result_);
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
    result_->hide(); // its text is in the language it was said in
}

LockPanel::~LockPanel() = default;

void LockPanel::tryUnlock() {
    const qint64 now = clock_();
    const auto refuse = [this](const QString& text) {
        result_->setText(text);
        result_->show();
        edit_->selectAll(); // the next try replaces the text
        edit_->setFocus(Qt::OtherFocusReason);
    };
    if (const qint64 wait = throttle_->waitMs(now); wait > 0) {
        refuse(unlockWaitText(language_, wait));
        return;
    }
    const QString typed = edit_->text();
    if (!passwords_.opens(typed)) {
        throttle_->wrong(now);
        refuse(wrongPasswordText(language_, throttle_->waitMs(now)));
        return;
    }
    throttle_->right();
    result_->hide();
    unlocked_ = true;
    hide();
    showContent(true);
    emit unlocked();
    if (passwords_.factoryPasswordInUse() && typed == passwords_.current()) emit openedWithFactoryPassword();
}

void LockPanel::relock() {
    unlocked_ = false;
    edit_->clear();
    result_->hide();
    showContent(false);
    show();
    raise();
}

bool LockPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return QFrame::eventFilter(watched, event);
}

} // namespace zav
