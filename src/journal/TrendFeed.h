#pragma once
// What a program hangs on one UPS session for its trends: at the end of each live cycle the
// values of monitor/TrendValues go into the trend store, under the UPS's name. Used alike by the
// window and by zavd (one per UPS). A store that cannot be opened is said once through `log` and
// left off; the link never waits for it.

#include "journal/JournalConfig.h"
#include "journal/TrendStore.h"

#include <QObject>
#include <functional>

namespace zav {

class UpsSession;

class TrendFeed : public QObject {
    Q_OBJECT
  public:
    using Log = std::function<void(bool warning, const QString& line)>;
    TrendFeed(UpsSession& session, const JournalSettings& settings, const QString& upsName, Log log,
              QObject* parent = nullptr);

    TrendStore& store() { return store_; }
    // The UPS's name asked at each cycle (the window: the port it is connected on).
    void setUpsNameSource(std::function<QString()> name) { upsOf_ = std::move(name); }
    QString upsName() const { return upsOf_ ? upsOf_() : ups_; }
    // The UPS the page shows: the one on the link now; while there is none (no port chosen), the
    // last one written, else the first with data.
    QString shownUps() const;
    // The samples' time; default the wall clock. Tests give their own.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

  private:
    void cycleEnded();

    UpsSession& session_;
    TrendStore store_;
    QString ups_;
    QString lastWritten_;
    std::function<QString()> upsOf_;
    std::function<QDateTime()> clock_;
    Log log_;
};

} // namespace zav
