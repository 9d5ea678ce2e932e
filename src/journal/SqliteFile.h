#pragma once
// One SQLite database file through Qt SQL (driver QSQLITE), opened on a connection of its own:
// WAL mode, so a reader never waits for the writer and a killed writer leaves every committed
// transaction in place; pages freed by deletes go back to the file system (incremental vacuum).
// A file that cannot be opened, or is not a sound database, is refused with a text that says so.

#include <QSqlDatabase>
#include <QString>

namespace zav {

class SqliteFile {
  public:
    SqliteFile();
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    // Creates the file (and its folder) unless `readOnly`. False with error() on any failure.
    bool open(const QString& path, bool readOnly);
    void close();
    bool isOpen() const { return open_; }
    const QString& error() const { return error_; }
    const QString& path() const { return path_; }
    QSqlDatabase db() const { return QSqlDatabase::database(connection_, false); }

    // Runs statements; false (with error()) at the first that fails.
    bool exec(const QStringList& statements);
    // Bytes the data takes: pages in use times the page size.
    qint64 usedBytes() const;
    // Gives the free pages back to the file system.
    void shrink();

  private:
    bool fail(const QString& what, const QString& why);
    QString connection_;
    QString path_;
    QString error_;
    bool open_ = false;
};

} // namespace zav
