#include "monitor/TrendValues.h"

#include <QSet>
#include <gtest/gtest.h>
#include <cmath>

namespace zav {
namespace {

// Every measurement register n holds 1000 + n; a battery is connected, both temperatures read.
LiveStores numberedStores() {
    LiveStores live;
    for (int reg = 1; reg <= 80; ++reg) live.LiveData.set(reg, uint16_t(1000 + reg));
    live.LiveStatus.set(83, 1);
    return live;
}

float valueOf(const QVector<float>& sample, const char* key) { return sample[trendChannelIndex(key)]; }

// Each value is the number its measurement grid shows in the same row and phase, for every model
// and system-code layout; a phase or string the grid leaves out has no value.
TEST(TrendValuesTest, EveryChannelReadsWhatItsGridShows) {
    const LiveStores live = numberedStores();
    for (int model = 0; model <= 8; ++model) {
        for (int codes = 0; codes < 4; ++codes) {
            const MeasureLayout layout{model, (codes & 2) != 0, (codes & 1) != 0};
            const QVector<float> sample = trendSample(live, layout);
            ASSERT_EQ(sample.size(), trendChannels().size());
            for (int i = 0; i < sample.size(); ++i) {
                const TrendChannel& c = trendChannels()[i];
                const bool three = threePhaseLayout(c.grid, layout);
                const TextGrid grid = measureGridTexts(c.grid, live, layout, 1);
                const QString shown = grid.at(1 + std::max(c.phase, 0), (three ? 1 : 0) + c.row);
                const std::string where = std::string(c.key) + " model " + std::to_string(model) + " codes " + std::to_string(codes);
                if (shown.isEmpty()) {
                    EXPECT_TRUE(std::isnan(sample[i])) << where;
                } else {
                    bool ok = false;
                    const double number = shown.toDouble(&ok);
                    ASSERT_TRUE(ok) << where << " shows " << shown.toStdString();
                    EXPECT_NEAR(sample[i], number, 1e-3) << where;
                }
            }
        }
    }
}

TEST(TrendValuesTest, WordsWithoutReadingHaveNoValue) {
    const MeasureLayout three{1, false, false};
    struct Case {
        const char* what;
        std::function<void(LiveStores&)> change;
        const char* key;
        float expected; // NaN: no value
    };
    const float none = std::nanf("");
    const Case cases[] = {
        {"a voltage word with its top bit set", [](LiveStores& l) { l.LiveData.set(26, 0x8000); }, "output.voltage.b", none},
        {"a load of -1", [](LiveStores& l) { l.LiveData.set(46, 0xFFFF); }, "output.load.a", none},
        {"a discharging battery current", [](LiveStores& l) { l.LiveData.set(52, uint16_t(-123)); }, "battery.current.pos", -12.3f},
        {"runtime with no battery connected", [](LiveStores& l) { l.LiveStatus.set(83, 0); }, "battery.runtime", none},
        {"battery temperature not available", [](LiveStores& l) { l.LiveStatus.set(116, 1); }, "temperature.battery", none},
        {"ambient temperature not available", [](LiveStores& l) { l.LiveStatus.set(116, 2); }, "temperature.ambient", none},
        {"battery temperature when only the ambient is missing", [](LiveStores& l) { l.LiveStatus.set(116, 2); }, "temperature.battery", 105.4f},
    };
    for (const Case& c : cases) {
        LiveStores live = numberedStores();
        c.change(live);
        const float v = valueOf(trendSample(live, three), c.key);
        if (std::isnan(c.expected)) EXPECT_TRUE(std::isnan(v)) << c.what << ": " << v;
        else EXPECT_NEAR(v, c.expected, 1e-4) << c.what;
    }
}

TEST(TrendValuesTest, KeysAreUniqueAndCaptionsNameGroupQuantityAndPhase) {
    QSet<QString> keys;
    for (const TrendChannel& c : trendChannels()) keys.insert(QString::fromLatin1(c.key));
    EXPECT_EQ(keys.size(), trendChannels().size());
    EXPECT_EQ(trendChannelIndex("no.such.value"), -1);
    const auto caption = [](const char* key, int language) {
        return trendChannelCaption(trendChannels()[trendChannelIndex(key)], language).toStdString();
    };
    EXPECT_EQ(caption("output.voltage.b", 1), "Output Volt(V) B");
    EXPECT_EQ(caption("battery.current.neg", 1), "Battery Current(A) NEG");
    EXPECT_EQ(caption("temperature.ambient", 1), "EnvTemp.(oC)");
    EXPECT_EQ(caption("input.frequency.c", 0), "输入 频率Hz C");
}

} // namespace
} // namespace zav
