#pragma once
// The points of one voltage chart: one point per refresh, shown in a window from 10 minutes before
// the refresh time to 1 second after it. Points outside that window are dropped, so a tool left
// running for months keeps about 300 points per chart (one refresh every 2 s) instead of growing
// without bound. A clock set backwards drops the points that now lie in the future as well.
//
// A refresh without a measurement (the live stores were cleared: not connected, link lost, language
// switched) adds a gap point instead of a value: the line breaks there rather than plotting a 0 V
// drop the UPS never had.

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
    // One refresh at t without a measurement: moves the window and breaks the line (one gap point
    // for a run of such refreshes).
    void appendGap(qint64 t);
    void clear();

    static bool isGap(const QPointF& p);
    // x = ms since the epoch, y = volts, or NaN for a gap point.
    const QVector<QPointF>& points() const { return points_; }
    // The unbroken stretches of the line, oldest first. The last one is where the next value goes:
    // it is empty right after a gap, and there is always at least one.
    QVector<QVector<QPointF>> runs() const;
    qint64 windowStart() const { return windowEnd_ - kLeadMs - kWindowMs; }
    qint64 windowEnd() const { return windowEnd_; }

  private:
    void moveWindow(qint64 t);

    QVector<QPointF> points_;
    qint64 windowEnd_ = kLeadMs + kWindowMs;
};

} // namespace zav
