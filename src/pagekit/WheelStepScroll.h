#pragma once
// Wheel and click handling of the long pages' scroll boxes: one wheel step (one notch, 120 eighths
// of a degree) moves the vertical scroll position by exactly 10 pixels, down or up, wherever the
// mouse is inside the box; a click on the box's group boxes or labels gives the box the input focus.
// Drop-down lists and spin boxes inside only take the wheel while they have the focus, so that
// scrolling the page past them never changes a setting.

#include <QObject>

class QScrollArea;
class QWheelEvent;
class QWidget;

namespace zav {

class WheelStepScroll : public QObject {
    Q_OBJECT
  public:
    static constexpr int kStepPixels = 10;
    static constexpr int kNotch = 120;

    // Installs the handling on `area` (owned by it). Call once the area's content is built: the
    // group boxes, labels and lists inside are bound when installed.
    static WheelStepScroll* install(QScrollArea* area);
    // The same for the scroll area named `name` below `root`; nullptr when there is none.
    static WheelStepScroll* install(QWidget* root, const QString& name);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit WheelStepScroll(QScrollArea* area);
    void bind();
    bool scroll(QWheelEvent* event);

    QScrollArea* area_;
    int pendingDelta_ = 0; // a fine-grained wheel's movement short of a whole notch
};

} // namespace zav
