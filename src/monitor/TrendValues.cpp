#include "monitor/TrendValues.h"

#include "foundation/LanguageText.h"
#include "monitor/UpsSummary.h"

#include <cmath>
#include <limits>

namespace zav {

namespace {

constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

enum class Read { Tenths, Hundredths, SignedTenths, Runtime, Temperature };

// Where a channel's value is: its register (phase A; B and C follow), how the word reads, and for a
// temperature the "not available" bit of status register 116.
struct Source {
    int reg;
    Read read;
    int unavailableBit = -1;
};

struct Entry {
    TrendChannel channel;
    Source source;
};

#define PHASES(prefix, group, grid, row, reg, read)                                            \
    {{prefix ".a", group, grid, row, 0}, {reg, read}}, {{prefix ".b", group, grid, row, 1}, {reg, read}}, \
        {{prefix ".c", group, grid, row, 2}, {reg, read}}

// Rows as the measurement grids number them: bypass and main 0 volt, 1 current, 2 frequency;
// output adds 7 load; battery 0 volt, 1 current, 2 capacity, 3 runtime, 4 battery and 5 ambient
// temperature.
const Entry kEntries[] = {
    PHASES("input.voltage", TrendGroup::Input, MeasureGrid::Main, 0, 13, Read::Tenths),
    PHASES("input.current", TrendGroup::Input, MeasureGrid::Main, 1, 16, Read::Tenths),
    PHASES("input.frequency", TrendGroup::Input, MeasureGrid::Main, 2, 19, Read::Hundredths),
    PHASES("bypass.voltage", TrendGroup::Bypass, MeasureGrid::Bypass, 0, 1, Read::Tenths),
    PHASES("bypass.current", TrendGroup::Bypass, MeasureGrid::Bypass, 1, 4, Read::Tenths),
    PHASES("bypass.frequency", TrendGroup::Bypass, MeasureGrid::Bypass, 2, 7, Read::Hundredths),
    PHASES("output.voltage", TrendGroup::Output, MeasureGrid::Output, 0, 25, Read::Tenths),
    PHASES("output.current", TrendGroup::Output, MeasureGrid::Output, 1, 28, Read::Tenths),
    PHASES("output.frequency", TrendGroup::Output, MeasureGrid::Output, 2, 31, Read::Hundredths),
    PHASES("output.load", TrendGroup::Output, MeasureGrid::Output, 7, 46, Read::Tenths),
    {{"battery.voltage.pos", TrendGroup::Battery, MeasureGrid::Battery, 0, 0}, {50, Read::Tenths}},
    {{"battery.voltage.neg", TrendGroup::Battery, MeasureGrid::Battery, 0, 1}, {51, Read::Tenths}},
    {{"battery.current.pos", TrendGroup::Battery, MeasureGrid::Battery, 1, 0}, {52, Read::SignedTenths}},
    {{"battery.current.neg", TrendGroup::Battery, MeasureGrid::Battery, 1, 1}, {53, Read::SignedTenths}},
    {{"battery.charge", TrendGroup::Battery, MeasureGrid::Battery, 2, -1}, {56, Read::Tenths}},
    {{"battery.runtime", TrendGroup::Battery, MeasureGrid::Battery, 3, -1}, {55, Read::Runtime}},
    {{"temperature.battery", TrendGroup::Temperature, MeasureGrid::Battery, 4, -1}, {54, Read::Temperature, 0}},
    {{"temperature.ambient", TrendGroup::Temperature, MeasureGrid::Battery, 5, -1}, {49, Read::Temperature, 1}},
};
#undef PHASES

const Texts3 kGroupTexts[] = {
    {"输入", "Input", "輸入"},
    {"旁路", "Bypass", "旁路"},
    {"输出", "Output", "輸出"},
    {"电池", "Battery", "電池"},
    {"温度", "Temperature", "溫度"},
};

float unsignedScaled(uint16_t word, float scale) { return word >= 0x8000 ? kNone : float(word) / scale; }

// Whether the layout shows this phase or string at all.
bool shown(const TrendChannel& c, const MeasureLayout& layout) {
    if (c.phase <= 0) return true;
    return threePhaseLayout(c.grid, layout);
}

float readValue(const Entry& e, const LiveStores& live) {
    const int reg = e.source.reg + (e.channel.group == TrendGroup::Battery ? 0 : std::max(e.channel.phase, 0));
    const uint16_t word = live.LiveData[reg];
    switch (e.source.read) {
    case Read::Tenths: return unsignedScaled(word, 10);
    case Read::Hundredths: return unsignedScaled(word, 100);
    case Read::SignedTenths: return float(int16_t(word)) / 10;
    case Read::Runtime: {
        const auto minutes = runtimeMinutesLeft(live);
        return minutes ? float(*minutes) : kNone;
    }
    case Read::Temperature:
        return live.LiveStatus[116] & (1u << e.source.unavailableBit) ? kNone : unsignedScaled(word, 10);
    }
    return kNone;
}

} // namespace

const QVector<TrendChannel>& trendChannels() {
    static const QVector<TrendChannel> channels = [] {
        QVector<TrendChannel> out;
        for (const Entry& e : kEntries) out << e.channel;
        return out;
    }();
    return channels;
}

int trendChannelIndex(const QString& key) {
    const QVector<TrendChannel>& all = trendChannels();
    for (int i = 0; i < all.size(); ++i)
        if (key == QLatin1String(all[i].key)) return i;
    return -1;
}

QString trendGroupCaption(TrendGroup group, int language) { return pickText(kGroupTexts[int(group)], language); }

QString trendChannelCaption(const TrendChannel& c, int language) {
    QString text = trendGroupCaption(c.group, language);
    if (c.group != TrendGroup::Temperature) text += u' ' + measureRowLabel(c.grid, c.row, language);
    else text = measureRowLabel(c.grid, c.row, language);
    if (c.phase >= 0)
        text += u' ' + (c.grid == MeasureGrid::Battery ? QStringList{"POS", "NEG"}[c.phase]
                                                       : QStringList{"A", "B", "C"}[c.phase]);
    return text;
}

QVector<float> trendSample(const LiveStores& live, const MeasureLayout& layout) {
    QVector<float> values;
    values.reserve(std::size(kEntries));
    for (const Entry& e : kEntries) values << (shown(e.channel, layout) ? readValue(e, live) : kNone);
    return values;
}

} // namespace zav
