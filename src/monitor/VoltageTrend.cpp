#include "monitor/VoltageTrend.h"

#include <algorithm>

namespace zav {

void VoltageTrend::append(qint64 t, int volts) {
    windowEnd_ = t + kLeadMs;
    const double first = double(windowStart()), last = double(windowEnd_);
    points_.erase(std::remove_if(points_.begin(), points_.end(),
                                 [&](const QPointF& p) { return p.x() < first || p.x() > last; }),
                  points_.end());
    points_.append(QPointF(double(t), volts));
}

void VoltageTrend::clear() {
    points_.clear();
    windowEnd_ = kLeadMs + kWindowMs;
}

} // namespace zav
