#pragma once
// The trends: each live cycle's values (monitor/TrendValues) kept in an SQLite database of their
// own, thinned with age. Three levels: every cycle for a day, one-minute buckets (mean, minimum,
// maximum) for a month, ten-minute buckets after that, up to the age and size limits.
//
// Writing is batched as the event journal's: add() queues and a timer commits within a second, so
// a killed process loses at most the last second. Thinning makes the buckets of the complete
// minutes and ten minutes not yet made, then deletes what they replaced, in one transaction: a
// process killed half-way leaves the file as before, and running it again changes nothing. A bucket
// is made only where there was data, so a time without data stays a gap at every level.
//
// A database that cannot be opened leaves the store closed with an error text (add() does
// nothing); a write that fails later closes it the same way and says so once through failed().

#include "journal/SqliteFile.h"

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QSqlQuery>
#include <QStringList>
#include <QTimer>
#include <QVector>
#include <functional>

namespace zav {

struct TrendRetention {
    int maxAgeDays = 365;
    int maxSizeMb = 200; // pages in use
};

enum class TrendLevel : int { Cycle = 0, Minute = 1, TenMinutes = 2 };
inline constexpr int kTrendLevels = 3;

// One point of a series: a cycle's value (mean = min = max) or a bucket's, at the bucket's start.
struct TrendPoint {
    qint64 ms = 0;
    float mean = 0, min = 0, max = 0;
    bool gapBefore = false; // no data between the previous point and this one: the line breaks
    bool operator==(const TrendPoint&) const = default;
};

struct TrendSeries {
    QString key;
    QVector<TrendPoint> points;
};

struct TrendQuery {
    QString ups;
    QStringList keys; // channel keys; empty: all
    QDateTime from, until;
};

struct TrendResult {
    TrendLevel level = TrendLevel::Cycle; // the finest level that covers the range
    QVector<TrendSeries> series;          // in the order of the keys asked
    QString error;                        // the query failed (empty otherwise)
};

class TrendStore : public QObject {
    Q_OBJECT
  public:
    explicit TrendStore(QObject* parent = nullptr);
    ~TrendStore() override;

    static constexpr int kCommitMs = 1000;
    static constexpr int kCommitsPerThinning = 60; // about once a minute of steady writing
    static constexpr qint64 kCycleKeepMs = 24 * 3600 * 1000LL;
    static constexpr qint64 kMinuteKeepMs = 30 * 24 * 3600 * 1000LL;
    // Two cycle values further apart than this have a gap between them (a few cycles lost).
    static constexpr qint64 kCycleGapMs = 10000;
    static qint64 bucketMs(TrendLevel level); // 0 for cycles

    bool open(const QString& path, bool readOnly = false); // thins at once when writing
    void close();
    bool isOpen() const { return file_.isOpen(); }
    QString error() const { return error_; }
    QString path() const { return file_.path(); }
    SqliteFile& file() { return file_; }

    void setRetention(const TrendRetention& r) { retention_ = r; }
    // The time thinning measures age against; default the wall clock. Tests and benches give their own.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    // Called between the steps of thinning ("rolled", "deleted") inside its transaction: tests stop
    // the process there.
    void setStepHook(std::function<void(const char* step)> hook) { stepHook_ = std::move(hook); }

    // One cycle's values in trendChannels() order (NaN: none).
    void add(const QString& ups, const QDateTime& time, const QVector<float>& values);
    bool flush(); // false when closed or the write failed
    int pending() const { return int(queue_.size()); }
    bool thin();  // false when closed or a write failed

    TrendResult query(const TrendQuery& q) const;
    QStringList upses() const; // the UPS names with data
    qint64 rows(TrendLevel level) const;

  signals:
    void written();
    void failed(const QString& why);

  private:
    struct Queued {
        QString ups;
        qint64 ms;
        QVector<float> values;
    };
    QDateTime now() const { return clock_ ? clock_() : QDateTime::currentDateTimeUtc(); }
    bool loadSlots(bool readOnly);
    bool rollUp(const QString& ups, TrendLevel level, qint64 nowMs);
    bool pruneSize();
    bool breakDown(const QString& why);
    bool noteFailure(const QSqlQuery& q); // keeps the text for breakDown(); false

    QString stepError_;
    SqliteFile file_;
    QString error_;
    TrendRetention retention_;
    std::function<QDateTime()> clock_;
    std::function<void(const char*)> stepHook_;
    QVector<int> slots_; // the database column of each channel of trendChannels()
    int slotCount_ = 0;
    QVector<Queued> queue_;
    QSet<QString> known_; // the UPS names thinning visits
    QTimer commit_;
    int commitsSinceThinning_ = 0;
};

// Where the trends live: beside the event journal's file, journal.sqlite -> journal-trends.sqlite
// (empty: no trends).
QString trendDatabasePath(const QString& journalPath);

} // namespace zav
