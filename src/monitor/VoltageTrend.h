#pragma once
// The points of one voltage chart: one point per refresh, shown in a window from 10 minutes before
// the refresh time to 1 second after it. Points outside that window are dropped, so a tool left
// running for months keeps about 300 points per chart (one refresh every 2 s) instead of growing
// without bound. A clock set backwards drops the points that now lie in the future as well.

#include <QPointF>
#include <QVector>
#include <QtGlobal>

namespace zav {

class VoltageTrend {
  public:
    static constexpr qint64 kWindowMs = 10 * 60 * 1000; // 10 minutes before the refresh
    static constexpr qint64 kLeadMs = 1000;             // 1 second after it

    // One refresh at time t (milliseconds since the epoch): moves the window to t and adds (t, volts).
    void append(qint64 t, int volts);
    void clear();

    const QVector<QPointF>& points() const { return points_; } // x = ms since the epoch, y = volts
    qint64 windowStart() const { return windowEnd_ - kLeadMs - kWindowMs; }
    qint64 windowEnd() const { return windowEnd_; }

  private:
    QVector<QPointF> points_;
    qint64 windowEnd_ = kLeadMs + kWindowMs;
};

} // namespace zav
