// The alarm evaluation of TimerBeeper, the beeper's queue and sound thread, and the WAV sink that
// stands in for a sound device.

#include "monitor/Beeper.h"
#include "monitor/BeeperEvents.h"
#include "monitor/WavToneSink.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>

using namespace zav;

namespace {

// The stores as ResetLinkState leaves them: register 83 and its remembered word are 1.
struct AlarmFixture : ::testing::Test {
    LiveStores live;
    AlarmChoices choices;
    int model = 1;
    int language = 1;

    void SetUp() override {
        live.LiveStatus.set(83, 1);
        live.PreviousStatus.set(83, 1);
    }
    AlarmTick tick(bool linkOk = true) { return evaluateAlarms(live, linkOk, choices, model, language); }
    void set(int reg, uint16_t v) { live.LiveStatus.set(reg, v); }
    static QStringList texts(const AlarmTick& t) {
        QStringList out;
        for (const AlarmWarning& w : t.warnings)
            out << w.text;
        return out;
    }
};

const ToneCommand kContinuous{400, 1000};
const ToneCommand kChirp{400, 100};
const ToneCommand kRest{1, 1000};

TEST_F(AlarmFixture, QuietWhenNothingIsPresent) {
    const AlarmTick t = tick();
    EXPECT_EQ(t.flags, 0);
    EXPECT_TRUE(t.warnings.isEmpty());
    EXPECT_EQ(t.sound, kRest); // a one-second rest: nothing is heard
}

TEST_F(AlarmFixture, SeriousEventGivesOneBoxAndAContinuousTone) {
    set(84, 1); // Maint CB Closed
    AlarmTick t = tick();
    EXPECT_EQ(texts(t), QStringList{"Maint CB Closed"});
    EXPECT_EQ(t.sound, kContinuous);
    for (int i = 0; i < 3; ++i) { // still present: the tone goes on, no second box
        t = tick();
        EXPECT_TRUE(t.warnings.isEmpty());
        EXPECT_EQ(t.sound, kContinuous);
    }
    set(84, 0);
    EXPECT_EQ(tick().sound, kRest);
}

TEST_F(AlarmFixture, UntickingSilencesOnTheNextTick) {
    set(84, 1);
    EXPECT_EQ(tick().sound, kContinuous);
    choices.ticked[1] = false;
    const AlarmTick t = tick();
    EXPECT_EQ(t.flags, 0);
    EXPECT_EQ(t.sound, kRest);
}

// Unticked events are skipped entirely, their remembered word too: ticking the box later raises
// the box of an event that is still present.
TEST_F(AlarmFixture, UntickedEventKeepsItsRememberedWord) {
    choices.ticked[16] = false;
    set(107, 1);
    EXPECT_TRUE(tick().warnings.isEmpty());
    EXPECT_EQ(live.PreviousStatus[107], 0);
    choices.ticked[16] = true;
    EXPECT_EQ(texts(tick()), QStringList{"Batt Volt Low"});
}

TEST_F(AlarmFixture, MinorEventAloneChirps) {
    set(107, 1); // Batt Volt Low
    EXPECT_EQ(tick().sound, kChirp);
    EXPECT_EQ(tick().sound, kChirp);
    set(84, 1); // a serious event joins: the tone is continuous
    EXPECT_EQ(tick().sound, kContinuous);
}

TEST_F(AlarmFixture, BatteryNotConnectedIsRegister83GoingToZero) {
    set(83, 0);
    AlarmTick t = tick();
    EXPECT_EQ(texts(t), QStringList{"Batt Not Connected"});
    EXPECT_EQ(t.flags, AlarmMinor);
    t = tick();
    EXPECT_TRUE(t.warnings.isEmpty());
    EXPECT_EQ(t.sound, kChirp); // stays a minor alarm while 0
    set(83, 1);
    EXPECT_EQ(tick().flags, 0);
}

TEST_F(AlarmFixture, LinkLossEvaluatesNothingAndQueuesNothing) {
    set(84, 1);
    const AlarmTick t = tick(false);
    EXPECT_EQ(t.flags, 0);
    EXPECT_TRUE(t.warnings.isEmpty());
    EXPECT_FALSE(t.sound.has_value());
    EXPECT_EQ(live.PreviousStatus[84], 0); // the box comes once the link is back
    EXPECT_EQ(texts(tick()), QStringList{"Maint CB Closed"});
}

TEST_F(AlarmFixture, BeeperOffStillShowsTheBoxes) {
    choices.beeperOn = false;
    set(85, 1);
    const AlarmTick t = tick();
    EXPECT_EQ(texts(t), QStringList{"EPO"});
    EXPECT_FALSE(t.sound.has_value());
}

// Clearing the stores (link loss, disconnect, language change) forgets the remembered words: an
// event still present raises its box again after the next status block.
TEST_F(AlarmFixture, ClearedStoresRaiseBoxesAgain) {
    set(96, 1);
    EXPECT_EQ(tick().warnings.size(), 1);
    live.clear();
    live.LiveStatus.set(83, 1);
    live.PreviousStatus.set(83, 1);
    set(96, 1);
    EXPECT_EQ(texts(tick()), QStringList{"Output Shorted"});
}

// The unit label of events 22 to 30 by model and language: before the text on models 0 and 1,
// after it on model 2, left out otherwise.
TEST_F(AlarmFixture, UnitLabelOrderPerModel) {
    const struct {
        int model, language;
        const char* text;
    } rows[] = {
        {0, 0, "3#整流器故障"}, {1, 0, "3#整流器故障"}, {2, 0, "整流器故障3#"},
        {3, 0, "整流器故障"},   {6, 0, "整流器故障"},   {0, 1, "3#REC Fail"},
        {2, 1, "REC Fail3#"},   {8, 1, "REC Fail"},     {2, 2, "整流器故障3#"},
    };
    for (const auto& row : rows) {
        live.PreviousStatus.clear();
        live.PreviousStatus.set(83, 1);
        model = row.model;
        language = row.language;
        set(146, 1); // rectifier failure of unit 3: 122 + 12 * 2
        const AlarmTick t = tick();
        ASSERT_EQ(t.warnings.size(), 1) << row.model;
        EXPECT_EQ(t.warnings[0].text, QString::fromUtf8(row.text)) << row.model << "/" << row.language;
        EXPECT_EQ(t.warnings[0].event, 22);
        EXPECT_EQ(t.warnings[0].unit, 3);
        EXPECT_EQ(t.sound, kContinuous);
    }
}

TEST_F(AlarmFixture, EveryEventOfEveryUnitInTableOrder) {
    // All 22 cabinet events and 9 x 10 unit events at once: 112 boxes, cabinet events first, then
    // unit 1's events 22 to 30, unit 2's, ...
    for (int reg = 84; reg <= 240; ++reg)
        set(reg, 1);
    set(83, 0);
    const AlarmTick t = tick();
    ASSERT_EQ(t.warnings.size(), 22 + 9 * 10);
    EXPECT_EQ(t.flags, AlarmMinor | AlarmSerious);
    for (int i = 0; i < 22; ++i)
        EXPECT_EQ(t.warnings[i].event, i);
    EXPECT_EQ(t.warnings[22].unit, 1);
    EXPECT_EQ(t.warnings.back().event, 30);
    EXPECT_EQ(t.warnings.back().unit, 10);
    EXPECT_EQ(alarmRegister(30, 10), 238);
    EXPECT_EQ(alarmRegister(5, 7), 89);
    EXPECT_TRUE(tick().warnings.isEmpty());
}

TEST(AlarmTexts, ExactTexts) {
    EXPECT_EQ(alarmWarningText(10, 0, 1, 0), QStringLiteral("旁路频率超跟踪 ")); // trailing blank kept
    EXPECT_EQ(alarmWarningText(11, 0, 1, 2), QStringLiteral("本小時切換次數限制"));
    EXPECT_EQ(alarmWarningText(7, 0, 0, 1), QStringLiteral("Byp Module Fail"));
    EXPECT_EQ(alarmWarningText(27, 10, 0, 1), QStringLiteral("10#INV Ov LoadTout"));
    EXPECT_EQ(alarmWarningText(0, 0, 1, 7),
              QStringLiteral("Batt Not Connected")); // unknown language: English
    int serious = 0;
    for (const BeeperEvent& e : beeperEvents())
        serious += e.alarmClass == AlarmSerious;
    EXPECT_EQ(serious, 20); // events 1, 2, 9, 12-15, 17-19, 21 and the nine unit events
}

// ---- the beeper ----

// Records what the sound thread plays; each call may be held until the test lets it go.
struct RecordingTones : ToneGenerator {
    std::mutex mutex;
    std::vector<ToneCommand> played;
    void tone(int f, int ms) override {
        std::lock_guard lock(mutex);
        played.push_back({uint16_t(f), ms});
    }
    void rest(int ms) override {
        std::lock_guard lock(mutex);
        played.push_back({kRestFrequency, ms});
    }
};

TEST(Beeper, PlaysItsOperationsInOrderOnTheSoundThread) {
    auto generator = std::make_unique<RecordingTones>();
    RecordingTones* tones = generator.get();
    {
        Beeper beeper(std::move(generator));
        beeper.tone(400);
        beeper.tone(800, 50);
        beeper.rest();
        beeper.setBeatDuration(Beeper::bd_500);
        beeper.rest(20);
        beeper.tone(440);
        ASSERT_TRUE(beeper.waitIdle(5000));
        std::lock_guard lock(tones->mutex);
        const std::vector<ToneCommand> expected = {{400, 1000}, {800, 50}, {1, 1000}, {1, 20}, {440, 500}};
        EXPECT_EQ(tones->played, expected);
    }
}

TEST(ToneQueue, DropsTheOldestWhenFull) {
    ToneQueue queue(3);
    for (int i = 1; i <= 5; ++i)
        queue.push({uint16_t(100 * i), 10});
    EXPECT_EQ(queue.size(), 3u);
    ToneCommand c;
    ASSERT_TRUE(queue.take(c));
    EXPECT_EQ(c.frequency, 300); // 100 and 200 were dropped
    queue.stop();
    EXPECT_FALSE(queue.take(c));
    queue.push({400, 10}); // ignored once stopped
    EXPECT_EQ(queue.size(), 0u);
}

// A WAV file as samples.
struct Wav {
    int sampleRate = 0, channels = 0, bits = 0;
    std::vector<int16_t> samples;
};
std::optional<Wav> readWav(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray b = f.readAll();
    if (b.size() < 44 || !b.startsWith("RIFF") || b.mid(8, 8) != "WAVEfmt " || b.mid(36, 4) != "data")
        return std::nullopt;
    Wav w;
    w.channels = qFromLittleEndian<quint16>(b.constData() + 22);
    w.sampleRate = int(qFromLittleEndian<quint32>(b.constData() + 24));
    w.bits = qFromLittleEndian<quint16>(b.constData() + 34);
    const quint32 bytes = qFromLittleEndian<quint32>(b.constData() + 40);
    if (qFromLittleEndian<quint32>(b.constData() + 4) != 36 + bytes || b.size() != 44 + qsizetype(bytes))
        return std::nullopt;
    for (quint32 i = 0; i < bytes / 2; ++i)
        w.samples.push_back(qFromLittleEndian<qint16>(b.constData() + 44 + 2 * i));
    return w;
}

// The continuous alarm tone reaches the WAV sink as 400 Hz for the beat, the chirp as 100 ms, and
// the rests as silence between them.
TEST(WavToneSink, ReceivesA400HzToneOfTheRightLength) {
    QTemporaryDir dir;
    const QString path = dir.filePath("beeper.wav");
    {
        Beeper beeper(std::make_unique<WavToneSink>(path));
        beeper.play(kContinuous);
        beeper.play(kRest);
        beeper.play(kChirp);
        ASSERT_TRUE(beeper.waitIdle(5000));
    }
    const std::optional<Wav> wav = readWav(path);
    ASSERT_TRUE(wav.has_value());
    EXPECT_EQ(wav->channels, 1);
    EXPECT_EQ(wav->bits, 16);
    const int rate = wav->sampleRate;
    ASSERT_EQ(wav->samples.size(), size_t(rate * 2.1)); // 1 s + 1 s + 0.1 s

    // Sound spans: runs of samples that are not silent, with gaps of no more than a period.
    struct Span {
        size_t from, to;
    };
    std::vector<Span> spans;
    for (size_t i = 0; i < wav->samples.size(); ++i) {
        if (std::abs(wav->samples[i]) < 100) continue;
        if (!spans.empty() && i - spans.back().to < size_t(rate / 100))
            spans.back().to = i;
        else
            spans.push_back({i, i});
    }
    ASSERT_EQ(spans.size(), 2u);
    const auto ms = [rate](size_t samples) { return 1000.0 * double(samples) / rate; };
    EXPECT_NEAR(ms(spans[0].to - spans[0].from), 1000, 3);
    EXPECT_NEAR(ms(spans[1].from), 2000, 3);
    EXPECT_NEAR(ms(spans[1].to - spans[1].from), 100, 3);

    // Frequency of the long tone from its rising zero crossings.
    int rising = 0;
    for (size_t i = spans[0].from + 1; i <= spans[0].to; ++i)
        rising += wav->samples[i - 1] < 0 && wav->samples[i] >= 0;
    EXPECT_NEAR(rising, 400, 2);
}

} // namespace
