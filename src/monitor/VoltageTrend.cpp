#include "monitor/VoltageTrend.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zav {

void VoltageTrend::moveWindow(qint64 t) {
    windowEnd_ = t + kLeadMs;
    const double first = double(windowStart()), last = double(windowEnd_);
    points_.erase(std::remove_if(points_.begin(), points_.end(),
                                 [&](const QPointF& p) { return p.x() < first || p.x() > last; }),
                  points_.end());
}

void VoltageTrend::append(qint64 t, int volts) {
    moveWindow(t);
    points_.append(QPointF(double(t), volts));
}

void VoltageTrend::appendGap(qint64 t) {
    moveWindow(t);
    // Nothing to break before the first value or right after another gap.
    if (points_.isEmpty() || isGap(points_.last())) return;
    points_.append(QPointF(double(t), std::numeric_limits<double>::quiet_NaN()));
}

void VoltageTrend::clear() {
    points_.clear();
    windowEnd_ = kLeadMs + kWindowMs;
}

bool VoltageTrend::isGap(const QPointF& p) { return std::isnan(p.y()); }

QVector<QVector<QPointF>> VoltageTrend::runs() const {
    QVector<QVector<QPointF>> result;
    QVector<QPointF> run;
    for (const QPointF& p : points_) {
        if (!isGap(p)) {
            run.append(p);
        } else if (!run.isEmpty()) {
            result.append(run);
            run.clear();
        }
    }
    result.append(run);
    return result;
}

} // namespace zav
