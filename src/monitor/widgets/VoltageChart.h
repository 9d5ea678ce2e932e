#pragma once
// One voltage trend chart of a measurement page: a line series over the time of day, the Y axis
// fixed at 0..300 V, the X axis set by hand to the last 10 minutes, no legend. The chart view is
// named after the chart (ChartByVolt ...) and its series after the line (LineByVolt ...).

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

    QLineSeries* line() const { return line_; }
    QDateTimeAxis* timeAxis() const { return timeAxis_; }
    QValueAxis* voltAxis() const { return voltAxis_; }
    const VoltageTrend& trend() const { return trend_; }

  private:
    VoltageTrend trend_;
    QLineSeries* line_ = nullptr;
    QDateTimeAxis* timeAxis_ = nullptr;
    QValueAxis* voltAxis_ = nullptr;
};

} // namespace zav
