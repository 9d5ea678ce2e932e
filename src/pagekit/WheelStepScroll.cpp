#include "pagekit/WheelStepScroll.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

namespace zav {

namespace {

enum class Role { Wheel, Click, FocusedWheel };

const char* const kRole = "zavWheelStepRole";

bool takesWheelWhenFocused(const QWidget* w) {
    return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

} // namespace

WheelStepScroll::WheelStepScroll(QScrollArea* area) : QObject(area), area_(area) {}

WheelStepScroll* WheelStepScroll::install(QScrollArea* area) {
    if (!area) return nullptr;
    auto* handler = new WheelStepScroll(area);
    handler->bind();
    return handler;
}

WheelStepScroll* WheelStepScroll::install(QWidget* root, const QString& name) {
    return root ? install(root->findChild<QScrollArea*>(name)) : nullptr;
}

void WheelStepScroll::bind() {
    auto watch = [this](QWidget* w, Role role) {
        w->setProperty(kRole, int(role));
        w->installEventFilter(this);
    };
    // Wheel events nobody inside takes come up to the viewport; the scroll bar gets its own.
    watch(area_->viewport(), Role::Click);
    watch(area_->verticalScrollBar(), Role::Wheel);
    QWidget* content = area_->widget();
    if (!content) return;
    QList<QWidget*> inside = content->findChildren<QWidget*>();
    inside.prepend(content);
    for (QWidget* w : inside) {
        if (qobject_cast<QGroupBox*>(w) || qobject_cast<QLabel*>(w)) {
            watch(w, Role::Click);
        } else if (takesWheelWhenFocused(w)) {
            // A wheel must not give them the focus (and with it the wheel) on its own.
            if (w->focusPolicy() == Qt::WheelFocus) w->setFocusPolicy(Qt::StrongFocus);
            watch(w, Role::FocusedWheel);
        }
    }
}

bool WheelStepScroll::eventFilter(QObject* watched, QEvent* event) {
    const auto role = Role(watched->property(kRole).toInt());
    switch (event->type()) {
    case QEvent::Wheel:
        if (role == Role::FocusedWheel && static_cast<QWidget*>(watched)->hasFocus()) return false;
        return scroll(static_cast<QWheelEvent*>(event));
    case QEvent::MouseButtonPress:
        // Only the focus: the click itself goes on as usual.
        if (role == Role::Click) area_->setFocus(Qt::MouseFocusReason);
        return false;
    default:
        return false;
    }
}

bool WheelStepScroll::scroll(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) return false; // a sideways wheel keeps its usual meaning
    // A turn back starts afresh: what was left over from the other way does not count.
    if ((pendingDelta_ > 0) != (delta > 0)) pendingDelta_ = 0;
    pendingDelta_ += delta;
    const int notches = pendingDelta_ / kNotch;
    pendingDelta_ -= notches * kNotch;
    QScrollBar* bar = area_->verticalScrollBar();
    // Wheel away from the user (positive) scrolls up; setValue keeps the position within the range.
    if (notches != 0) bar->setValue(bar->value() - notches * kStepPixels);
    event->accept();
    return true;
}

} // namespace zav
