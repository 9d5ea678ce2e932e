#pragma once
// The values kept as trends: each live cycle's measurements as numbers, one per channel (a value of
// one phase or one battery string). The same registers and scales as the measurement grids; a value
// the layout does not show, or a word the UPS reports as no reading (top bit set), is NaN, so a
// single-phase UPS keeps no phantom B and C phases.

#include "monitor/LiveStores.h"
#include "monitor/MeasureViews.h"

#include <QString>
#include <QVector>

namespace zav {

enum class TrendGroup { Input, Bypass, Output, Battery, Temperature };

struct TrendChannel {
    const char* key; // stable name in the database and on the command line, e.g. "output.voltage.a"
    TrendGroup group;
    MeasureGrid grid; // the grid whose row label names the quantity
    int row;          // that row (0-based, as measureRowLabel counts)
    int phase;        // 0..2 (A, B, C) or 0/1 (positive, negative string); -1: one value
};

// Every channel, grouped: input, bypass, output, battery, temperature.
const QVector<TrendChannel>& trendChannels();
int trendChannelIndex(const QString& key); // -1 when unknown

// The channel's name on screen, e.g. "Output Volt(V) A".
QString trendChannelCaption(const TrendChannel& channel, int language);
QString trendGroupCaption(TrendGroup group, int language);

// One cycle's values in trendChannels() order; NaN where there is no reading.
QVector<float> trendSample(const LiveStores& live, const MeasureLayout& layout);

} // namespace zav
