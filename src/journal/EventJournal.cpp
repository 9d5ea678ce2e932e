#include "journal/EventJournal.h"

#include <QLoggingCategory>
#include <QSqlError>
#include <QSqlQuery>

namespace zav {

Q_LOGGING_CATEGORY(lcJournal, "zav.journal")

namespace {
constexpr int kCommitsPerPrune = 600; // about every five minutes of steady writing
constexpr int kPruneBatch = 500;      // rows deleted per step while over the size limit
} // namespace

EventJournal::EventJournal(QObject* parent) : QObject(parent) {
    commit_.setSingleShot(true);
    commit_.setInterval(kCommitMs);
    connect(&commit_, &QTimer::timeout, this, [this] { flush(); });
}

EventJournal::~EventJournal() {
    flush();
    close();
}

bool EventJournal::open(const QString& path, bool readOnly) {
    close();
    error_.clear();
    if (!file_.open(path, readOnly)) {
        error_ = file_.error();
        return false;
    }
    if (!readOnly &&
        !file_.exec({QStringLiteral("CREATE TABLE IF NOT EXISTS events (id INTEGER PRIMARY KEY, time INTEGER NOT NULL, "
                                    "ups TEXT, event TEXT NOT NULL, kind TEXT NOT NULL, text TEXT, details TEXT)"),
                     QStringLiteral("CREATE INDEX IF NOT EXISTS events_time ON events(time)")})) {
        error_ = file_.error();
        return false;
    }
    if (readOnly) {
        QSqlQuery q(file_.db());
        if (!q.exec(QStringLiteral("SELECT 1 FROM events LIMIT 1"))) {
            error_ = QStringLiteral("%1: not a journal: %2").arg(path, q.lastError().text().trimmed());
            file_.close();
            return false;
        }
    } else {
        prune();
    }
    return true;
}

void EventJournal::close() {
    commit_.stop();
    file_.close();
}

void EventJournal::add(const UpsEvent& event) {
    if (!isOpen()) return;
    queue_.append(event);
    if (!commit_.isActive()) commit_.start();
}

bool EventJournal::flush() {
    commit_.stop();
    if (!isOpen()) {
        queue_.clear();
        return false;
    }
    if (queue_.isEmpty()) return true;
    QSqlDatabase db = file_.db();
    if (!db.transaction()) {
        breakDown(db.lastError().text());
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO events (time, ups, event, kind, text, details) VALUES (?, ?, ?, ?, ?, ?)"));
    for (const UpsEvent& e : std::as_const(queue_)) {
        q.addBindValue(e.time.toMSecsSinceEpoch());
        q.addBindValue(e.ups);
        q.addBindValue(e.name());
        q.addBindValue(e.kind());
        q.addBindValue(e.text);
        q.addBindValue(e.details);
        if (!q.exec()) {
            const QString why = q.lastError().text();
            db.rollback();
            breakDown(why);
            return false;
        }
    }
    if (!db.commit()) {
        breakDown(db.lastError().text());
        return false;
    }
    queue_.clear();
    if (++commitsSincePrune_ >= kCommitsPerPrune) prune();
    emit written();
    return true;
}

void EventJournal::breakDown(const QString& why) {
    error_ = QStringLiteral("%1: write failed, the journal is off: %2").arg(file_.path(), why.trimmed());
    qCWarning(lcJournal).noquote() << error_;
    queue_.clear();
    close();
    emit failed(error_);
}

void EventJournal::prune() {
    commitsSincePrune_ = 0;
    if (!isOpen()) return;
    QSqlQuery q(file_.db());
    const qint64 oldest = now().addDays(-retention_.maxAgeDays).toMSecsSinceEpoch();
    q.prepare(QStringLiteral("DELETE FROM events WHERE time < ?"));
    q.addBindValue(oldest);
    q.exec();
    const qint64 limit = qint64(retention_.maxSizeMb) * 1024 * 1024;
    // The oldest go in batches until the data fits; an empty table ends the loop whatever the size.
    while (file_.usedBytes() > limit) {
        q.prepare(QStringLiteral("DELETE FROM events WHERE id IN (SELECT id FROM events ORDER BY time LIMIT ?)"));
        q.addBindValue(kPruneBatch);
        if (!q.exec() || q.numRowsAffected() <= 0) break;
    }
    file_.shrink();
}

QVector<UpsEvent> EventJournal::query(const JournalQuery& jq) const {
    queryError_.clear();
    QVector<UpsEvent> out;
    if (!file_.isOpen()) {
        queryError_ = error_;
        return out;
    }
    QString sql = QStringLiteral("SELECT time, ups, event, text, details FROM events WHERE 1=1");
    QVariantList binds;
    if (jq.since.isValid()) {
        sql += QStringLiteral(" AND time >= ?");
        binds << jq.since.toMSecsSinceEpoch();
    }
    if (jq.until.isValid()) {
        sql += QStringLiteral(" AND time <= ?");
        binds << jq.until.toMSecsSinceEpoch();
    }
    if (!jq.kinds.isEmpty()) {
        QStringList marks;
        for (const QString& k : jq.kinds) {
            marks << QStringLiteral("kind = ? OR event = ?");
            binds << k << k;
        }
        sql += QStringLiteral(" AND (") + marks.join(QStringLiteral(" OR ")) + u')';
    }
    if (!jq.search.isEmpty()) {
        // instr() after lower(): no wildcard in the user's text means anything.
        sql += QStringLiteral(" AND instr(lower(coalesce(text, '') || ' ' || coalesce(details, '')), lower(?)) > 0");
        binds << jq.search;
    }
    sql += QStringLiteral(" ORDER BY time DESC, id DESC");
    if (jq.limit > 0) sql += QStringLiteral(" LIMIT %1").arg(jq.limit);
    QSqlQuery q(file_.db());
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QVariant& b : std::as_const(binds)) q.addBindValue(b);
    if (!q.exec()) {
        queryError_ = QStringLiteral("%1: cannot read the journal: %2").arg(file_.path(), q.lastError().text().trimmed());
        return out;
    }
    while (q.next()) {
        UpsEvent e;
        e.time = QDateTime::fromMSecsSinceEpoch(q.value(0).toLongLong(), Qt::UTC);
        e.ups = q.value(1).toString();
        e.type = eventTypeFromName(q.value(2).toString());
        e.text = q.value(3).toString();
        e.details = q.value(4).toString();
        out << e;
    }
    return out;
}

} // namespace zav
