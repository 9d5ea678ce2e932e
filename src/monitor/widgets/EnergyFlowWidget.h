#pragma once
// The energy-flow diagram of the home page. The wires and pictures are child widgets named after the
// diagram's elements (Shape2, Panel2, ImageBypScrClose, ...); the marching squares are painted by a
// transparent layer between the wires and the pictures, from FlowPhase in each paint event, so a
// repaint never loses them. A tick repaints only the strips the squares occupy.
//
// Timerflow (100 ms) runs while the diagram is visible and the link is up; a pending model
// detection holds the phase still.

#include "pagekit/ZavPage.h"
#include "monitor/EnergyFlow.h"

#include <QHash>
#include <QTransform>
#include <QWidget>

class QLabel;
class QTimer;

namespace zav {

class EnergyFlowWidget : public QWidget {
    Q_OBJECT
  public:
    explicit EnergyFlowWidget(AppContext& context, QWidget* parent = nullptr);

    void timerflowTimer(); // one tick: phase + 3, redraw the strips
    void setHomeLayout();  // shows the elements of the current model's variant
    void applyLanguage(int language);
    // Greys the diagram and names why its pictures are not the UPS's present state (not
    // connected, link lost, values from a file); an empty reason shows it live again.
    void setDataGap(const QString& reason);
    QString dataGap() const { return gapReason_; }

    QTimer* timer() const { return timer_; }
    const FlowFrame& frame() const { return frame_; }
    const FlowClock& clock() const { return clock_; }
    // Diagram coordinates to widget pixels.
    const QTransform& transform() const { return transform_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    class Squares;
    void rebuildFrame(); // from the stores, at the current phase; repaints what changed
    void updateTimer();  // runs only while visible and the link is up
    void applyPictures();
    void placeElements();

    AppContext& context_;
    QTimer* timer_;
    FlowClock clock_;
    FlowFrame frame_;
    FlowVariant variant_ = FlowVariant::Tower;
    QTransform transform_;
    Squares* squares_ = nullptr;
    QHash<QString, QWidget*> elements_; // by element name
    QHash<QString, QWidget*> images_;   // state pictures by name
    QWidget* moduleCaption_ = nullptr;
    QString gapReason_;
    QLabel* gapLabel_ = nullptr;
};

} // namespace zav
