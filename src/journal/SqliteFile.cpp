#include "journal/SqliteFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace zav {

namespace {
std::atomic<int> connectionCounter{0};
} // namespace

SqliteFile::SqliteFile() : connection_(QStringLiteral("zav-sqlite-%1").arg(++connectionCounter)) {}

SqliteFile::~SqliteFile() { close(); }

bool SqliteFile::fail(const QString& what, const QString& why) {
    error_ = QStringLiteral("%1: %2: %3").arg(path_, what, why.trimmed());
    close();
    return false;
}

bool SqliteFile::open(const QString& path, bool readOnly) {
    close();
    path_ = path;
    error_.clear();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return fail(QStringLiteral("cannot open"), QStringLiteral("the SQLite driver of Qt is not installed"));
    const QFileInfo info(path);
    if (readOnly && !info.exists()) return fail(QStringLiteral("cannot open"), QStringLiteral("no such file"));
    if (info.exists() && !info.isFile()) return fail(QStringLiteral("cannot open"), QStringLiteral("not a regular file"));
    if (!readOnly && !QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("cannot open"), QStringLiteral("the folder cannot be made"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(path);
        // A busy file (another writer's checkpoint) is waited for a moment instead of failing.
        db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000")
                                      : QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        open_ = db.open();
        if (!open_) return fail(QStringLiteral("cannot open"), db.lastError().text());
    }
    // The check reads every page: a damaged file is refused here, not found later by a failed write.
    QSqlQuery check(db());
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next())
        return fail(QStringLiteral("not a usable database"), check.lastError().text());
    if (check.value(0).toString() != QLatin1String("ok"))
        return fail(QStringLiteral("damaged database"), check.value(0).toString());
    check.finish();
    if (!readOnly &&
        !exec({QStringLiteral("PRAGMA auto_vacuum=INCREMENTAL"), QStringLiteral("PRAGMA journal_mode=WAL"),
               QStringLiteral("PRAGMA synchronous=NORMAL")}))
        return false;
    return true;
}

void SqliteFile::close() {
    if (QSqlDatabase::contains(connection_)) {
        {
            QSqlDatabase db = QSqlDatabase::database(connection_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connection_);
    }
    open_ = false;
}

bool SqliteFile::exec(const QStringList& statements) {
    if (!open_) return false;
    QSqlQuery q(db());
    for (const QString& s : statements)
        if (!q.exec(s)) return fail(QStringLiteral("write failed"), q.lastError().text());
    return true;
}

qint64 SqliteFile::usedBytes() const {
    if (!open_) return 0;
    QSqlQuery q(db());
    const auto pragma = [&q](const char* name) {
        return q.exec(QStringLiteral("PRAGMA %1").arg(QLatin1String(name))) && q.next() ? q.value(0).toLongLong() : 0;
    };
    const qint64 pages = pragma("page_count"), free = pragma("freelist_count"), size = pragma("page_size");
    return (pages - free) * size;
}

void SqliteFile::shrink() {
    if (!open_) return;
    QSqlQuery q(db());
    const auto freePages = [&q] {
        return q.exec(QStringLiteral("PRAGMA freelist_count")) && q.next() ? q.value(0).toLongLong() : 0;
    };
    // Qt's driver steps the pragma once, and one step frees a single page: it runs once per free
    // page (checked again afterwards, bounded, should the count ever not fall).
    for (int round = 0; round < 3; ++round) {
        const qint64 left = freePages();
        if (left <= 0) break;
        for (qint64 i = 0; i < left; ++i) {
            q.exec(QStringLiteral("PRAGMA incremental_vacuum"));
            q.finish();
        }
    }
    q.finish();
    // In WAL mode the file shrinks when the log is written back.
    q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    q.finish();
}

} // namespace zav
