#include "pagekit/ClickLabel.h"

#include <QApplication>
#include <QMouseEvent>

namespace zav {

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

void ClickLabel::enterEvent(QEnterEvent* event) {
    emit entered();
    QLabel::enterEvent(event);
}

void ClickLabel::leaveEvent(QEvent* event) {
    emit left();
    QLabel::leaveEvent(event);
}

void setHoverColour(QLabel* label, bool hovered) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, hovered ? QColor(255, 0, 255)
                                                   : QApplication::palette().color(QPalette::WindowText));
    label->setPalette(palette);
}

} // namespace zav
