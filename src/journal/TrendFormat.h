#pragma once
// The trends as text: UTF-8 CSV (the trends page's export and `zavctl trends --format csv`) and JSON.
// Times as the journal writes them (local time with its offset, to the millisecond).

#include "journal/TrendStore.h"

#include <QByteArray>

namespace zav {

// "cycle", "minute", "ten-minutes".
QString trendLevelName(TrendLevel level);

// Header "time,value,mean,min,max,gap", one line per point of each series in turn, CR LF after
// every line; gap is 1 on a point with no data between it and the point before, else 0. A value
// of a single cycle has mean = min = max.
QByteArray trendCsv(const TrendResult& result, bool byteOrderMark);
// {"ups", "level", "series": [{"value", "points": [{"time", "mean", "min", "max", "gap"}]}]}
QByteArray trendJson(const QString& ups, const TrendResult& result);

} // namespace zav
