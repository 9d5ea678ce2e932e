#pragma once
// A label that reports clicks, double clicks and the mouse entering and leaving: the language
// labels of the header and the hot spot Label100.

#include <QLabel>

namespace zav {

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();
    void doubleClicked();
    void entered();
    void left();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

// Hover colours of the language labels: magenta while the mouse is over it, else the system's
// window-text colour.
void setHoverColour(QLabel* label, bool hovered);

} // namespace zav
