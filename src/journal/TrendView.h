#pragma once
// What the trends page shows, decided without a widget: which values are chosen, the time window
// (a range back from now or a custom one, then zoomed and panned), the query that window stands
// for, the line segments to draw (a gap in the data breaks the line), the vertical scale, the
// page's texts in the three languages and the CSV export of what is shown.

#include "journal/TrendStore.h"
#include "monitor/TrendValues.h"

#include <QPointF>
#include <QStringList>
#include <QVector>

namespace zav {

enum class TrendRange : int { Hour, Day, Week, Month, Custom };
inline constexpr int kTrendRangeCount = 5;
QStringList trendRangeItems(int language); // the range box, in TrendRange's order

// The page's captions by key: "title", "values", "range", "from", "to", "refresh", "exportCsv",
// "exportPng", "resetZoom", "earlier", "later", "exported", "exportFailed", "noTrends", "noValues",
// "shown", "level.cycle", "level.minute", "level.ten-minutes".
QString trendPageText(const char* key, int language);

// The value list: each group's caption with its channels (key and caption), every phase.
struct TrendChoiceGroup {
    QString caption;
    QVector<QPair<QString, QString>> values; // key, caption
};
QVector<TrendChoiceGroup> trendChoiceGroups(int language);

// One drawn line of a value: the points between two gaps (x: ms since the epoch, y: the mean).
struct TrendLine {
    int series = 0; // index in the result's series
    QVector<QPointF> points;
};

class TrendModel {
  public:
    static constexpr qint64 kMinSpanMs = 60 * 1000; // zooming in stops at one minute

    // The values chosen (channel keys), in trendChannels() order whatever order they were given in.
    void setChosen(const QStringList& keys);
    const QStringList& chosen() const { return chosen_; }
    void setChosenValue(const QString& key, bool on);

    // The range resets the zoom; a custom range uses from/to.
    void setRange(TrendRange range);
    TrendRange range() const { return range_; }
    void setCustom(const QDateTime& from, const QDateTime& to);

    // The window shown at `now`: the range's, or the zoomed one.
    QPair<qint64, qint64> window(const QDateTime& now) const;
    bool zoomed() const { return zoomed_; }
    // Zooms by `factor` (< 1 in, > 1 out) around `centerMs`; pans by a share of the window's width
    // (-1 a whole width back); zoomTo() takes a rubber band's span. The window keeps at least
    // kMinSpanMs and never goes past now.
    void zoom(double factor, qint64 centerMs, const QDateTime& now);
    void pan(double widths, const QDateTime& now);
    void zoomTo(qint64 fromMs, qint64 toMs, const QDateTime& now);
    void resetZoom() { zoomed_ = false; }

    TrendQuery query(const QString& ups, const QDateTime& now) const;

  private:
    void setWindow(qint64 from, qint64 to, const QDateTime& now);
    QStringList chosen_{QStringLiteral("output.load.a")};
    TrendRange range_ = TrendRange::Day;
    QDateTime customFrom_, customTo_;
    bool zoomed_ = false;
    qint64 zoomFrom_ = 0, zoomTo_ = 0;
};

// The lines to draw: every series split at its gaps (a line of one point is drawn as a point).
// With `columns` > 0, a line denser than the chart's pixel columns across `window` keeps in each
// column only its first, lowest, highest and last point: drawn, it looks as the whole line would,
// with a few points a column instead of thousands (a month of minutes is 43,200 a value).
QVector<TrendLine> trendLines(const TrendResult& result, QPair<qint64, qint64> window = {}, int columns = 0);
// The vertical scale for the shown values: their lowest minimum and highest maximum with a margin
// (a flat line gets a span of its own); {0, 1} when nothing is shown.
QPair<double, double> trendValueScale(const TrendResult& result);
// The status line: the level shown and the number of points, or why there is nothing.
QString trendStatus(const TrendResult& result, int language);

// Writes the result as UTF-8 CSV with a byte-order mark; the file appears whole or not at all.
// Empty on success, else why not.
QString exportTrendCsv(const TrendResult& result, const QString& path);

} // namespace zav
