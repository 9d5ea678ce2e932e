#pragma once
// The two record downloads: the history log (0x66, priority 1, Activity 3) and the S-codes (0x6A,
// priority 2, Activity 7). Each reads its records one per transaction from number 1 until the
// number passes the total the UPS reports, or the UPS answers a record with an exception. The
// decoded rows go into the job's grid, which is the only store of the downloaded log: the pages
// show it and the record files save it.

#include "link/RecordJob.h"
#include "link/RegisterStore.h"
#include "foundation/TextGrid.h"
#include "records/RecordDecode.h"
#include "records/RecordReply.h"

#include <QObject>

namespace zav {

class RecordDownload : public QObject, public RecordJob {
    Q_OBJECT
  public:
    struct Kind {
        uint8_t function;
        uint16_t registers; // asked for in every request
        int dataBytes;      // in a good reply
        int activity;       // while the download runs
        int startTotal;     // the last record to read until a reply says otherwise
        int failLimit;      // consecutive unusable replies before the counter starts again
        bool failLosesLink; // ... and the link is shown as lost
    };

    RecordDownload(const Kind& kind, int columns, QObject* parent = nullptr);

    // RecordJob
    JobState state() const override { return state_; }
    void serveRequest(LinkIo& io) override;
    void serveReply(LinkIo& io) override;
    void reset() override;
    const char* name() const override;
    // Stops as cancel() does: the rows read so far stay.
    void abandon(const QString& reason) override;

    // The button's two halves. start() clears the grid and asks for record 1 on the next free tick;
    // cancel() stops at once and keeps the rows read so far. The caller sets Activity.
    void start();
    void cancel();
    bool running() const { return state_ != JobIdle; }
    int activity() const { return kind_.activity; }

    // Texts are decoded in this language (the page's language when the download starts).
    void setLanguage(int language) { language_ = language; }
    int language() const { return language_; }

    const TextGrid& grid() const { return grid_; }
    // A log from elsewhere (a field-data snapshot) takes the grid's place, cell by cell, and the
    // pages redraw. Refused (false) while a download runs.
    bool loadGrid(const TextGrid& from);
    int index() const { return index_; }
    int total() const { return total_; }
    int failCount() const { return failCount_; }
    int recordsRead() const { return recordsRead_; }
    // Records whose rows fit the grid whole; records read past them are decoded into nothing.
    virtual int recordsThatFit() const = 0;
    // Replies since the last good record that were not good (checked or not): how long the UPS has
    // not delivered.
    int unanswered() const { return unanswered_; }

  signals:
    void progressChanged(int percent);
    void rowsChanged(int firstRow, int count);
    void finished(); // the log was read to its end (not after cancel())

  protected:
    virtual void writeTitles() {}
    // The last record number the UPS reports in a good record.
    virtual int totalFrom(const QByteArray& data) const = 0;
    // Writes the rows of record `number` into the grid and emits rowsChanged.
    virtual void decode(int number, const QByteArray& data, int upsModel) = 0;

    TextGrid grid_;

  private:
    void unusable(LinkIo& io);

    Kind kind_;
    int language_ = 1;
    JobState state_ = JobIdle;
    int index_ = 0;
    int total_ = 0;
    int failCount_ = 0;
    int recordsRead_ = 0;
    int unanswered_ = 0;
};

// The history log: row 0 holds the titles, record n fills row n.
class HistoryDownload : public RecordDownload {
    Q_OBJECT
  public:
    // `settingData` gives system code 1 (register 329), whose bit 4 puts the unit after the event
    // name; without it the unit comes first.
    explicit HistoryDownload(const RegisterStore* settingData = nullptr, QObject* parent = nullptr);

    int recordsThatFit() const override { return grid_.rows() - 1; } // row 0 holds the titles
    // The model the rows were decoded for (their time stamps' kind); -1 before the first record.
    int rowsModel() const { return rowsModel_; }

  protected:
    void writeTitles() override;
    int totalFrom(const QByteArray& data) const override;
    void decode(int number, const QByteArray& data, int upsModel) override;

  private:
    const RegisterStore* settingData_;
    int rowsModel_ = -1;
};

// The S-codes: record n fills rows 9(n-1) to 9(n-1)+8 of a one-column grid.
class SCodeDownload : public RecordDownload {
    Q_OBJECT
  public:
    explicit SCodeDownload(QObject* parent = nullptr);
    int recordsThatFit() const override { return grid_.rows() / kSCodeRowsPerRecord; }

  protected:
    int totalFrom(const QByteArray& data) const override;
    void decode(int number, const QByteArray& data, int upsModel) override;
};

} // namespace zav
