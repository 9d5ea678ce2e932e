#pragma once
// The event journal: UpsEvents kept in an SQLite database (table "events"). Events are written in
// batches: add() only queues, and the queue is committed within half a second by a timer (or by
// flush()), so the link's thread never waits on the disk for long and a killed process loses at
// most the last half second. The journal keeps a bounded history: events older than the age limit
// go, and while the data exceeds the size limit the oldest go; this runs at open and then every
// few minutes of writing.
//
// A database that cannot be opened or is damaged leaves the journal closed with an error text:
// add() then does nothing, and the program goes on without a journal. A write that fails later
// closes it the same way (error() says why, once).

#include "journal/SqliteFile.h"
#include "journal/UpsEvent.h"

#include <QObject>
#include <QTimer>
#include <QVector>

namespace zav {

struct JournalRetention {
    int maxAgeDays = 365;
    int maxSizeMb = 50; // pages in use
};

struct JournalQuery {
    QDateTime since, until;  // invalid: no bound
    QStringList kinds;       // kind or event names; empty: all
    QString search;          // part of the text, any case; empty: all
    int limit = 0;           // newest first; 0: no limit
};

class EventJournal : public QObject {
    Q_OBJECT
  public:
    explicit EventJournal(QObject* parent = nullptr);
    ~EventJournal() override;

    static constexpr int kCommitMs = 500;

    // Opens (creating when allowed) and prunes; false with error() when there is no journal.
    bool open(const QString& path, bool readOnly = false);
    void close();
    bool isOpen() const { return file_.isOpen(); }
    QString error() const { return error_; }
    QString path() const { return file_.path(); }
    SqliteFile& file() { return file_; }

    void setRetention(const JournalRetention& r) { retention_ = r; }
    // The time retention measures age against; default the wall clock. Tests give their own.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    void add(const UpsEvent& event);
    bool flush(); // commits the queue now; false when the journal is closed or the write failed
    int pending() const { return int(queue_.size()); }
    // Deletes what is past the age and size limits, then gives the space back.
    void prune();

    QVector<UpsEvent> query(const JournalQuery& q) const;
    // The query failed (a reader may meet a file being replaced); the text says why.
    QString queryError() const { return queryError_; }

  signals:
    void written();                   // a batch was committed: pages redraw
    void failed(const QString& why);  // the journal closed itself

  private:
    QDateTime now() const { return clock_ ? clock_() : QDateTime::currentDateTimeUtc(); }
    void breakDown(const QString& why);

    SqliteFile file_;
    QString error_;
    mutable QString queryError_;
    JournalRetention retention_;
    std::function<QDateTime()> clock_;
    QVector<UpsEvent> queue_;
    QTimer commit_;
    int commitsSincePrune_ = 0;
};

} // namespace zav
