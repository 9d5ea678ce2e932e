#include "journal/TrendView.h"

#include "foundation/LanguageText.h"
#include "journal/TrendFormat.h"

#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace zav {

namespace {

struct PageText {
    const char* key;
    Texts3 text;
};
constexpr PageText kTexts[] = {
    {"title", {"趋势", "Trends", "趨勢"}},
    {"values", {"数值", "Values", "數值"}},
    {"range", {"时间", "Time", "時間"}},
    {"from", {"从", "From", "從"}},
    {"to", {"到", "To", "到"}},
    {"refresh", {"刷新", "Refresh", "重新整理"}},
    {"exportCsv", {"导出CSV...", "Export CSV...", "匯出CSV..."}},
    {"exportPng", {"导出PNG...", "Export PNG...", "匯出PNG..."}},
    {"resetZoom", {"还原缩放", "Reset zoom", "還原縮放"}},
    {"earlier", {"◀ 更早", "◀ Earlier", "◀ 更早"}},
    {"later", {"更晚 ▶", "Later ▶", "更晚 ▶"}},
    {"exported", {"已导出：%1", "Exported: %1", "已匯出：%1"}},
    {"exportFailed", {"导出失败：%1", "Export failed: %1", "匯出失敗：%1"}},
    {"noTrends", {"没有趋势数据库", "No trend database", "沒有趨勢資料庫"}},
    {"noValues", {"请选择数值", "Choose values to show", "請選擇數值"}},
    {"shown", {"%1个点（%2）", "%1 points (%2)", "%1個點（%2）"}},
    {"level.cycle", {"每个周期", "every cycle", "每個週期"}},
    {"level.minute", {"每分钟平均", "one-minute means", "每分鐘平均"}},
    {"level.ten-minutes", {"每10分钟平均", "ten-minute means", "每10分鐘平均"}},
    {"hint", {"拖动选择放大，滚轮缩放，Shift+滚轮平移", "Drag to zoom in, wheel to zoom, Shift+wheel to pan",
              "拖曳選擇放大，滾輪縮放，Shift+滾輪平移"}},
};

constexpr Texts3 kRanges[kTrendRangeCount] = {
    {"最近1小时", "Last hour", "最近1小時"}, {"最近1天", "Last day", "最近1天"}, {"最近1周", "Last week", "最近1週"},
    {"最近1个月", "Last month", "最近1個月"}, {"自定义", "Custom", "自訂"},
};

qint64 rangeSpanMs(TrendRange r, const QDateTime& now) {
    switch (r) {
    case TrendRange::Hour: return 3600 * 1000LL;
    case TrendRange::Day: return 24 * 3600 * 1000LL;
    case TrendRange::Week: return 7 * 24 * 3600 * 1000LL;
    case TrendRange::Month: return now.toMSecsSinceEpoch() - now.addMonths(-1).toMSecsSinceEpoch();
    case TrendRange::Custom: break;
    }
    return 0;
}

} // namespace

QStringList trendRangeItems(int language) {
    QStringList items;
    for (const Texts3& t : kRanges) items << pickText(t, language);
    return items;
}

QString trendPageText(const char* key, int language) {
    for (const PageText& t : kTexts)
        if (qstrcmp(t.key, key) == 0) return pickText(t.text, language);
    return QString::fromLatin1(key);
}

QVector<TrendChoiceGroup> trendChoiceGroups(int language) {
    QVector<TrendChoiceGroup> groups;
    int lastGroup = -1;
    for (const TrendChannel& c : trendChannels()) {
        if (int(c.group) != lastGroup) {
            groups.append(TrendChoiceGroup{trendGroupCaption(c.group, language), {}});
            lastGroup = int(c.group);
        }
        groups.last().values.append({QString::fromLatin1(c.key), trendChannelCaption(c, language)});
    }
    return groups;
}

void TrendModel::setChosen(const QStringList& keys) {
    chosen_.clear();
    for (const TrendChannel& c : trendChannels())
        if (keys.contains(QLatin1String(c.key))) chosen_ << QString::fromLatin1(c.key);
}

void TrendModel::setChosenValue(const QString& key, bool on) {
    QStringList keys = chosen_;
    keys.removeAll(key);
    if (on) keys << key;
    setChosen(keys);
}

void TrendModel::setRange(TrendRange range) {
    range_ = range;
    zoomed_ = false;
}

void TrendModel::setCustom(const QDateTime& from, const QDateTime& to) {
    customFrom_ = from;
    customTo_ = to;
    if (range_ == TrendRange::Custom) zoomed_ = false;
}

QPair<qint64, qint64> TrendModel::window(const QDateTime& now) const {
    if (zoomed_) return {zoomFrom_, zoomTo_};
    if (range_ == TrendRange::Custom) {
        qint64 from = customFrom_.isValid() ? customFrom_.toMSecsSinceEpoch() : now.toMSecsSinceEpoch() - 3600 * 1000LL;
        qint64 to = customTo_.isValid() ? customTo_.toMSecsSinceEpoch() : now.toMSecsSinceEpoch();
        if (to < from) std::swap(from, to);
        return {from, std::max(to, from + kMinSpanMs)};
    }
    const qint64 end = now.toMSecsSinceEpoch();
    return {end - rangeSpanMs(range_, now), end};
}

void TrendModel::setWindow(qint64 from, qint64 to, const QDateTime& now) {
    if (to - from < kMinSpanMs) {
        const qint64 mid = from + (to - from) / 2;
        from = mid - kMinSpanMs / 2;
        to = from + kMinSpanMs;
    }
    // Never past now: the window slides back, keeping its width.
    const qint64 end = now.toMSecsSinceEpoch();
    if (to > end) {
        from -= to - end;
        to = end;
    }
    zoomFrom_ = from;
    zoomTo_ = to;
    zoomed_ = true;
}

void TrendModel::zoom(double factor, qint64 centerMs, const QDateTime& now) {
    const auto [from, to] = window(now);
    if (!(factor > 0)) return;
    centerMs = std::clamp(centerMs, from, to);
    setWindow(centerMs - qint64(double(centerMs - from) * factor), centerMs + qint64(double(to - centerMs) * factor), now);
}

void TrendModel::pan(double widths, const QDateTime& now) {
    const auto [from, to] = window(now);
    const qint64 shift = qint64(double(to - from) * widths);
    setWindow(from + shift, to + shift, now);
}

void TrendModel::zoomTo(qint64 fromMs, qint64 toMs, const QDateTime& now) {
    if (toMs < fromMs) std::swap(fromMs, toMs);
    setWindow(fromMs, toMs, now);
}

TrendQuery TrendModel::query(const QString& ups, const QDateTime& now) const {
    const auto [from, to] = window(now);
    TrendQuery q;
    q.ups = ups;
    q.keys = chosen_;
    q.from = QDateTime::fromMSecsSinceEpoch(from, Qt::UTC);
    q.until = QDateTime::fromMSecsSinceEpoch(to, Qt::UTC);
    return q;
}

namespace {

// Per pixel column the first, lowest, highest and last point, in their time order.
QVector<QPointF> keepColumnExtremes(const QVector<QPointF>& points, QPair<qint64, qint64> window, int columns) {
    const double from = double(window.first);
    const double width = double(window.second - window.first) / columns;
    const auto columnOf = [&](double x) { return std::clamp(int((x - from) / width), 0, columns - 1); };
    QVector<QPointF> kept;
    for (qsizetype i = 0; i < points.size();) {
        const int column = columnOf(points[i].x());
        qsizetype end = i, low = i, high = i;
        while (end < points.size() && columnOf(points[end].x()) == column) {
            if (points[end].y() < points[low].y()) low = end;
            if (points[end].y() > points[high].y()) high = end;
            ++end;
        }
        qsizetype picks[] = {i, low, high, end - 1};
        std::sort(std::begin(picks), std::end(picks));
        for (int k = 0; k < 4; ++k)
            if (k == 0 || picks[k] != picks[k - 1]) kept.append(points[picks[k]]);
        i = end;
    }
    return kept;
}

} // namespace

QVector<TrendLine> trendLines(const TrendResult& result, QPair<qint64, qint64> window, int columns) {
    QVector<TrendLine> lines;
    for (int s = 0; s < result.series.size(); ++s) {
        for (const TrendPoint& p : result.series[s].points) {
            if (lines.isEmpty() || lines.last().series != s || p.gapBefore) lines.append(TrendLine{s, {}});
            lines.last().points.append(QPointF(double(p.ms), double(p.mean)));
        }
    }
    if (columns > 0 && window.second > window.first)
        for (TrendLine& line : lines)
            if (line.points.size() > 4 * columns) line.points = keepColumnExtremes(line.points, window, columns);
    return lines;
}

QPair<double, double> trendValueScale(const TrendResult& result) {
    double lo = INFINITY, hi = -INFINITY;
    for (const TrendSeries& s : result.series)
        for (const TrendPoint& p : s.points) {
            lo = std::min(lo, double(p.mean));
            hi = std::max(hi, double(p.mean));
        }
    if (lo > hi) return {0, 1};
    const double margin = hi > lo ? (hi - lo) * 0.05 : std::max(1.0, std::abs(hi) * 0.05);
    return {lo - margin, hi + margin};
}

QString trendStatus(const TrendResult& result, int language) {
    if (!result.error.isEmpty()) return result.error;
    if (result.series.isEmpty()) return trendPageText("noValues", language);
    qsizetype points = 0;
    for (const TrendSeries& s : result.series) points += s.points.size();
    const QByteArray level = "level." + trendLevelName(result.level).toLatin1();
    return trendPageText("shown", language).arg(points).arg(trendPageText(level.constData(), language));
}

QString exportTrendCsv(const TrendResult& result, const QString& path) {
    if (!result.error.isEmpty()) return result.error;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return f.errorString();
    f.write(trendCsv(result, true));
    if (!f.commit()) return f.errorString();
    return {};
}

} // namespace zav
