#include "journal/TrendStore.h"

#include "monitor/TrendValues.h"

#include <QFileInfo>
#include <QDir>
#include <QLoggingCategory>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <limits>

namespace zav {

Q_LOGGING_CATEGORY(lcTrends, "zav.trends")

namespace {

constexpr float kNone = std::numeric_limits<float>::quiet_NaN();
constexpr int kPruneBatch = 2000;       // rows deleted per step while over the size limit
constexpr qint64 kShrinkFreePages = 1024; // 4 MiB of 4 KiB pages

// A row's values: little-endian float32, one per column (cycles) or four per column (buckets:
// mean, minimum, maximum, count). Columns are the database's numbering of the channels
// (table trend_channels), so a channel added later gets a new column and old rows stay readable.
QByteArray encode(const QVector<float>& floats) {
    QByteArray out(floats.size() * 4, Qt::Uninitialized);
    for (int i = 0; i < floats.size(); ++i) {
        quint32 bits;
        std::memcpy(&bits, &floats[i], 4);
        qToLittleEndian(bits, out.data() + i * 4);
    }
    return out;
}

float floatAt(const QByteArray& data, int index) {
    if (index < 0 || (index + 1) * 4 > data.size()) return kNone;
    const quint32 bits = qFromLittleEndian<quint32>(data.constData() + index * 4);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

// A bucket being summed up.
struct Bucket {
    QVector<double> sum;
    QVector<float> min, max, count;
    explicit Bucket(int columns) : sum(columns, 0), min(columns, kNone), max(columns, kNone), count(columns, 0) {}
    void addCycle(const QByteArray& data) {
        for (int c = 0; c < sum.size(); ++c) take(c, floatAt(data, c), floatAt(data, c), floatAt(data, c), 1);
    }
    void addBucket(const QByteArray& data) {
        for (int c = 0; c < sum.size(); ++c)
            take(c, floatAt(data, c * 4), floatAt(data, c * 4 + 1), floatAt(data, c * 4 + 2), floatAt(data, c * 4 + 3));
    }
    void take(int c, float mean, float lo, float hi, float n) {
        if (std::isnan(mean) || !(n > 0)) return;
        sum[c] += double(mean) * n;
        count[c] += n;
        min[c] = std::isnan(min[c]) ? lo : std::min(min[c], lo);
        max[c] = std::isnan(max[c]) ? hi : std::max(max[c], hi);
    }
    bool empty() const {
        for (float n : count)
            if (n > 0) return false;
        return true;
    }
    QByteArray encoded() const {
        QVector<float> out;
        out.reserve(sum.size() * 4);
        for (int c = 0; c < sum.size(); ++c) {
            const bool any = count[c] > 0;
            out << (any ? float(sum[c] / count[c]) : kNone) << min[c] << max[c] << count[c];
        }
        return encode(out);
    }
};

qint64 floorTo(qint64 ms, qint64 step) { return ms - ((ms % step) + step) % step; }

} // namespace

qint64 TrendStore::bucketMs(TrendLevel level) {
    switch (level) {
    case TrendLevel::Cycle: return 0;
    case TrendLevel::Minute: return 60 * 1000;
    case TrendLevel::TenMinutes: return 600 * 1000;
    }
    return 0;
}

QString trendDatabasePath(const QString& journalPath) {
    if (journalPath.isEmpty()) return {};
    // Named after the journal's file, so a second journal (the demo's) has trends of its own.
    const QFileInfo journal(journalPath);
    return journal.dir().filePath(journal.completeBaseName() + QStringLiteral("-trends.sqlite"));
}

TrendStore::TrendStore(QObject* parent) : QObject(parent) {
    commit_.setSingleShot(true);
    commit_.setInterval(kCommitMs);
    connect(&commit_, &QTimer::timeout, this, [this] { flush(); });
}

TrendStore::~TrendStore() {
    flush();
    close();
}

bool TrendStore::open(const QString& path, bool readOnly) {
    close();
    error_.clear();
    if (!file_.open(path, readOnly)) {
        error_ = file_.error();
        return false;
    }
    if (!readOnly &&
        !file_.exec({QStringLiteral("CREATE TABLE IF NOT EXISTS trend_channels (col INTEGER PRIMARY KEY, key TEXT UNIQUE NOT NULL)"),
                     QStringLiteral("CREATE TABLE IF NOT EXISTS trend_points (ups TEXT NOT NULL, level INTEGER NOT NULL, "
                                    "time INTEGER NOT NULL, data BLOB NOT NULL, PRIMARY KEY (ups, level, time)) WITHOUT ROWID"),
                     QStringLiteral("CREATE INDEX IF NOT EXISTS trend_points_age ON trend_points(level, time)")})) {
        error_ = file_.error();
        return false;
    }
    if (!loadSlots(readOnly)) {
        file_.close();
        return false;
    }
    if (!readOnly) {
        // The names are read once here (a scan of the whole table); later ones come through add().
        const QStringList names = upses();
        known_ = QSet<QString>(names.begin(), names.end());
        thin();
    }
    return isOpen();
}

bool TrendStore::loadSlots(bool readOnly) {
    const QVector<TrendChannel>& channels = trendChannels();
    slots_.fill(-1, channels.size());
    slotCount_ = 0;
    QSqlQuery q(file_.db());
    if (!q.exec(QStringLiteral("SELECT col, key FROM trend_channels"))) {
        error_ = QStringLiteral("%1: not a trend database: %2").arg(file_.path(), q.lastError().text().trimmed());
        return false;
    }
    while (q.next()) {
        const int col = q.value(0).toInt();
        slotCount_ = std::max(slotCount_, col + 1);
        const int index = trendChannelIndex(q.value(1).toString());
        if (index >= 0) slots_[index] = col;
    }
    q.finish();
    if (readOnly) return true;
    for (int i = 0; i < channels.size(); ++i) {
        if (slots_[i] >= 0) continue;
        q.prepare(QStringLiteral("INSERT INTO trend_channels (col, key) VALUES (?, ?)"));
        q.addBindValue(slotCount_);
        q.addBindValue(QString::fromLatin1(channels[i].key));
        if (!q.exec()) {
            error_ = QStringLiteral("%1: write failed: %2").arg(file_.path(), q.lastError().text().trimmed());
            return false;
        }
        slots_[i] = slotCount_++;
    }
    return true;
}

void TrendStore::close() {
    commit_.stop();
    file_.close();
}

void TrendStore::add(const QString& ups, const QDateTime& time, const QVector<float>& values) {
    if (!isOpen()) return;
    QVector<float> row(slotCount_, kNone);
    for (int i = 0; i < values.size() && i < slots_.size(); ++i) row[slots_[i]] = values[i];
    queue_.append({ups, time.toMSecsSinceEpoch(), row});
    known_.insert(ups);
    if (!commit_.isActive()) commit_.start();
}

bool TrendStore::flush() {
    commit_.stop();
    if (!isOpen()) {
        queue_.clear();
        return false;
    }
    if (queue_.isEmpty()) return true;
    QSqlDatabase db = file_.db();
    if (!db.transaction()) return breakDown(db.lastError().text());
    QSqlQuery q(db);
    // A second value for the same moment (a clock set back) replaces the first.
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO trend_points (ups, level, time, data) VALUES (?, 0, ?, ?)"));
    for (const Queued& e : std::as_const(queue_)) {
        q.addBindValue(e.ups);
        q.addBindValue(e.ms);
        q.addBindValue(encode(e.values));
        if (!q.exec()) {
            const QString why = q.lastError().text();
            db.rollback();
            return breakDown(why);
        }
    }
    if (!db.commit()) return breakDown(db.lastError().text());
    queue_.clear();
    if (++commitsSinceThinning_ >= kCommitsPerThinning) thin();
    emit written();
    return true;
}

bool TrendStore::breakDown(const QString& why) {
    error_ = QStringLiteral("%1: write failed, the trends are off: %2").arg(file_.path(), why.trimmed());
    qCWarning(lcTrends).noquote() << error_;
    queue_.clear();
    close();
    emit failed(error_);
    return false;
}

// Makes the buckets of `level` for the complete buckets after the last one made, from the level
// below, and deletes the rows of the level below that are both summed up and past their keep time.
bool TrendStore::noteFailure(const QSqlQuery& q) {
    stepError_ = q.lastError().text();
    return false;
}

bool TrendStore::rollUp(const QString& ups, TrendLevel level, qint64 nowMs) {
    const qint64 step = bucketMs(level);
    const int below = int(level) - 1;
    const qint64 completeEnd = floorTo(nowMs, step); // buckets before this have all their time behind them
    QSqlQuery q(file_.db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT max(time) FROM trend_points WHERE ups = ? AND level = ?"));
    q.addBindValue(ups);
    q.addBindValue(int(level));
    if (!q.exec() || !q.next()) return noteFailure(q);
    const QVariant last = q.value(0);
    q.finish();
    const qint64 start = last.isNull() ? std::numeric_limits<qint64>::min() : last.toLongLong() + step;
    if (start < completeEnd) {
        QSqlQuery read(file_.db());
        read.setForwardOnly(true);
        read.prepare(QStringLiteral("SELECT time, data FROM trend_points WHERE ups = ? AND level = ? AND time >= ? AND time < ? ORDER BY time"));
        read.addBindValue(ups);
        read.addBindValue(below);
        read.addBindValue(start);
        read.addBindValue(completeEnd);
        if (!read.exec()) return noteFailure(read);
        QSqlQuery write(file_.db());
        write.prepare(QStringLiteral("INSERT OR REPLACE INTO trend_points (ups, level, time, data) VALUES (?, ?, ?, ?)"));
        qint64 bucketStart = 0;
        bool open = false;
        Bucket bucket(slotCount_);
        const auto emitBucket = [&] {
            if (!open || bucket.empty()) return true;
            write.addBindValue(ups);
            write.addBindValue(int(level));
            write.addBindValue(bucketStart);
            write.addBindValue(bucket.encoded());
            return write.exec();
        };
        while (read.next()) {
            const qint64 t = read.value(0).toLongLong();
            const qint64 b = floorTo(t, step);
            if (!open || b != bucketStart) {
                if (!emitBucket()) return noteFailure(write);
                bucket = Bucket(slotCount_);
                bucketStart = b;
                open = true;
            }
            const QByteArray data = read.value(1).toByteArray();
            if (below == 0) bucket.addCycle(data);
            else bucket.addBucket(data);
        }
        if (!emitBucket()) return noteFailure(write);
    }
    // Rows below are deleted once summed up (before completeEnd) and past their keep time.
    const qint64 keep = below == 0 ? kCycleKeepMs : kMinuteKeepMs;
    q.prepare(QStringLiteral("DELETE FROM trend_points WHERE ups = ? AND level = ? AND time < ?"));
    q.addBindValue(ups);
    q.addBindValue(below);
    q.addBindValue(std::min(nowMs - keep, completeEnd));
    return q.exec() || noteFailure(q);
}

bool TrendStore::pruneSize() {
    const qint64 limit = qint64(retention_.maxSizeMb) * 1024 * 1024;
    QSqlQuery q(file_.db());
    // The coarsest and oldest go first: the long view thins out before the recent detail does.
    for (int level = kTrendLevels - 1; level >= 0 && file_.usedBytes() > limit; --level) {
        while (file_.usedBytes() > limit) {
            q.prepare(QStringLiteral("SELECT time FROM trend_points WHERE level = ? ORDER BY time LIMIT 1 OFFSET ?"));
            q.addBindValue(level);
            q.addBindValue(kPruneBatch);
            if (!q.exec()) return false;
            const bool more = q.next();
            const QVariant cut = more ? q.value(0) : QVariant();
            q.finish();
            if (more) {
                q.prepare(QStringLiteral("DELETE FROM trend_points WHERE level = ? AND time < ?"));
                q.addBindValue(level);
                q.addBindValue(cut.toLongLong());
            } else {
                q.prepare(QStringLiteral("DELETE FROM trend_points WHERE level = ?"));
                q.addBindValue(level);
            }
            if (!q.exec()) return false;
            if (!more) break;
        }
    }
    return true;
}

bool TrendStore::thin() {
    commitsSinceThinning_ = 0;
    if (!isOpen()) return false;
    const qint64 nowMs = now().toMSecsSinceEpoch();
    QSqlDatabase db = file_.db();
    if (!db.transaction()) return breakDown(db.lastError().text());
    const auto fail = [&](const QSqlQuery& q) {
        const QString why = q.lastError().text();
        db.rollback();
        return breakDown(why);
    };
    QSqlQuery q(db);
    QStringList names(known_.begin(), known_.end());
    names.sort();
    for (const QString& ups : std::as_const(names)) {
        for (TrendLevel level : {TrendLevel::Minute, TrendLevel::TenMinutes})
            if (!rollUp(ups, level, nowMs)) {
                db.rollback();
                return breakDown(stepError_);
            }
    }
    if (stepHook_) stepHook_("rolled");
    for (int level = 0; level < kTrendLevels; ++level) { // by level: the (level, time) index serves
        q.prepare(QStringLiteral("DELETE FROM trend_points WHERE level = ? AND time < ?"));
        q.addBindValue(level);
        q.addBindValue(nowMs - qint64(retention_.maxAgeDays) * 24 * 3600 * 1000);
        if (!q.exec()) return fail(q);
    }
    if (!pruneSize()) return fail(q);
    if (stepHook_) stepHook_("deleted");
    if (!db.commit()) return breakDown(db.lastError().text());
    // Pages freed by the thinning of each minute are reused by the next cycles; the file is only
    // shrunk when many are free (the shrink waits for readers to let the log be written back).
    QSqlQuery pages(db);
    const auto pragma = [&pages](const char* name) {
        return pages.exec(QStringLiteral("PRAGMA %1").arg(QLatin1String(name))) && pages.next() ? pages.value(0).toLongLong() : 0;
    };
    const qint64 free = pragma("freelist_count"), all = pragma("page_count");
    pages.finish();
    if (free > std::max<qint64>(kShrinkFreePages, all / 4)) file_.shrink();
    return true;
}

QStringList TrendStore::upses() const {
    QStringList out;
    if (!file_.isOpen()) return out;
    QSqlQuery q(file_.db());
    q.setForwardOnly(true);
    if (q.exec(QStringLiteral("SELECT DISTINCT ups FROM trend_points ORDER BY ups")))
        while (q.next()) out << q.value(0).toString();
    return out;
}

qint64 TrendStore::rows(TrendLevel level) const {
    if (!file_.isOpen()) return 0;
    QSqlQuery q(file_.db());
    q.prepare(QStringLiteral("SELECT count(*) FROM trend_points WHERE level = ?"));
    q.addBindValue(int(level));
    return q.exec() && q.next() ? q.value(0).toLongLong() : 0;
}

TrendResult TrendStore::query(const TrendQuery& tq) const {
    TrendResult r;
    if (!file_.isOpen()) {
        r.error = error_;
        return r;
    }
    const QVector<TrendChannel>& channels = trendChannels();
    QVector<int> cols;
    for (const QString& key : tq.keys.isEmpty() ? [&] {
             QStringList all;
             for (const TrendChannel& c : channels) all << QString::fromLatin1(c.key);
             return all;
         }() : tq.keys) {
        const int index = trendChannelIndex(key);
        if (index < 0) {
            r.error = QStringLiteral("unknown value '%1'").arg(key);
            return r;
        }
        cols << slots_[index];
        r.series.append({key, {}});
    }
    const qint64 from = tq.from.isValid() ? tq.from.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
    const qint64 until = tq.until.isValid() ? tq.until.toMSecsSinceEpoch() : std::numeric_limits<qint64>::max();
    QSqlQuery q(file_.db());
    q.setForwardOnly(true);
    // The finest level whose oldest row reaches back to `from`; failing that, the one reaching
    // furthest back (the finer on a tie).
    qint64 earliest[kTrendLevels];
    int chosen = -1;
    for (int level = 0; level < kTrendLevels; ++level) {
        q.prepare(QStringLiteral("SELECT min(time) FROM trend_points WHERE ups = ? AND level = ?"));
        q.addBindValue(tq.ups);
        q.addBindValue(level);
        if (!q.exec() || !q.next()) {
            r.error = QStringLiteral("%1: cannot read the trends: %2").arg(file_.path(), q.lastError().text().trimmed());
            return r;
        }
        earliest[level] = q.value(0).isNull() ? std::numeric_limits<qint64>::max() : q.value(0).toLongLong();
        q.finish();
        if (chosen < 0 && earliest[level] <= from) chosen = level;
    }
    if (chosen < 0) {
        chosen = 0;
        for (int level = 1; level < kTrendLevels; ++level)
            if (earliest[level] < earliest[chosen]) chosen = level;
    }
    r.level = TrendLevel(chosen);
    // The chosen level, then the cycles after its last bucket (a bucket is made once complete).
    struct Row {
        qint64 ms;
        int level;
        QByteArray data;
    };
    QVector<Row> found;
    const auto read = [&](int level, qint64 lo) {
        q.prepare(QStringLiteral("SELECT time, data FROM trend_points WHERE ups = ? AND level = ? AND time >= ? AND time <= ? ORDER BY time"));
        q.addBindValue(tq.ups);
        q.addBindValue(level);
        q.addBindValue(lo);
        q.addBindValue(until);
        if (!q.exec()) {
            r.error = QStringLiteral("%1: cannot read the trends: %2").arg(file_.path(), q.lastError().text().trimmed());
            return false;
        }
        while (q.next()) found.append({q.value(0).toLongLong(), level, q.value(1).toByteArray()});
        q.finish();
        return true;
    };
    if (!read(chosen, from)) return r;
    if (chosen > 0) {
        const qint64 tail = found.isEmpty() ? from : std::max(from, found.last().ms + bucketMs(r.level));
        if (!read(0, tail)) return r;
    }
    for (int s = 0; s < cols.size(); ++s) {
        QVector<TrendPoint>& points = r.series[s].points;
        int previousLevel = 0;
        for (const Row& row : std::as_const(found)) {
            TrendPoint p;
            p.ms = row.ms;
            if (row.level == 0) {
                p.mean = p.min = p.max = floatAt(row.data, cols[s]);
            } else {
                p.mean = floatAt(row.data, cols[s] * 4);
                p.min = floatAt(row.data, cols[s] * 4 + 1);
                p.max = floatAt(row.data, cols[s] * 4 + 2);
            }
            if (std::isnan(p.mean)) continue; // no value here: the next point's distance shows the gap
            if (!points.isEmpty()) {
                // A bucket's successor starts one step later; cycles come a few seconds apart.
                const qint64 step = bucketMs(TrendLevel(previousLevel));
                p.gapBefore = p.ms - points.last().ms > (step ? step * 3 / 2 : kCycleGapMs);
            }
            previousLevel = row.level;
            points << p;
        }
    }
    return r;
}

} // namespace zav
