#pragma once
// One voltage trend chart of a measurement page: a line over the time of day, the Y axis fixed at
// 0..300 V, the X axis set by hand to the last 10 minutes, no legend. The chart view is named after
// the chart (ChartByVolt ...). Where the trend has a gap (no measurement) the line is broken: each
// unbroken stretch is a series of its own, and the newest one, which the next value extends, is
// named after the line (LineByVolt ...). Hovering a point shows its time of day and its volts.

#include "monitor/VoltageTrend.h"

#include <QChartView>
#include <QDateTime>

class QLineSeries;
class QDateTimeAxis;
class QValueAxis;

namespace zav {

class VoltageChart : public QChartView {
    Q_OBJECT
  public:
    VoltageChart(const QString& chartName, const QString& lineName, QWidget* parent = nullptr);

    void setTitle(const QString& title);
    // One refresh: the window moves to t and the point (t, volts) is added.
    void addPoint(const QDateTime& t, int volts);
    // One refresh without a measurement (cleared stores): the window moves to t, the line breaks.
    void addGap(const QDateTime& t);

    QLineSeries* line() const { return segments_.last(); }       // the newest stretch
    const QList<QLineSeries*>& segments() const { return segments_; } // oldest first
    QDateTimeAxis* timeAxis() const { return timeAxis_; }
    QValueAxis* voltAxis() const { return voltAxis_; }
    const VoltageTrend& trend() const { return trend_; }
    // The label of a point at x (ms since the epoch): its time of day in the system's format.
    static QString pointLabel(double x);
    // What hovering the point p shows: its label and its volts.
    static QString hoverText(const QPointF& p);

  private:
    QLineSeries* addSegment(QChart* chart);
    void redraw();

    QString lineName_;
    VoltageTrend trend_;
    QList<QLineSeries*> segments_;
    QDateTimeAxis* timeAxis_ = nullptr;
    QValueAxis* voltAxis_ = nullptr;
};

} // namespace zav
